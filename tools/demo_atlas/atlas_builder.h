#pragma once
// The demo atlas: a whole data tree built from the real head volumes of the templates folder and
// from schematic phantoms of the other body regions, with its lists, texts, sounds and a video.

#include <filesystem>
#include <ostream>
#include <string>

namespace ostrelin {

struct DemoAtlasOptions {
  std::filesystem::path templates = "/usr/share/mricron/templates";
  std::filesystem::path output;
  bool reduced = false;  // three head planes and one phantom plane a pictogram, for the tests
  int headHeight = 560;  // pixels of a head image
  int phantomHeight = 520;
};

// Builds the tree into `options.output` (created when missing; a folder that holds anything but
// an earlier demo atlas is refused, so nothing of the user's is overwritten). Progress goes to
// `log`. False with `error` set when the sources cannot be read or the tree cannot be written.
bool BuildDemoAtlas(const DemoAtlasOptions& options, std::ostream& log, std::string& error);

}  // namespace ostrelin
