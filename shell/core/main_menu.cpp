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

MenuItem MenuItem::Command(ostrelin::Command id, std::string text, bool checked, bool enabled) {
  MenuItem item;
  item.id = CommandId(id);
  item.text = std::move(text);
  item.checked = checked;
  item.enabled = enabled;
  return item;
}

MenuItem MenuItem::Entry(int id, std::string text) {
  MenuItem item = Command(AsCommand(id), std::move(text));
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
        M::Command(Command::kLearn, T("&Lernen"), true, false),
        M::Submenu(T("Abfrage"), {M::Command(Command::kQuizNameToStructure, T("Name --> Struktur")),
                                  M::Command(Command::kQuizStructureToName, T("Struktur --> Name")),
                                  M::Command(Command::kQuizAlternating, T("Name <--> Struktur")),
                                  M::Command(Command::kQuizSeries, T("Ganze Serie"))}),
        M::Command(Command::kLearningState, T("Lernstand...")), M::Separator(),
        M::Command(Command::kEnd, T("&Ende"))}},
      {T("&Text"),
       {M::Command(Command::kTextVisible, T("&sichtbar"), true, false),
        M::Command(Command::kTextInvisible, T("&unsichtbar"))}},
      {T("&Schriftgröße"),
       {M::Command(Command::kFontSmall, T("&klein")),
        M::Command(Command::kFontMedium, T("&mittel"), true, false),
        M::Command(Command::kFontLarge, T("&groß"))}},
      {T("Hist&ory"), {M::Command(Command::kHistoryStart, T("(G) Start")), M::Separator()}},
      {T("&Lesezeichen"),
       {M::Command(Command::kSetBookmark, T("setzen")),
        M::Command(Command::kDeleteBookmark, T("löschen")), M::Separator()}},
      {T("&Hilfe"),
       {M::Command(Command::kHelpIndex, T("&Index\tF1")), M::Separator(),
        M::Command(Command::kAbout, T("Über &Karvolen"))},
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
