#pragma once
// The cross-reference list now lives with the other shared lists in catalogue/core; this header
// only keeps the image window's include working until it names the new place.
#include "catalogue/core/cross_reference_list.h"  // IWYU pragma: export
