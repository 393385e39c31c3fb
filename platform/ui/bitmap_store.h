#pragma once
// The atlas's bitmaps by resource name: button faces, pictograms, pictures.
//
// Bitmaps registered at run time (generated artwork, tests) come first; otherwise the compiled-in
// resource ":/bitmaps/<NAME>.png", then ":/bitmaps/<NAME>.bmp", is read, NAME being the name with
// the ASCII letters in upper case. Names compare with the ASCII letters folded, as resource names
// always have. Used on the user-interface thread only.

#include <QImage>
#include <QSize>
#include <map>
#include <string>
#include <string_view>

namespace ostrelin {

class BitmapStore {
 public:
  static BitmapStore& Instance();

  // Registers `image` under `name` (Windows-1252), replacing an earlier one; a null image removes
  // the entry.
  void Register(std::string_view name, const QImage& image);
  void Clear();

  // The bitmap named `name`; a null image when there is none.
  QImage Load(std::string_view name) const;

 private:
  std::map<std::string, QImage> images_;
};

// BitmapStore::Instance().Load(name).
QImage LoadBitmap(std::string_view name);

// Loads the bitmap whose resource name is the string-table text `textId` into `bitmap`. On failure
// `bitmap` keeps what it held and false is returned.
bool LoadBitmapByTextId(QImage& bitmap, int textId);

// Width and height of `bitmap`; 0 and 0 for an absent (null) bitmap.
QSize BitmapSize(const QImage& bitmap);

}  // namespace ostrelin
