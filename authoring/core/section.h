#pragma once
// One sectional plane as the builder makes it, before it becomes files: a grey image (MR- or
// CT-like), the structure of every pixel, and a body mask for the drawings.

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/core/media.h"
#include "authoring/core/nifti.h"
#include "authoring/core/rgb.h"

namespace ostrelin {

// The brain region a structure belongs to, which colours the head's schematic drawings and
// chooses the paragraphs of its page texts; kOther for every structure outside the brain.
enum class BrainRegion {
  kFrontal,
  kParietal,
  kTemporal,
  kOccipital,
  kLimbic,
  kInsula,
  kDeep,
  kCerebellum,
  kWhiteMatter,
  kOther,
};

struct SectionStructure {
  std::string name;  // Windows-1252
  Rgb colour;        // flat colour in the schematic drawing
  BrainRegion region = BrainRegion::kOther;
};

struct Section {
  Raster grey;                       // 1 channel
  std::vector<std::uint8_t> labels;  // per pixel: 0 none, i + 1 = structures[i]
  std::vector<std::uint8_t> body;    // per pixel: 1 inside the body, 0 outside
  std::vector<SectionStructure> structures;

  int Width() const { return grey.width; }
  int Height() const { return grey.height; }
  // How many pixels show each structure (index i for structures[i]).
  std::vector<size_t> PixelCounts() const;
};

// The volume's value at voxel coordinates `p` by trilinear interpolation; false outside the
// volume (more than half a voxel beyond its outer voxel centres).
bool SampleLinear(const Volume& v, const std::array<double, 3>& p, float& value);
// The label value of the voxel nearest to `p`, 0 outside the volume or for negative values.
long SampleNearest(const Volume& v, const std::array<double, 3>& p);

// Clears structures of fewer than `minPixels` pixels (too small to point at) and drops those
// that show nowhere; the others keep their order.
void DropTinyStructures(Section& section, size_t minPixels);

// The schematic drawing: flat colours for the structures, a pale body, white around it, dark
// lines where structures meet.
Raster DrawSchema(const Section& section);

// The outline file of the section (structures in their order), encoded.
bool EncodeSectionOutline(const Section& section, std::string_view title, std::string& bytes,
                          std::string& error);

}  // namespace ostrelin
