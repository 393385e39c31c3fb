// The main window's start-up sequence: start dialog, progress window, display check, the
// catalogue, the index, the user's bookmarks and learning record, and the page "START".
#include <QCoreApplication>
#include <algorithm>
#include <climits>

#include "app/main_window.h"
#include "app/start_info.h"
#include "app/start_meldung.h"
#include "navigation/ui/navigation_panel.h"
#include "platform/core/file_replace.h"
#include "platform/ui/qt_text.h"
#include "resources/core/string_table.h"
#include "search/ui/search_window.h"
#include "shell/core/display_check.h"
#include "shell/core/index_names.h"
#include "structures/ui/image_window.h"
#include "quiz/ui/quiz_mode.h"

namespace ostrelin {

bool MainWindow::Start() {
  // The greeting plays while the catalogue loads; without the file (or a sound device) it is
  // silent.
  if (services_.media) services_.media->PlayWave(LoadText(text::kFileStartSound));
  if (services_.showStartDialog) {
    services_.showStartDialog(this, settings_.DataPath);
  } else {
    ShowStartInfo(this, settings_.DataPath);
  }
  (*services_.waitCursor)(true);

  progress_ = std::make_unique<StartMeldung>();
  progress_->show();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // let it appear now

  // The frame: caption and system menu only, no sizing border, no minimise or maximise box; it
  // covers the whole screen.
  setWindowTitle(ToQString(LoadText(text::kProgramName)));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  KeepToMainRect();
  hide();

  if (!CheckDisplay()) {
    EndStartup();
    return false;
  }

  if (!catalogue_.LoadLists(settings_.DataPath)) {
    services_.messages->Show(LoadText(text::kDataNotFound), MessageButtons::Ok,
                             MessageIcon::Exclamation);
    EndStartup();
    return false;
  }

  FillSearchWindow();

  (*services_.waitCursor)(false);
  requests_.PostStartRequest();
  progress_.reset();
  userName_ = kDefaultUser;
  bookmarks_.LoadBookmarks(settings_.SavePath, userName_);
  learning_ = std::make_unique<LearningRecordFile>(
      settings_.SavePath + LearningRecordFile::FileName(userName_), ReplaceFileContents,
      services_.messages);
  learning_->Load();
  quiz_->SetLearningRecord(learning_.get());
  image_->show();
  navigation_->show();
  requests_.ProcessStartRequest();
  return true;
}

void MainWindow::FillSearchWindow() {
  // The bar counts every name; the list removes duplicates afterwards, so it may end up shorter
  // than the bar was long.
  const size_t count = IndexNameCount(catalogue_);
  progress_->SetRange(int(std::min<size_t>(count, INT_MAX)));
  search_->Reserve(count);
  ForEachIndexName(catalogue_, [this](const std::string& name) {
    search_->AddName(name);
    progress_->Step();
  });
  search_->RemoveDuplicates();
}

void MainWindow::EndStartup() {
  progress_.reset();
  (*services_.waitCursor)(false);
}

bool MainWindow::CheckDisplay() {
  const std::string message = DisplayCheckMessage(services_.queryDisplay(this));
  if (message.empty()) return true;
  return services_.messages->Show(message, MessageButtons::YesNo, MessageIcon::Question) !=
         MessageAnswer::Yes;
}

}  // namespace ostrelin
