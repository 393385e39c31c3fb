#pragma once
// Outline files from label images: every pixel of a label image holds the value of the structure
// it belongs to (0 for the background), and a table names the values.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/core/label_table.h"
#include "structures/core/outline_file.h"

namespace ostrelin {

// One label value per pixel, rows top first as image files store them.
struct LabelImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> values;  // width * height

  std::uint8_t At(int x, int y) const { return values[size_t(y) * size_t(width) + size_t(x)]; }
};

// The outline file of `image`: one structure per distinct name of the table (names compare
// ignoring case; values naming the same structure unite their pixels), in table order, numbered
// with their first value. Rows count upward from the image's bottom, so the top row of the image
// is row height - 1. Structures without any pixel follow the others, without outline; values in
// the image the table does not name are left out. Both are reported in `warnings`.
// False with `error` set for an image the format cannot hold (taller than 4096 rows, wider than
// 32768 columns) or an empty one.
bool BuildOutline(const LabelImage& image, const std::vector<LabelEntry>& table,
                  std::string_view title, OutlineFile& file, std::vector<std::string>& warnings,
                  std::string& error);

}  // namespace ostrelin
