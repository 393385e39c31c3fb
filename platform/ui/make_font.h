#pragma once
// The atlas's fonts: the face named in the string table ("Arial"), normal or bold.

#include <QFont>

namespace ostrelin {

// Makes the atlas font into `font`. `height` is a logical font height as the atlas's layout gives
// it: positive is the character cell height (ascent + descent) in pixels, negative the em height
// in pixels, zero the default size. No italics, no underline. Returns false, leaving `font` as it
// was, when the string table has no face name.
bool MakeFont(QFont& font, int height, bool bold);

}  // namespace ostrelin
