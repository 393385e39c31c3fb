#include "app/main_menu_bar.h"

#include <QAction>
#include <QMenu>

#include "platform/ui/qt_text.h"

namespace ostrelin {
namespace {

QString MenuText(const MenuItem& item) {
  QString text = ToQString(item.text);
  // A history entry or a bookmark is a page name: its '&' is shown, not taken for a mnemonic.
  if (item.literal) text.replace(QLatin1Char('&'), QLatin1String("&&"));
  return text;
}

QAction* FindAction(const QMenu* menu, int id) {
  for (QAction* action : menu->actions()) {
    if (action->menu() != nullptr) {
      if (QAction* found = FindAction(action->menu(), id)) return found;
    } else if (!action->isSeparator() && action->data().toInt() == id) {
      return action;
    }
  }
  return nullptr;
}

}  // namespace

MainMenuBar::MainMenuBar(const MainMenu& model, std::function<void(int)> onCommand,
                         QWidget* parent)
    : QMenuBar(parent), model_(model), onCommand_(std::move(onCommand)) {
  setNativeMenuBar(false);  // the bar belongs to the full-screen window, not to a desktop panel
  for (const Menu& source : model_.menus()) {
    const QString title = ToQString(source.title);
    QMenu* menu = nullptr;
    if (source.atRightEnd) {
      // A menu bar lines its menus up from the left; the one at the right end sits in a second
      // bar in the corner, so it looks and opens (Alt + its letter included) like the others.
      auto* corner = new QMenuBar(this);
      corner->setNativeMenuBar(false);
      menu = corner->addMenu(title);
      setCornerWidget(corner, Qt::TopRightCorner);
    } else {
      menu = addMenu(title);
    }
    menus_.push_back(menu);
  }
  MirrorAll();
}

void MainMenuBar::MirrorAll() {
  for (size_t i = 0; i < menus_.size(); ++i) Mirror(i);
}

void MainMenuBar::Mirror(size_t index) {
  QMenu* menu = menus_.at(index);
  const QList<QMenu*> submenus = menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
  menu->clear();
  qDeleteAll(submenus);
  Fill(menu, model_.menus().at(index).items);
}

void MainMenuBar::Fill(QMenu* menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Kind::Separator:
        menu->addSeparator();
        break;
      case MenuItem::Kind::Submenu:
        Fill(menu->addMenu(ToQString(item.text)), item.submenu);
        break;
      case MenuItem::Kind::Command: {
        QAction* action = menu->addAction(MenuText(item));
        action->setData(item.id);
        action->setEnabled(item.enabled);
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] {
          QMetaObject::invokeMethod(this, [this, id] { onCommand_(id); }, Qt::QueuedConnection);
        });
        break;
      }
    }
  }
}

QAction* MainMenuBar::ActionFor(int id) const {
  for (const QMenu* menu : menus_) {
    if (QAction* found = FindAction(menu, id)) return found;
  }
  return nullptr;
}

}  // namespace ostrelin
