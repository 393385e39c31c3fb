#pragma once
// Outline records with known shapes for tests that need structures on an image.

#include <cstdint>
#include <string>
#include <utility>

#include "structures/core/outline_file.h"

namespace ostrelin::test {

// A filled box of columns c0..c1 and rows r0..r1 (rows counted upward from the bottom): one run
// per column.
inline OutlineRecord Box(int number, std::string name, int c0, int c1, int r0, int r1) {
  OutlineRecord record;
  record.number = std::uint8_t(number);
  record.name = std::move(name);
  record.first = c0;
  record.last = c1;
  for (int c = c0; c <= c1; ++c) record.columns.push_back({{std::uint16_t(r0), std::uint16_t(r1)}});
  return record;
}

}  // namespace ostrelin::test
