#pragma once
// An outline file as readable text (UTF-8), stable enough to compare in tests:
//
//   title "Kopf 3"
//   structures 3
//   1: number 7 "Leber" columns 10..12
//     10: 784-2592
//     11: -
//     12: 1-2 5-9
//   2: number 9 "Liquor" no outline
//   3: number 1 "Milz" columns 5..4, none
//
// Texts are quoted with \" \\ and \xNN for control bytes. What the readers ignore or make up is
// noted at the end: a file cut off inside a structure, structures missing from the count, bytes
// after the last structure.

#include <string>
#include <string_view>

namespace ostrelin {

std::string DumpOutline(std::string_view bytes);

}  // namespace ostrelin
