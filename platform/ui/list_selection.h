#pragma once
// A list box shows its selection in the highlight colour whatever the focus and whichever window
// is active; an item view left to the style draws it in the inactive highlight, which some styles
// leave nearly white.

class QAbstractItemView;

namespace ostrelin {

// The view draws its selection in the active highlight colours in every state.
void ShowSelectionAlways(QAbstractItemView& view);

}  // namespace ostrelin
