#pragma once
// The atlas's one full-screen main window. It owns the catalogue and every child window, runs the
// start-up sequence, cannot be moved or resized, and asks before it closes.

#include <QRect>
#include <QWidget>
#include <memory>
#include <string>

#include "catalogue/core/catalogue.h"
#include "platform/core/wait_cursor.h"
#include "shell/core/settings.h"
#include "shell/ui/shell_services.h"

namespace ostrelin {

class StartMeldung;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr QRgb kBackground = 0xFFC5C5C5;  // RGB(197, 197, 197)
  static constexpr const char* kDefaultUser = "BENUTZER";

  // `mainRect` is the whole screen in screen coordinates; the window keeps to it.
  MainWindow(const Settings& settings, const ShellServices& services, const QRect& mainRect);
  ~MainWindow() override;

  // Runs the start-up sequence. False means the program must end now with exit code 0 (the user
  // stopped on a poor display, or the catalogue is missing); the reason has been shown.
  bool Start();

  // Asks whether to continue on this display; false when the user chose to stop.
  bool CheckDisplay();

  const Catalogue& catalogue() const { return catalogue_; }
  const std::string& userName() const { return userName_; }
  int currentType() const { return currentType_; }
  bool textVisible() const { return textVisible_ != 0; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void EndStartup();
  void KeepToMainRect();

  const Settings& settings_;
  ShellServices services_;
  const QRect mainRect_;

  Catalogue catalogue_;
  std::unique_ptr<StartMeldung> progress_;

  int textVisible_ = 1;
  int currentType_ = -1;
  std::string userName_;
};

}  // namespace ostrelin
