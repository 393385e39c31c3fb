#pragma once
// The atlas's one full-screen main window. It owns the catalogue, the menus and every child window,
// runs the start-up sequence, cannot be moved or resized, and asks before it closes. Every command
// of the menus, the buttons and the child windows arrives at SendCommand.

#include <QRect>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/core/catalogue.h"
#include "catalogue/core/synonym_list.h"
#include "platform/core/wait_cursor.h"
#include "shell/core/bookmark_menu.h"
#include "shell/core/detached_views.h"
#include "shell/core/history_menu.h"
#include "quiz/core/learning_record.h"
#include "shell/core/main_layout.h"
#include "shell/core/main_menu.h"
#include "shell/core/request_processor.h"
#include "shell/core/settings.h"
#include "shell/core/transfer_buffer.h"
#include "app/shell_services.h"

namespace ostrelin {

class ImageWindow;
class MainMenuBar;
class NavigationPanel;
class PictureButton;
class QuizMode;
class SearchWindow;
class StartMeldung;
class TextPanel;

class MainWindow : public QWidget, public CommandTarget {
  Q_OBJECT

 public:
  static constexpr QRgb kBackground = 0xFFC5C5C5;  // RGB(197, 197, 197)
  static constexpr const char* kDefaultUser = "BENUTZER";

  // `mainRect` is the whole screen in screen coordinates; the window keeps to it.
  MainWindow(const Settings& settings, const ShellServices& services, const QRect& mainRect);
  ~MainWindow() override;

  // Runs the start-up sequence. False means the program must end now with exit code 0 (the user
  // stopped on a poor display, or the catalogue is missing); the reason has been shown. On success
  // the bookmarks are loaded and the page "START" has been requested.
  bool Start();

  // Asks whether to continue on this display; false when the user chose to stop.
  bool CheckDisplay();

  // Handles `command` before returning: the requests of the child windows, the image-type
  // buttons, the history and bookmark menus and "&Ende". Commands nobody handles yet are ignored.
  void SendCommand(int id) override;

  // Replaces the windows the requests are shown in (the main window's own children from its
  // construction on); tests attach recorders. The history is the main window's own.
  void AttachViews(ImageView& image, TextView& text, NavigationView& navigation, SearchView& search,
                   ImageTypeButtons& buttons);

  // The request slot every child window writes its requests into before it sends its command.
  TransferBuffer& transferBuffer() { return requests_.buffer(); }

  const Catalogue& catalogue() const { return catalogue_; }
  const std::string& userName() const { return userName_; }
  int currentType() const { return requests_.currentType(); }
  bool textVisible() const { return requests_.textVisible(); }
  RequestProcessor& requests() { return requests_; }
  MainMenu& menuModel() { return menuModel_; }
  const HistoryMenu& history() const { return history_; }
  BookmarkMenu& bookmarks() { return bookmarks_; }
  MainMenuBar* menuBar() const { return menuBar_; }

  // The children, for the application and the tests.
  ImageWindow* imageWindow() const { return image_; }
  TextPanel* textPanel() const { return text_; }
  NavigationPanel* navigationPanel() const { return navigation_; }
  SearchWindow* searchWindow() const { return search_; }
  PictureButton* button(MainLayout::Button which) const { return buttons_[which]; }
  const MainLayout& layout() const { return layout_; }
  // True while the navigation panel is shown, false while the search window is.
  bool panelShown() const { return panelShown_; }
  // F6 (`forward`) and Shift+F6: the keyboard focus to the next or the previous pane.
  void FocusNextPane(bool forward);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  class TypeButtons;

  // The frame (main_window.cpp).
  void CreateLayout();
  void ApplyLayout();
  QRect ClientRect(const Rect& rect) const;
  void KeepToMainRect();
  RequestServices MakeRequestServices();
  void StopMedia();
  void TogglePanel();

  // The start-up sequence (main_window_startup.cpp).
  void EndStartup();
  void FillSearchWindow();

  // The command table (main_window_commands.cpp).
  void StartQuiz(Command command);
  void ShowLearningState();
  void ChooseTextVisibility(Command command);
  void ChooseFontSize(Command command);
  void OpenHelpPage(Command command);
  void ShowAbout();
  // The panes F6 goes through, in order: the image window, the text panel, the navigation panel
  // or the index, the buttons (their first one that can be used); in full view the image alone.
  std::vector<QWidget*> Panes() const;

  const Settings& settings_;
  ShellServices services_;
  const QRect mainRect_;

  Catalogue catalogue_;
  // The synonyms of typed names, read once for the search window and the quiz.
  SynonymList synonyms_;
  std::unique_ptr<StartMeldung> progress_;

  MainMenu menuModel_;
  HistoryMenu history_;
  BookmarkMenu bookmarks_;
  DetachedViews detachedViews_;
  RequestProcessor requests_;
  MainMenuBar* menuBar_ = nullptr;

  RuntimeRandom ownRandom_;
  MainLayout layout_;
  int thumbWidth_ = 0;
  TextView* textView_ = nullptr;
  ImageWindow* image_ = nullptr;
  TextPanel* text_ = nullptr;
  NavigationPanel* navigation_ = nullptr;
  SearchWindow* search_ = nullptr;
  std::array<PictureButton*, MainLayout::kButtonCount> buttons_{};
  std::unique_ptr<TypeButtons> typeButtons_;
  bool panelShown_ = true;

  std::string userName_;
  // The user's learning record, read once the user is known.
  std::unique_ptr<LearningRecordFile> learning_;
  std::unique_ptr<QuizMode> quiz_;  // the image window's quiz; uses learning_
};

}  // namespace ostrelin
