#include "app/karvolen_app.h"

#include <QApplication>
#include <chrono>

#include "platform/core/process.h"
#include "platform/core/wait_cursor.h"
#include "platform/sound/alsa_wave_output.h"
#include "shell/core/media_player.h"
#include "app/main_window.h"

namespace ostrelin {

KarvolenApp::KarvolenApp(const ShellServices& services, const QRect& mainRect)
    : services_(services), mainRect_(mainRect) {}

KarvolenApp::~KarvolenApp() = default;

void KarvolenApp::InitApplication() {
  // A millisecond tick count, as the quiz's shuffling expects a different seed every run.
  const auto ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  InitApplication(LoadSettings(), uint32_t(ticks.count()));
}

void KarvolenApp::InitApplication(const Settings& settings, uint32_t seed) {
  settings_ = settings;
  random_.Seed(seed);
}

bool KarvolenApp::InitInstance() {
  WaitCursor& waitCursor = *services_.waitCursor;
  if (!services_.random) services_.random = &random_;
  if (!services_.media) {
    launcher_ = std::make_unique<SpawnLauncher>();
    waves_ = std::make_unique<AlsaWaveOutput>();
    media_ = std::make_unique<MediaPlayer>(settings_, waitCursor, *launcher_, *waves_);
    services_.media = media_.get();
  }
  waitCursor(true);
  mainWindow_ = std::make_unique<MainWindow>(settings_, services_, mainRect_);
  if (!mainWindow_->Start()) {
    waitCursor(false);
    mainWindow_.reset();
    return false;
  }
  mainWindow_->show();
  mainWindow_->update();
  waitCursor(false);
  return true;
}

int RunKarvolen(const ShellServices& services, const QRect& mainRect) {
  KarvolenApp app(services, mainRect);
  app.InitApplication();
  if (!app.InitInstance()) return 0;
  return QApplication::exec();
}

}  // namespace ostrelin
