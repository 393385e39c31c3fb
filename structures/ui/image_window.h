#pragma once
// The image window: the current sectional image below a 20-pixel strip with the zoom bar and the
// check boxes "Übersicht" and "Vollansicht", its own scroll bars, and everything the user does
// with the structures on it: pointing (cursor and the name in the strip), clicking (highlight,
// or the list of overlapping structures), the context menu, the lists of markable structures and
// of the places a structure was found on, the full view, the overview and the quiz.
//
// The decisions live in structures/core (image_window_model.h, quiz.h); this class translates
// events into them and paints. It talks to the main window only through the transfer buffer and
// commands: 9060 when the highlighted structure changed, 1276 to go to a structure, 1305 for the
// help page.

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "image/core/jpg_bild.h"
#include "navigation/core/cross_reference_list.h"
#include "platform/core/runtime_random.h"
#include "platform/core/wait_cursor.h"
#include "shell/core/transfer_buffer.h"
#include "shell/core/views.h"
#include "structures/core/image_window_model.h"
#include "structures/core/learning_record.h"
#include "structures/core/object_list.h"
#include "structures/core/quiz.h"
#include "structures/ui/child_frame.h"
#include "structures/ui/overview_window.h"
#include "structures/ui/quiz_dialog.h"

class QCheckBox;
class QListWidget;
class QScrollBar;

namespace ostrelin {

class ImageWindow : public QWidget, public ImageView {
  Q_OBJECT

 public:
  // Chooses a context-menu entry: the command of the chosen entry, 0 when none was chosen.
  // `at` is in global coordinates. Tests replace the popup menu with their own choice.
  using MenuChooser = std::function<int(const std::vector<ContextMenuEntry>&, const QPoint& at)>;
  // Asks for the file to save the picture in, offering `suggested` (a file name); an empty
  // result cancels. Tests replace the file dialog with their own answer.
  using FileChooser = std::function<QString(const QString& suggested)>;

  // `dataPath` is the settings' data path (Windows style, ending in a backslash); the cross-
  // reference list "Objekte.LST" is read from it now. `normalRect` is the window's place in its
  // parent; full view covers the parent (or the screen without one). `waitCursor` may be null.
  ImageWindow(QWidget* parent, std::string dataPath, const QRect& normalRect,
              TransferBuffer& buffer, CommandTarget& mainWindow, MessageService& messages,
              RuntimeRandom& random, WaitCursor* waitCursor = nullptr);
  ~ImageWindow() override;

  // ImageView.
  void CloseLists() override;
  void LeaveFullView() override;
  bool LoadImage(const std::string& path, bool allowReduction) override;
  void Highlight(const std::string& names, int displayMode, bool centre,
                 bool closeMarkableList) override;
  void Rehighlight(int displayMode) override;
  void ClearHighlight(bool forget) override;
  void ShowFoundOnList(const std::vector<std::string>& taggedPages) override;
  void ShowsPage(const std::string& pageName, int imageType) override;

  // The quiz of the menu "Abfrage": direction 1 name to structure, 0 structure to name;
  // `alternate` draws the direction anew for every question.
  void StartQuiz(int direction, bool alternate);
  // Outlines `name` and centres it when it is a structure of the image shown; false otherwise.
  bool ShowStructureHere(const std::string& name);
  // "Ganze Serie": the structures of every plane in `planes` (page names) in one run, name to
  // structure. Each plane's page is opened through the main window (command 9034) when its turn
  // comes; planes without structures are passed over.
  void StartSeriesQuiz(std::vector<std::string> planes);
  // Full view without the quiz.
  void EnterFullView();
  // Moves the window's place in its parent (the main window lays out again once its frame is
  // known); a window in full view keeps covering its parent and returns to the new place.
  void SetNormalRect(const QRect& rect);

  // The window's own commands (check boxes, context menu, lists, quiz dialog, overview).
  void Command(int id);

  void SetMenuChooser(MenuChooser chooser) { chooseFromMenu_ = std::move(chooser); }
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

  // The whole image at the current zoom with the highlight drawn as shown and, when structures
  // are highlighted, their names on a light band along the bottom edge. Null without an image.
  QImage Picture();
  // "Bild speichern..." (Ctrl+S): asks for a file and writes the picture as PNG or JPEG.
  void SavePicture();
  // "Bild kopieren" (Ctrl+C): the picture to the clipboard.
  void CopyPicture();

  // The user's learning record: every quiz answer goes into it and it orders the questions
  // (null: no record). `today` dates the answers; the program reads the clock.
  void SetLearningRecord(LearningRecordFile* record, TodayClock today = SystemToday);
  // The synonyms a typed answer may use.
  void SetSynonyms(SynonymPairs synonyms) { synonyms_ = std::move(synonyms); }

  // State, for the main window and the tests.
  const JpgBild* Image() const { return image_.get(); }
  JpgBild* Image() { return image_.get(); }
  const Objektliste* Objects() const { return objects_.get(); }
  bool NormalView() const { return normalView_; }
  bool ShowAllMode() const { return showAll_; }
  bool HighlightActive() const { return highlightActive_; }
  const std::string& HighlightText() const { return highlightText_; }
  const std::string& LastHighlightedName() const { return lastName_; }
  int HighlightCount() const { return highlightCount_; }
  const std::string& RelatedNames() const { return related_; }
  // The names of the structures under the mouse, shown in the strip ("" when none, while a quiz
  // runs and after the mouse has left the window).
  const std::string& PointedNames() const { return pointed_; }
  const std::string& PageName() const { return pageName_; }
  const Quiz& QuizState() const { return quiz_; }
  // After a wrong click, until the next question: "Gewählt: … · Gesucht: …" in the strip, the
  // structures chosen (outlined in red) and the one asked (in green).
  const std::string& ConfusionNote() const { return confusion_; }
  // What the strip shows: the names under the pointer, or while a quiz runs the plane asked in a
  // series and what a wrong answer confused.
  std::string StripText() const;
  const std::vector<int>& ConfusedChosen() const { return confusedChosen_; }
  int ConfusedAsked() const { return confusedAsked_; }
  const QRect& NormalRect() const { return normalRect_; }
  // The image area: the client area without the scroll bars, strip included.
  ClientSize Client() const;

