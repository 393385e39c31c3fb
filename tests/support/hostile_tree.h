#pragma once
// A data tree in which every kind of file is damaged in every way that matters: images (JPEG and
// BMP), outline files and texts that are empty, truncated at several points, random bytes, announce
// huge dimensions, have a sound header but short data, use the wrong line ends or encoding, carry
// lines of 10,000 characters, are a directory, unreadable, a symbolic link loop or missing; the
// lists beside them carry damaged lines and the plane lists and the start sound are damaged too.
//
// Every damaged file gets a page of its own in Index.LST; the page's other image types show sound
// images, so each page can be opened, switched through every type, read, zoomed and quizzed.
//
//   TempTree tree;
//   const HostileTree hostile = WriteHostileTree(tree);
//   for (const HostilePage& page : hostile.pages) ...

#include <string>
#include <vector>

#include "catalogue/core/image_type.h"
#include "tests/support/temp_tree.h"

namespace ostrelin::test {

enum class FileKind { kJpeg, kBmp, kOutline, kText };

struct HostilePage {
  std::string name;    // the page in Index.LST
  FileKind kind;       // what is damaged
  std::string damage;  // how, in words ("truncated after 10 bytes")
  ImageType type;      // the image type whose image, outline or text is damaged
  std::string path;    // the damaged file, relative to the data path ("Bilder\\CT\\x.jpg")
  // A text the atlas shows in a message when the damaged file is opened (a part of it, such as
  // the start of the message); empty when the program has no message for this case.
  std::string message;
};

struct HostileTree {
  std::vector<HostilePage> pages;  // START first
  // Page links and structure names the texts point to, including ones that lead nowhere.
  std::vector<std::string> linkTargets;
  // False when permissions do not stop the running user (root): the unreadable files can then
  // be read and show no message.
  bool unreadableIsUnreadable = true;
};

// Writes the tree into `tree` (which must be empty).
HostileTree WriteHostileTree(TempTree& tree);

}  // namespace ostrelin::test
