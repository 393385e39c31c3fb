#pragma once
// Saving and copying what the image window shows, and stepping through its structures with the
// keyboard: the decisions, free of widgets. The window renders the picture and reads the keys.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/rect.h"
#include "structures/core/object_list.h"

namespace ostrelin {

// ---------------------------------------------------------------------------------------------
// Saving

enum class PictureFormat { Png, Jpeg, Unknown };

// The format a file name asks for by its extension (".png", ".jpg", ".jpeg", any letter case).
PictureFormat PictureFormatOf(std::string_view path);
// The file name to write: `path` itself when its extension names a format, else `path` + ".png".
std::string WithPictureExtension(std::string path);
// The file name offered for a page (Windows-1252): the page name with the characters a file name
// cannot hold replaced by '_', and ".png"; "Bild.png" without a page.
std::string PictureFileNameFor(std::string_view pageName);

// The light band with the highlighted structure's name along the picture's bottom edge: the full
// width, the text height plus padding above and below, never taller than the picture. `text` is
// the band inset by the padding at either side. An empty band when there is no room.
struct NameBand {
  Rect band;
  Rect text;
};
inline constexpr int kNameBandPadding = 4;
NameBand LayOutNameBand(int pictureWidth, int pictureHeight, int textHeight);

// What the band says: the names drawn, joined by " / " as the strip joins them; nothing when the
// picture shows all markable structures or a mode hides the names (in a quiz, the name would be
// the answer).
std::string NameBandText(const std::vector<std::string>& drawnNames, bool showAll,
                         bool namesHidden);

// What a screen reader says about the image window: the page, the image type (0 Schnitt, 1 MR,
// 2 CT, 3 Schema) and the highlight ("" for none); while a mode of the window is active, what
// the mode says instead of the highlighted name.
std::string ImageWindowDescription(std::string_view pageName, int imageType,
                                   std::string_view highlighted,
                                   std::string_view modeDescription = {});

// ---------------------------------------------------------------------------------------------
// Stepping through the structures

// Every named structure once (the first of names equal ignoring case), in list-box order.
std::vector<std::string> StepOrder(const Objektliste& list);

// The index in `order` that Tab (`forward`) or Shift+Tab goes to from `current` ("" when the
// stepping starts afresh): the next or previous name; from a name not in the order the first or
// the last. -1 when the step runs past either end (the caller moves the focus on or wraps).
int StepFrom(const std::vector<std::string>& order, std::string_view current, bool forward);

}  // namespace ostrelin
