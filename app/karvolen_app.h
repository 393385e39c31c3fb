#pragma once
// The application object: reads the settings, seeds the program's random numbers, builds the main
// window and runs its start-up.

#include <QRect>
#include <memory>

#include "platform/core/runtime_random.h"
#include "shell/core/settings.h"
#include "app/shell_services.h"

namespace ostrelin {

class MainWindow;
class Media;
class ProcessLauncher;
class WaveOutput;

class KarvolenApp {
 public:
  // `mainRect`: the whole screen, which the main window will cover.
  KarvolenApp(const ShellServices& services, const QRect& mainRect);
  ~KarvolenApp();

  // Before any window exists: settings from the working directory, random seed from the clock.
  void InitApplication();
  void InitApplication(const Settings& settings, uint32_t seed);

  // Builds and starts the main window and shows it. False when the start-up ended the program.
  // Without a media object in the services, the application plays through ALSA and starts the
  // configured players itself.
  bool InitInstance();

  const Settings& settings() const { return settings_; }
  RuntimeRandom& random() { return random_; }
  MainWindow* mainWindow() const { return mainWindow_.get(); }

 private:
  ShellServices services_;
  QRect mainRect_;
  Settings settings_;
  RuntimeRandom random_;
  // Declared before the main window, so they outlive it: closing stops what still plays.
  std::unique_ptr<ProcessLauncher> launcher_;
  std::unique_ptr<WaveOutput> waves_;
  std::unique_ptr<Media> media_;
  std::unique_ptr<MainWindow> mainWindow_;
};

// Everything main() does once QApplication exists; returns the process's exit code.
int RunKarvolen(const ShellServices& services, const QRect& mainRect);

}  // namespace ostrelin
