#pragma once
// Anatomical names for the label atlases of the head series: the short English labels of the
// atlases ("Precentral_L") become the names a student looks up ("Gyrus praecentralis links"),
// each with the brain region it belongs to, which colours the schematic drawings and chooses the
// paragraphs of the page texts.

#include <string>
#include <string_view>

#include "authoring/core/section.h"

namespace ostrelin {

struct AnatomicalName {
  std::string name;  // Windows-1252
  BrainRegion region = BrainRegion::kOther;
  bool known = false;  // false: made from the label itself, for want of a translation
};

// The name of an atlas label: a known label gets its Latin or German name, its side as " links"
// or " rechts"; an unknown one its label with blanks for underscores.
AnatomicalName NameOfBrainLabel(std::string_view label);

// German name of a region ("Stirnlappen"), its colour in the schematic drawings and a short
// teaching paragraph (Windows-1252, no markup).
std::string_view RegionName(BrainRegion region);
Rgb RegionColour(BrainRegion region);
std::string_view RegionText(BrainRegion region);

}  // namespace ostrelin
