#pragma once
// The head series from real data: a T1 MR volume of one head and label atlases drawn on that
// same head, cut into axial planes at true heights.

#include <filesystem>
#include <string>
#include <vector>

#include "authoring/core/nifti.h"
#include "authoring/core/section.h"
#include "tools/demo_atlas/anatomy.h"

namespace ostrelin {

struct LabelAtlas {
  Volume volume;
  Affine fromWorld;
  std::vector<AnatomicalName> names;  // by label value; empty name: no structure
};

struct HeadSources {
  Volume t1;
  Affine t1FromWorld;
  float windowHigh = 255;             // intensity shown as white
  std::vector<LabelAtlas> atlases;    // grey matter first; later atlases fill unlabelled pixels
  double vertexZ = 0;                 // world height of the top of the imaged head (brain)
  double bottomZ = 0;                 // lowest world height the volume covers
  std::vector<std::string> warnings;  // labels without a translation
};

// The T1 volume "ch2better.nii.gz" and the label atlas "aal.nii.gz" with its names "aal.nii.txt"
// from `dir`, and, when present, the white-matter atlas "JHU-WhiteMatter-labels-1mm.nii.gz" with
// its ".txt". False with `error` naming the file for anything missing or unreadable.
bool LoadHeadSources(const std::filesystem::path& dir, HeadSources& sources, std::string& error);

// Names of a label list: one label a line, its value, blanks or a tab, its name (the first word
// after the value); the table reader's lines, so comments and either encoding are read as in
// every other table.
std::vector<AnatomicalName> ParseLabelNames(std::string_view text,
                                            std::vector<std::string>& warnings);

// Some label files name their sides against their own matrix (a copy whose header was flipped
// without its voxels). The side-named labels vote: where most "rechts" lie at negative world x
// (the body's left) and "links" at positive x, links and rechts are swapped in `atlas`'s names.
// True when it swapped them.
bool SwapMirroredSides(LabelAtlas& atlas);

// The axial plane at world height `z`, about `height` pixels high, seen from below (the body's
// right on the image's left, front at the top). Without labels when `withLabels` is false (the
// video's frames).
Section CutHeadAxial(const HeadSources& sources, double z, int height, bool withLabels = true);

}  // namespace ostrelin
