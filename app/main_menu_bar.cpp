#include "app/main_menu_bar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProxyStyle>
#include <QStyleFactory>

#include "platform/ui/qt_text.h"

namespace ostrelin {
namespace {

QString MenuText(const MenuItem& item) {
  QString text = ToQString(item.text);
  // A history entry or a bookmark is a page name: its '&' is shown, not taken for a mnemonic.
  if (item.literal) text.replace(QLatin1Char('&'), QLatin1String("&&"));
  return text;
}

// The bar's style: a separator between its menus is not drawn but moves the menus after it to
// the right end of the bar. They stay in the one bar, so the arrow keys walk through every menu.
class RightEndStyle : public QProxyStyle {
 public:
  RightEndStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_DrawMenuBarSeparator) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

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

MainMenuBar::MainMenuBar(const MainMenu& model, std::function<void(int)> onCommand, QWidget* parent)
    : QMenuBar(parent), model_(model), onCommand_(std::move(onCommand)) {
  setNativeMenuBar(false);  // the bar belongs to the full-screen window, not to a desktop panel
  auto* style = new RightEndStyle;
  style->setParent(this);
  setStyle(style);
  bool rightEnd = false;
  for (const Menu& source : model_.menus()) {
    if (source.atRightEnd && !rightEnd) {
      addSeparator();
      rightEnd = true;
    }
    menus_.push_back(addMenu(ToQString(source.title)));
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
      case MenuItem::Kind::Separator: menu->addSeparator(); break;
      case MenuItem::Kind::Submenu: Fill(menu->addMenu(ToQString(item.text)), item.submenu); break;
      case MenuItem::Kind::Command: {
        QAction* action = menu->addAction(MenuText(item));
        action->setData(item.id);
        action->setEnabled(item.enabled);
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] {
          QMetaObject::invokeMethod(
              this, [this, id] { onCommand_(id); }, Qt::QueuedConnection);
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
