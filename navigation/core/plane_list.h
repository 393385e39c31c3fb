#pragma once
// The plane list of a pictogram: "Daten\" + pictogram name + ".POS". One plane a line, name and
// position as "Name#Position"; a line "VERTICAL" anywhere turns every line of the file vertical.
//
// Each line is trimmed of blanks and tabs. An empty line is skipped; "VERTICAL" (ASCII letters
// folded) sets the orientation; any other line is split at "#" like strtok splits: runs of "#"
// are one separator and leading ones are skipped. The first field is the name, the second the
// position (trimmed), further fields are ignored. The position reads like atoi (an optional sign,
// then the digits up to the first other character; no digits read as 0) and must lie in 0 to 100,
// a percentage of the pictogram's height (horizontal lines, 0 at the top) or width (vertical
// lines, 0 at the left). Lines without a name or a position, or with a position out of range, are
// skipped without a word.
//
// Lines are read whole, however long: a long line is never split into a second line that could
// read as a plane of its own, and a position is never cut short. A name longer than the transfer
// buffer carries (511 bytes) could not be opened as itself, so its line is skipped.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelin {

struct PlaneList {
  static constexpr size_t kMaxName = 511;

  // Parallel arrays in file order: plane i is (positions[i], names[i]).
  std::vector<uint16_t> positions;
  std::vector<std::string> names;
  bool horizontal = true;

  int Count() const { return static_cast<int>(names.size()); }
  bool Empty() const { return names.empty(); }

  // Appends one plane; both arrays always grow together.
  void Add(uint16_t position, std::string name);
  void Clear();
};

// The planes of a file given as its bytes.
PlaneList ParsePlaneList(std::string bytes);

// The planes of dataPath + "Daten\" + pictogramName + ".POS" (dataPath ends in a backslash). A
// missing or unreadable file gives an empty, horizontal list; no message.
PlaneList LoadPlaneList(std::string_view dataPath, std::string_view pictogramName);

// The index of the first plane called `name` (ASCII letters folded); 0 when none is, also for an
// empty list.
int FindByName(const PlaneList& list, std::string_view name);

// The pixel row (horizontal planes) or column (vertical planes) of plane `index` on a pictogram of
// `width` x `height` pixels: position x (height - 2) / 100, or x (width - 2) / 100, truncated. 0
// for an index outside the list.
int LinePosition(const PlaneList& list, int index, int width, int height);

}  // namespace ostrelin
