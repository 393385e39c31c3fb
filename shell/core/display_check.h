#pragma once
// The atlas is drawn for at least 800 pixels across in 15-bit colour or more. On a smaller or
// poorer display it asks whether to stop rather than refusing outright.

#include <string>

namespace ostrelin {

struct DisplayInfo {
  int bitsPerPixel = 0;
  int horizontalResolution = 0;
};

// The question to ask on this display (Windows-1252), or an empty text when all is well. Both
// complaints are joined by a line feed, the colours first.
std::string DisplayCheckMessage(const DisplayInfo& display);

}  // namespace ostrelin
