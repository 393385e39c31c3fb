#include "authoring/core/outline_builder.h"

#include <array>
#include <utility>

#include "platform/core/cp1252.h"

namespace ostrelin {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCp1252(std::uint8_t(a[i])) != FoldCp1252(std::uint8_t(b[i]))) return false;
  }
  return true;
}

// A run of one column, before the columns are laid out per structure.
struct Piece {
  int column;
  OutlineRun run;
};

// Structures by name, in table order; `structureOf` maps each label value to its structure.
std::vector<const LabelEntry*> StructuresOf(const std::vector<LabelEntry>& table,
                                            std::array<int, 256>& structureOf) {
  std::vector<const LabelEntry*> structures;
  structureOf.fill(-1);
  for (const LabelEntry& entry : table) {
    if (entry.value < 1 || entry.value > 255) continue;
    int index = -1;
    for (size_t s = 0; s < structures.size(); ++s) {
      if (SameName(structures[s]->name, entry.name)) index = int(s);
    }
    if (index < 0) {
      index = int(structures.size());
      structures.push_back(&entry);
    }
    structureOf[size_t(entry.value)] = index;
  }
  return structures;
}

// Column by column from the left, rows upward from the bottom: each structure's runs come out in
// the order of the file. Pixels of values without a structure are counted in `unnamedPixels`.
std::vector<std::vector<Piece>> RunsOf(const LabelImage& image, size_t structures,
                                       const std::array<int, 256>& structureOf,
                                       std::array<size_t, 256>& unnamedPixels) {
  std::vector<std::vector<Piece>> pieces(structures);
  for (int x = 0; x < image.width; ++x) {
    int open = -1;
    int start = 0;
    for (int row = 0; row <= image.height; ++row) {
      int structure = -1;
      if (row < image.height) {
        const std::uint8_t value = image.At(x, image.height - 1 - row);
        structure = value == 0 ? -1 : structureOf[value];
        if (value != 0 && structure < 0) ++unnamedPixels[value];
      }
      if (structure == open) continue;
      if (open >= 0) {
        pieces[size_t(open)].push_back({x, {std::uint16_t(start), std::uint16_t(row - 1)}});
      }
      open = structure;
      start = row;
    }
  }
  return pieces;
}

}  // namespace

bool BuildOutline(const LabelImage& image, const std::vector<LabelEntry>& table,
                  std::string_view title, OutlineFile& file, std::vector<std::string>& warnings,
                  std::string& error) {
  error.clear();
  if (image.width <= 0 || image.height <= 0 ||
      image.values.size() != size_t(image.width) * size_t(image.height)) {
    error = "the label image is empty";
    return false;
  }
  if (image.height > kOutlineMaxRow + 1) {
    error = "the label image has " + std::to_string(image.height) +
            " rows; outline files hold at most 4096";
    return false;
  }
  if (image.width > 32768) {
    error = "the label image has " + std::to_string(image.width) +
            " columns; outline files hold at most 32768";
    return false;
  }
  std::array<int, 256> structureOf;
  const std::vector<const LabelEntry*> structures = StructuresOf(table, structureOf);
  std::array<size_t, 256> unnamedPixels{};
  const std::vector<std::vector<Piece>> pieces =
      RunsOf(image, structures.size(), structureOf, unnamedPixels);

  OutlineFile built;
  built.title = std::string(title);
  std::vector<OutlineRecord> absent;
  for (size_t s = 0; s < structures.size(); ++s) {
    OutlineRecord record;
    record.number = std::uint8_t(structures[s]->value);
    record.name = structures[s]->name;
    if (pieces[s].empty()) {
      warnings.push_back("\"" + Cp1252ToUtf8(record.name) +
                         "\" has no pixel in the image; written without outline");
      absent.push_back(std::move(record));
      continue;
    }
    record.first = pieces[s].front().column;
    record.last = pieces[s].back().column;
    record.columns.resize(size_t(record.last - record.first + 1));
    for (const Piece& piece : pieces[s]) {
      record.columns[size_t(piece.column - record.first)].push_back(piece.run);
    }
    built.records.push_back(std::move(record));
  }
  // Without outline last: the link-list builder stops at the first of them.
  for (OutlineRecord& record : absent) built.records.push_back(std::move(record));
  for (size_t value = 1; value < unnamedPixels.size(); ++value) {
    if (unnamedPixels[value] == 0) continue;
    warnings.push_back("label value " + std::to_string(value) + " (" +
                       std::to_string(unnamedPixels[value]) +
                       " pixels) has no name in the table; left out");
  }
  file = std::move(built);
  return true;
}

}  // namespace ostrelin
