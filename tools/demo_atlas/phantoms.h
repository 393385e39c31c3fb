#pragma once
// Schematic phantoms for the body regions no real volume is at hand for: cross-sections built
// from simple shapes (body outline, lungs, heart, aorta, spine, liver, bones and muscles of the
// limbs), rendered as CT-like grey images with their structures.

#include <string>
#include <vector>

#include "authoring/core/section.h"
#include "tools/demo_atlas/anatomy.h"

namespace ostrelin {

struct PhantomPlane {
  std::string pageName;   // Windows-1252
  std::string fileStem;   // image and text file name without extension
  char sex = 'M';         // 'M' or 'F'
  char region = 'R';      // region letter of the page list
  std::string pictogram;  // plane list the plane belongs to, e.g. "SM_RUMPF"
  int position = 0;       // percent of the pictogram height from the top
  std::string level;      // "in Höhe des Herzens", Windows-1252
  std::string defaultStructure;
};

// Every phantom plane, overview first, then male trunk, female trunk, arm, leg. `reduced` keeps
// one plane per pictogram.
std::vector<PhantomPlane> PhantomPlanes(bool reduced);

// The cross-section of a phantom plane, about `height` pixels high.
Section CutPhantom(const PhantomPlane& plane, int height);

}  // namespace ostrelin
