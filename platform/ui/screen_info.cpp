#include "platform/ui/screen_info.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ostrelin {

ScreenInfo QueryScreen(const QWidget* widget) {
  const QScreen* screen = widget != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect geometry = screen->geometry();
  return {screen->depth(), geometry.width(), geometry.height()};
}

}  // namespace ostrelin
