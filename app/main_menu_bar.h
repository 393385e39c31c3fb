#pragma once
// The main window's menu bar, mirrored from the menu model: the model holds the items (and, for
// the history and the bookmarks, the data), the bar shows them. After the model changes, Mirror
// rebuilds the menu concerned. "&Hilfe" sits at the right end of the bar.
//
// A chosen item's command reaches the handler after the menu has closed, from the event loop, as
// a menu's command message would: the handler may then rebuild any menu, the chosen one included.

#include <QMenuBar>
#include <functional>
#include <vector>

#include "shell/core/main_menu.h"

class QMenu;
class QAction;

namespace ostrelin {

class MainMenuBar : public QMenuBar {
  Q_OBJECT

 public:
  MainMenuBar(const MainMenu& model, std::function<void(int)> onCommand, QWidget* parent);

  // Rebuilds the menu at `index` of the model (its title stays) from the model's items.
  void Mirror(size_t index);
  void MirrorAll();

  // The menu at `index` of the model: 3 is the history, 4 the bookmarks, 5 the help menu.
  QMenu* MenuAt(size_t index) const { return menus_.at(index); }
  // The action that sends `id`, searched through every menu; nullptr when there is none.
  QAction* ActionFor(int id) const;

 private:
  void Fill(QMenu* menu, const std::vector<MenuItem>& items);

  const MainMenu& model_;
  std::function<void(int)> onCommand_;
  std::vector<QMenu*> menus_;
};

}  // namespace ostrelin
