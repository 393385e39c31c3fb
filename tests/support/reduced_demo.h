#pragma once
// The demo atlas, reduced, built from the head data that Debian's mricron-data installs: the tests
// that need a real tree (the checker, the web export, the soak) build it the same way.

#include <filesystem>
#include <sstream>
#include <string>

#include "tools/demo_atlas/atlas_builder.h"

namespace ostrelin::test {

inline const std::filesystem::path kInstalledTemplates = "/usr/share/mricron/templates";

inline bool HaveInstalledTemplates() {
  return std::filesystem::exists(kInstalledTemplates / "ch2better.nii.gz") &&
         std::filesystem::exists(kInstalledTemplates / "aal.nii.gz");
}

// Builds the reduced demo tree into `output` with head images `headHeight` pixels high.
inline bool BuildReducedDemo(const std::filesystem::path& output, int headHeight,
                             std::string& error) {
  DemoAtlasOptions options;
  options.templates = kInstalledTemplates;
  options.output = output;
  options.reduced = true;
  options.headHeight = headHeight;
  std::ostringstream log;
  return BuildDemoAtlas(options, log, error);
}

}  // namespace ostrelin::test
