#include "shell/core/main_menu.h"

#include <utility>

#include "platform/core/cp1252.h"
#include "shell/core/commands.h"

namespace ostrelin {
namespace {

// The menu texts are written here in UTF-8 for the reader's sake; the model holds Windows-1252.
std::string T(const char* utf8) { return Utf8ToCp1252(utf8); }

MenuItem* FindIn(std::vector<MenuItem>& items, int id) {
  for (MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Command && item.id == id) return &item;
    if (item.kind == MenuItem::Kind::Submenu) {
      if (MenuItem* found = FindIn(item.submenu, id)) return found;
    }
  }
  return nullptr;
}

}  // namespace

MenuItem MenuItem::Command(int id, std::string text, bool checked, bool enabled) {
  MenuItem item;
  item.id = id;
  item.text = std::move(text);
  item.checked = checked;
  item.enabled = enabled;
  return item;
}

MenuItem MenuItem::Entry(int id, std::string text) {
  MenuItem item = Command(id, std::move(text));
  item.literal = true;
  return item;
}

MenuItem MenuItem::Separator() {
  MenuItem item;
  item.kind = Kind::Separator;
  return item;
}

MenuItem MenuItem::Submenu(std::string text, std::vector<MenuItem> items) {
  MenuItem item;
  item.kind = Kind::Submenu;
  item.text = std::move(text);
  item.submenu = std::move(items);
  return item;
}

MenuItem* Menu::Find(int id) { return FindIn(items, id); }

const MenuItem* Menu::Find(int id) const { return FindIn(const_cast<Menu*>(this)->items, id); }

MainMenu::MainMenu() {
  using M = MenuItem;
  menus_ = {
      {T("&Modus"),
       {// "&Lernen" marks the normal learning mode; nothing stands behind it, so it is disabled.
        M::Command(cmd::kLearn, T("&Lernen"), true, false),
        M::Submenu(T("Abfrage"),
                   {M::Command(cmd::kQuizNameToStructure, T("Name --> Struktur")),
                    M::Command(cmd::kQuizStructureToName, T("Struktur --> Name")),
                    M::Command(cmd::kQuizAlternating, T("Name <--> Struktur")),
                    M::Command(cmd::kQuizSeries, T("Ganze Serie"))}),
        M::Command(cmd::kLearningState, T("Lernstand...")), M::Separator(), M::Command(cmd::kEnd, T("&Ende"))}},
      {T("&Text"),
       {M::Command(cmd::kTextVisible, T("&sichtbar"), true, false),
        M::Command(cmd::kTextInvisible, T("&unsichtbar"))}},
      {T("&Schriftgröße"),
       {M::Command(cmd::kFontSmall, T("&klein")),
        M::Command(cmd::kFontMedium, T("&mittel"), true, false),
        M::Command(cmd::kFontLarge, T("&groß"))}},
      {T("Hist&ory"), {M::Command(cmd::kHistoryStart, T("(G) Start")), M::Separator()}},
      {T("&Lesezeichen"),
       {M::Command(cmd::kSetBookmark, T("setzen")), M::Command(cmd::kDeleteBookmark, T("löschen")),
        M::Separator()}},
      {T("&Hilfe"),
       {M::Command(cmd::kHelpIndex, T("&Index\tF1")), M::Separator(),
        M::Command(cmd::kAbout, T("Über &Karvolen"))},
       true},
  };
}

MenuItem* MainMenu::Find(int id) {
  for (Menu& menu : menus_) {
    if (MenuItem* found = menu.Find(id)) return found;
  }
  return nullptr;
}

const MenuItem* MainMenu::Find(int id) const { return const_cast<MainMenu*>(this)->Find(id); }

void MainMenu::Choose(int chosen, std::initializer_list<int> group) {
  for (int id : group) {
    if (MenuItem* item = Find(id)) {
      item->checked = id == chosen;
      item->enabled = id != chosen;
    }
  }
}

}  // namespace ostrelin