  QScrollBar* ZoomBar() const { return zoomBar_; }
  QScrollBar* HorizontalBar() const { return horizontal_; }
  QScrollBar* VerticalBar() const { return vertical_; }
  QCheckBox* OverviewBox() const { return overviewBox_; }
  QCheckBox* FullViewBox() const { return fullViewBox_; }
  OverviewWindow* Overview() const { return overview_; }
  ChildFrame* OverlapList() const { return overlapList_; }
  ChildFrame* MarkableList() const { return markableList_; }
  ChildFrame* FoundOnList() const { return foundOnList_; }
  QuizDialog* QuizControl() const { return quizDialog_; }
  // The list box inside one of the list windows.
  static QListWidget* ListBoxOf(ChildFrame* frame);

  // The markable-structures list's remembered place (process-wide; empty at first).
  static Rect& RememberedMarkableRect();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  void LayoutScrollBars();
  void HighlightImpl(const std::string& names, int displayMode, bool centre,
                     bool closeMarkableList, bool notify);
  void RehighlightAfterMove();
  // The names the highlight paints: every markable one in show-all mode, else the '&'-parts.
  std::vector<std::string> HighlightedNames() const;
  void PaintHighlight();
  void PaintPointed(QPainter& painter);
  void UpdatePointer(const QPoint& at);
  // Writes `names` into the strip (none during a quiz or once the mouse has left).
  void ShowPointed(std::string names);
  void ClickAt(const QPoint& at);
  // Tab (`forward`) or Shift+Tab: the next structure in name order. False when the focus should
  // move on to the next control instead.
  bool StepStructure(bool forward);
  void EnterOnStructure();
  void EscapeHighlight();
  void UpdateAccessibleText();
  void OpenContextMenu(const QPoint& at);
  int ChooseWithPopup(const std::vector<ContextMenuEntry>& entries, const QPoint& at);

  void ZoomBarAction(int action);
  void PanAction(bool horizontal, int action);
  void Pan(bool horizontal, ScrollAction action, int thumb);

  void OpenOverlapList(const HitList& hits, const QPoint& at);
  void CloseOverlapList();
  void OverlapChosen(const std::string& name);
  void ChooseFromOverlap();
  void OpenMarkableList();
  void CloseMarkableList();
  void SelectInMarkableList(const std::string& name);
  void CloseFoundOnList();
  void ShowAllMarkable();
  void ToggleOverview();
  void CloseOverview();
  void SetFullView();
  QRect FullRect() const;

  void NextQuestion();
  // Opens the series' next plane with structures; false (and the run ended) when none is left.
  bool OpenNextPlane();
  void ShowAnswer();
  void AnswerByClick(const HitList& hits);
  void AnswerTyped();
  void NameShown();
  // Counts the current question's first answer in the score and the learning record.
  void CountAnswer(bool right, const std::string& chosen);
  // Ends the quiz; when it asked anything, a message gives the result after `before`.
  void EndQuizWithResult(const std::string& before);
  // The structures a typed answer may name instead of the one asked.
  std::vector<std::string> AtlasNames() const;
  void ShowScore();
  // Counts the answer and shows its message: right goes on to the next question, wrong asks the
  // question again later. Returns whether it was right.
  bool Answered(const QuizAnswer& answer);
  void ClearConfusion();

  std::string dataPath_;
  QRect normalRect_;
  TransferBuffer& buffer_;
  CommandTarget& mainWindow_;
  MessageService& messages_;
  RuntimeRandom& random_;
  WaitCursor* waitCursor_;
  CrossReferenceList crossReferences_;

  std::unique_ptr<JpgBild> image_;
  std::unique_ptr<Objektliste> objects_;

  QScrollBar* zoomBar_ = nullptr;
  QCheckBox* overviewBox_ = nullptr;
  QCheckBox* fullViewBox_ = nullptr;
  QScrollBar* horizontal_ = nullptr;
  QScrollBar* vertical_ = nullptr;
  QWidget* focusLine_ = nullptr;

  QPointer<ChildFrame> overlapList_;
  QPointer<ChildFrame> markableList_;
  QPointer<ChildFrame> foundOnList_;
  QPointer<OverviewWindow> overview_;
  QPointer<QuizDialog> quizDialog_;

  bool normalView_ = true;
  bool showAll_ = false;
  bool highlightActive_ = false;
  std::string highlightText_;
  int displayMode_ = kDrawOutline;
  std::string lastName_;
  int highlightCount_ = 0;
  std::string lastPainted_;  // the one name painted last, when exactly one was
  std::string related_;
  std::string pointed_;
  std::vector<std::string> overlapNames_;

  std::string pageName_;
  int imageType_ = -1;
  bool stepAfresh_ = true;  // the next Tab starts at the first structure again

  Quiz quiz_;
  LearningRecordFile* record_ = nullptr;
  TodayClock today_ = SystemToday;
  SynonymPairs synonyms_;
  std::string confusion_;
  std::vector<int> confusedChosen_;
  int confusedAsked_ = -1;
  bool openingPlane_ = false;  // a series opens a page: the quiz keeps the full view
  int loads_ = 0;              // images loaded, to see whether opening a plane loaded one
  MenuChooser chooseFromMenu_;
  FileChooser chooseFile_;
};

}  // namespace ostrelin
