#pragma once
// The main menu as data: six menus of items in bar order, each item with its command, its text
// (Windows-1252; '&' marks the mnemonic, a tab separates the key shown at the right) and its marks.
// The widgets mirror this model; the history and the bookmarks keep their entries in it, because
// an entry's menu text is all there is of it.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "shell/core/commands.h"

namespace ostrelin {

struct MenuItem {
  enum class Kind { Command, Separator, Submenu };

  Kind kind = Kind::Command;
  int id = 0;  // the command it sends; 0 for separators and submenus
  std::string text;
  bool enabled = true;
  bool checked = false;
  // The text is data (a history entry, a bookmark) and is shown exactly as it stands: an '&' in it
  // is a character, not a mnemonic.
  bool literal = false;
  std::vector<MenuItem> submenu;

  // A named command; an Entry is a numbered slot of the history or the bookmarks.
  static MenuItem Command(ostrelin::Command id, std::string text, bool checked = false,
                          bool enabled = true);
  static MenuItem Entry(int id, std::string text);
  static MenuItem Separator();
  static MenuItem Submenu(std::string text, std::vector<MenuItem> items);

  bool IsSeparator() const { return kind == Kind::Separator; }
  bool operator==(const MenuItem&) const = default;
};

struct Menu {
  std::string title;
  std::vector<MenuItem> items;
  bool atRightEnd = false;  // placed at the right end of the menu bar

  // The item (searched through submenus too) that sends `id`; nullptr when there is none.
  MenuItem* Find(int id);
  const MenuItem* Find(int id) const;
};

class MainMenu {
 public:
  // Where the program addresses menus by position.
  static constexpr size_t kModeMenu = 0;
  static constexpr size_t kTextMenu = 1;
  static constexpr size_t kFontMenu = 2;
  static constexpr size_t kHistoryMenu = 3;
  static constexpr size_t kBookmarkMenu = 4;

  // The menu as it is at start-up: "&Modus", "&Text", "&Schriftgröße", "Hist&ory",
  // "&Lesezeichen" and, at the right end, "&Hilfe".
  MainMenu();

  std::vector<Menu>& menus() { return menus_; }
  const std::vector<Menu>& menus() const { return menus_; }
  Menu& history() { return menus_[kHistoryMenu]; }
  Menu& bookmarks() { return menus_[kBookmarkMenu]; }

  MenuItem* Find(int id);
  const MenuItem* Find(int id) const;

  // Marks `chosen` as the one choice of the group `group`: it becomes checked and disabled, every
  // other item of the group unchecked and enabled ("&sichtbar" / "&unsichtbar", the font sizes).
  void Choose(int chosen, std::initializer_list<int> group);

 private:
  std::vector<Menu> menus_;
};

}  // namespace ostrelin
