// ostrelin: opens the installed demo atlas, or the data tree given, with karvolen (installed
// beside it) from a per-user settings folder. See app/core/launcher.h.
#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <iostream>

#include "app/core/launcher.h"
#include "resources/ui/program_icon.h"

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeFolder() {
  std::string home = Variable("HOME");
  if (home.empty()) {
    if (const passwd* user = getpwuid(getuid())) home = user->pw_dir;
  }
  return home;
}

// A message box needs a display; started from a terminal without one, standard error is all.
void ShowInMessageBox(const std::string& message, int& argc, char** argv) {
  if (Variable("DISPLAY").empty() && Variable("WAYLAND_DISPLAY").empty() &&
      Variable("QT_QPA_PLATFORM").empty()) {
    return;
  }
  QApplication app(argc, argv);
  QApplication::setWindowIcon(ostrelin::ProgramIcon());
  QMessageBox::critical(nullptr, QStringLiteral("Ostrelin"), QString::fromStdString(message));
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) self = fs::absolute(argv[0], ec);
  const fs::path bin = self.parent_path();

  ostrelin::LauncherEnvironment env;
  env.home = HomeFolder();
  env.configHome = Variable("XDG_CONFIG_HOME");
  env.dataHome = Variable("XDG_DATA_HOME");
  env.currentDirectory = fs::current_path(ec);
  env.demoAtlas = bin / OSTRELIN_DEMO_ATLAS_FROM_BINDIR;
  env.karvolen = bin / "karvolen";

  return ostrelin::RunLauncher(
      std::vector<std::string>(argv + 1, argv + argc), env,
      [&](const std::string& message) {
        std::cerr << "ostrelin: " << message << "\n";
        ShowInMessageBox(message, argc, argv);
      },
      [](const std::string& message) { std::cout << message << "\n"; });
}
