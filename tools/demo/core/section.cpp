#include "tools/demo/core/section.h"

#include "structures/core/outline_file.h"
#include "tools/core/outline_builder.h"

namespace ostrelin {

std::vector<size_t> Section::PixelCounts() const {
  std::vector<size_t> counts(structures.size(), 0);
  for (std::uint8_t l : labels) {
    if (l != 0 && l <= counts.size()) ++counts[l - 1u];
  }
  return counts;
}

void DropTinyStructures(Section& section, size_t minPixels) {
  const std::vector<size_t> counts = section.PixelCounts();
  std::vector<std::uint8_t> remap(section.structures.size() + 1, 0);
  std::vector<SectionStructure> kept;
  for (size_t i = 0; i < counts.size(); ++i) {
    if (counts[i] >= minPixels) {
      kept.push_back(section.structures[i]);
      remap[i + 1] = std::uint8_t(kept.size());
    }
  }
  for (std::uint8_t& l : section.labels) l = l < remap.size() ? remap[l] : 0;
  section.structures = std::move(kept);
}

Raster DrawSchema(const Section& s) {
  const int w = s.Width(), h = s.Height();
  Raster out(w, h, 3, 255);
  const Rgb bodyColour{246, 226, 206};
  auto key = [&](int x, int y) {
    const size_t i = size_t(y) * size_t(w) + size_t(x);
    return s.labels[i] != 0 ? int(s.labels[i]) : (s.body[i] != 0 ? -1 : -2);
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int k = key(x, y);
      Rgb c = k > 0 ? s.structures[size_t(k - 1)].colour : k == -1 ? bodyColour : Rgb{255, 255, 255};
      const bool edge = (x + 1 < w && key(x + 1, y) != k) || (y + 1 < h && key(x, y + 1) != k);
      if (edge) c = {70, 70, 80};
      std::uint8_t* p = out.At(x, y);
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
    }
  }
  return out;
}

bool EncodeSectionOutline(const Section& s, std::string_view title, std::string& bytes,
                          std::string& error) {
  LabelImage image;
  image.width = s.Width();
  image.height = s.Height();
  image.values = s.labels;
  std::vector<LabelEntry> table;
  for (size_t i = 0; i < s.structures.size(); ++i) {
    table.push_back({int(i + 1), s.structures[i].name, int(i + 1)});
  }
  OutlineFile file;
  std::vector<std::string> warnings;
  if (!BuildOutline(image, table, title, file, warnings, error)) return false;
  return EncodeOutline(file, bytes, error);
}

}  // namespace ostrelin
