// karvolen: the atlas program. It takes no command-line options: KARVOLEN.INI in the working
// directory says where the data tree lies.
#include <QApplication>
#include <QScreen>

#include "platform/ui/qt_cursor_service.h"
#include "platform/ui/qt_message_service.h"
#include "platform/ui/screen_info.h"
#include "resources/ui/program_icon.h"
#include "app/karvolen_app.h"
#include "app/qt_translations.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setQuitOnLastWindowClosed(true);
  QApplication::setWindowIcon(ostrelin::ProgramIcon());
  const auto qtTexts = ostrelin::InstallQtTranslations();

  ostrelin::QtMessageService messages;
  ostrelin::QtCursorService cursors;
  ostrelin::WaitCursor waitCursor(cursors);
  ostrelin::ShellServices services;
  services.messages = &messages;
  services.waitCursor = &waitCursor;
  services.queryDisplay = [](const QWidget* window) {
    const ostrelin::ScreenInfo screen = ostrelin::QueryScreen(window);
    return ostrelin::DisplayInfo{screen.bitsPerPixel, screen.width};
  };

  const QRect mainRect(QPoint(0, 0), QGuiApplication::primaryScreen()->geometry().size());
  return ostrelin::RunKarvolen(services, mainRect);
}
