// The main window's command table: what each command of the menus, the buttons and the child
// windows does once the request processing has passed it on.
#include <algorithm>

#include "app/about.h"
#include "app/main_menu_bar.h"
#include "app/main_window.h"
#include "hypertext/ui/text_panel.h"
#include "navigation/ui/navigation_panel.h"
#include "shell/core/atlas_requests.h"
#include "shell/core/commands.h"
#include "resources/core/ui_texts.h"
#include "structures/ui/image_window.h"
#include "quiz/ui/learning_state_window.h"
#include "quiz/ui/quiz_mode.h"

namespace ostrelin {

void MainWindow::SendCommand(int id) {
  const Command command = AsCommand(id);
  if (requests_.Handle(command)) return;
  TransferBuffer& buffer = requests_.buffer();
  if (history_.Choose(id, buffer)) {
    Send(Command::kHistoryRequest);
    return;
  }
  if (bookmarks_.Command(id, requests_.currentType(), requests_.lastRequestedName(), buffer)) {
    Send(Command::kBookmarkRequest);
    return;
  }
  switch (command) {
    case Command::kEnd: close(); break;
    case Command::kQuizNameToStructure:
    case Command::kQuizStructureToName:
    case Command::kQuizAlternating:
    case Command::kQuizSeries: StartQuiz(command); break;
    case Command::kTextVisible:
    case Command::kTextInvisible: ChooseTextVisibility(command); break;
    case Command::kFontSmall:
    case Command::kFontMedium:
    case Command::kFontLarge: ChooseFontSize(command); break;
    case Command::kHelpIndex:
    case Command::kHelpButton:
    case Command::kContextHelp: OpenHelpPage(command); break;
    case Command::kAbout: ShowAbout(); break;
    case Command::kLearningState: ShowLearningState(); break;
    case Command::kTogglePanel: TogglePanel(); break;
    default: break;  // "&Lernen" and anything unknown: nothing stands behind them
  }
}

void MainWindow::ShowLearningState() {
  if (!learning_) return;
  // The region's structures: those listed on the pages of the pictogram's planes.
  const std::vector<std::string>& planes = navigation_->State().Planes().names;
  std::vector<std::string> region;
  for (size_t i = 0; i < catalogue_.LocationCount(); ++i) {
    const StructureLocation& location = catalogue_.LocationAt(long(i));
    if (std::find(planes.begin(), planes.end(), location.page) != planes.end()) {
      region.push_back(location.structure);
    }
  }
  auto* window = new LearningStateWindow(this, learning_->Record(), SystemToday(), region,
                                         [this](const std::string& name) {
                                           AtlasRequests(requests_.buffer(), *this).GoToPlace(name);
                                         });
  window->setWindowFlag(Qt::Window);
  window->ShowOnImage(image_);  // "Zeigen" outlines there at once; the window opens beside it
  window->show();
}

void MainWindow::StartQuiz(Command command) {
  (*services_.waitCursor)(true);
  if (command == Command::kQuizNameToStructure) {
    quiz_->Start(kQuizNameToStructure, false);
  } else if (command == Command::kQuizStructureToName) {
    quiz_->Start(kQuizStructureToName, false);
  } else if (command == Command::kQuizSeries) {
    quiz_->StartSeries(navigation_->State().Planes().names);
  } else {
    quiz_->Start(kQuizNameToStructure, true);
  }
  (*services_.waitCursor)(false);
}

void MainWindow::ChooseTextVisibility(Command command) {
  menuModel_.Choose(CommandId(command),
                    {CommandId(Command::kTextVisible), CommandId(Command::kTextInvisible)});
  menuBar_->Mirror(MainMenu::kTextMenu);
  const bool visible = command == Command::kTextVisible;
  requests_.SetTextVisible(visible);
  textView_->ShowText({}, visible, visible ? requests_.currentType() : kNoImageType);
}

void MainWindow::ChooseFontSize(Command command) {
  text_->SetFontSize(command == Command::kFontSmall ? 1 : command == Command::kFontMedium ? 2 : 3);
  menuModel_.Choose(CommandId(command),
                    {CommandId(Command::kFontSmall), CommandId(Command::kFontMedium),
                     CommandId(Command::kFontLarge)});
  menuBar_->Mirror(MainMenu::kFontMenu);
  textView_->ShowText({}, requests_.textVisible(), requests_.currentType());
}

void MainWindow::OpenHelpPage(Command command) {
  // The help pages are ordinary pages of the index, shown like a page link.
  const char* page = command == Command::kContextHelp ? kContextHelpPage : kHelpOverviewPage;
  AtlasRequests(requests_.buffer(), *this).OpenPage(page);
}

void MainWindow::ShowAbout() {
  if (services_.showAbout) {
    services_.showAbout(this);
  } else {
    ostrelin::ShowAbout(this);
  }
}

}  // namespace ostrelin
