#pragma once
// The image window: the current sectional image below a 20-pixel strip with the zoom bar and the
// check boxes "Übersicht" and "Vollansicht", its own scroll bars, and everything the user does
// with the structures on it: pointing (cursor and the name in the strip), clicking (highlight,
// or the list of overlapping structures), the context menu, the lists of markable structures and
// of the places a structure was found on (image_window_lists.cpp), the full view, the overview and
// the picture to save or copy (image_window_picture.cpp). A mode (image_window_mode.h) may take
// over clicks, keys and part of the painting while it is active.
//
// The decisions live in structures/core (image_window_model.h, highlight_state.h); this class
// translates events into them and paints. It talks to the main window only through the transfer
// buffer and commands: 9060 when the highlighted structure changed, 1276 to go to a structure, 1305
// for the help page.

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "image/core/decode_ahead.h"
#include "image/core/jpg_bild.h"
#include "catalogue/core/cross_reference_list.h"
#include "platform/core/runtime_random.h"
#include "platform/core/wait_cursor.h"
#include "shell/core/atlas_requests.h"
#include "shell/core/transfer_buffer.h"
#include "shell/core/views.h"
#include "structures/core/highlight_state.h"
#include "structures/core/image_window_model.h"
#include "structures/core/object_list.h"
#include "structures/ui/child_frame.h"
#include "structures/ui/image_window_mode.h"
#include "structures/ui/overview_window.h"

class QCheckBox;
class QFont;
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
  void ExpectImage(const std::string& path) override;

  // Installs the mode that may take the window over (null: none); it must outlive the window or
  // be uninstalled first.
  void SetMode(ImageWindowMode* mode) { mode_ = mode; }
  // Outlines `name` and centres it when it is a structure of the image shown; false otherwise.
  bool ShowStructureHere(const std::string& name);
  // Highlights `names` and centres the main one without telling the main window (a mode's
  // question must not name its answer).
  void HighlightQuietly(const std::string& names);
  // Closes the overlap list and forgets the names under the pointer.
  void ClearPointing();
  // Full view; `boxEnabled` false keeps the user from leaving it with "Vollansicht".
  void EnterFullView(bool boxEnabled = true);
  // Moves the window's place in its parent (the main window lays out again once its frame is
  // known); a window in full view keeps covering its parent and returns to the new place.
  void SetNormalRect(const QRect& rect);

  // The window's own commands (check boxes, context menu, lists, overview); the others go to the
  // mode.
  void Command(int id);

  // The program's random numbers, for the modes.
  RuntimeRandom& Random() { return random_; }
  // The cross-reference list "Objekte.LST" read at the start.
  const CrossReferenceList& CrossReferences() const { return crossReferences_; }

  void SetMenuChooser(MenuChooser chooser) { chooseFromMenu_ = std::move(chooser); }
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

  // The whole image at the current zoom with the highlight drawn as shown and, when structures
  // are highlighted, their names on a light band along the bottom edge. Null without an image.
  QImage Picture();
  // "Bild speichern..." (Ctrl+S): asks for a file and writes the picture as PNG or JPEG.
  void SavePicture();
  // "Bild kopieren" (Ctrl+C): the picture to the clipboard.
  void CopyPicture();

  // State, for the main window and the tests.
  const JpgBild* Image() const { return image_.get(); }
  JpgBild* Image() { return image_.get(); }
  const Objektliste* Objects() const { return objects_.get(); }
  bool NormalView() const { return normalView_; }
  Objektliste* Objects() { return objects_.get(); }
  bool ShowAllMode() const { return highlight_.ShowsAll(); }
  bool HighlightActive() const { return highlight_.Active(); }
  const std::string& HighlightText() const { return highlight_.Text(); }
  const std::string& LastHighlightedName() const { return highlight_.LastName(); }
  int HighlightCount() const { return highlight_.PaintedCount(); }
  const std::string& RelatedNames() const { return related_; }
  // The names of the structures under the mouse, shown in the strip ("" when none, while a mode
  // hides them and after the mouse has left the window).
  const std::string& PointedNames() const { return pointed_; }
  const std::string& PageName() const { return pageName_; }
  // What the strip shows: the names under the pointer, or else the active mode's text.
  std::string StripText() const;
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
  // A check box in the strip between `left` and `right` that sends `command` when clicked.
  QCheckBox* MakeCommandBox(const char* text, const char* description, int left, int right,
                            int command);
  void LayoutScrollBars();
  void HighlightImpl(const std::string& names, int displayMode, bool centre, bool closeMarkableList,
                     bool notify);
  void RehighlightAfterMove();
  void PaintHighlight();
  // The mode's part: whether one is active, and what it lets through while it is.
  bool ModeActive() const { return mode_ && mode_->Active(); }
  bool NamesShown() const { return !ModeActive() || mode_->ShowsPointedNames(); }
  bool ClicksBlocked() const { return ModeActive() && !mode_->TakesClicks(); }
  bool ContextMenuAllowed() const { return !ModeActive() || mode_->AllowsContextMenu(); }
  static QFont ListFont(int height);
  void PaintPointed(QPainter& painter);
  void UpdatePointer(const QPoint& at);
  // Writes `names` into the strip (none while a mode hides them or once the mouse has left).
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

  std::string dataPath_;
  QRect normalRect_;
  TransferBuffer& buffer_;
  AtlasRequests requests_;  // what the window asks of the main window
  MessageService& messages_;
  RuntimeRandom& random_;
  WaitCursor* waitCursor_;
  CrossReferenceList crossReferences_;

  std::unique_ptr<JpgBild> image_;
  std::unique_ptr<Objektliste> objects_;
  DecodeAhead decodeAhead_;  // the next image, decoding on the other core

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
  ImageWindowMode* mode_ = nullptr;

  bool normalView_ = true;
  HighlightState highlight_;
  std::string related_;
  std::string pointed_;
  std::vector<std::string> overlapNames_;

  std::string pageName_;
  int imageType_ = -1;
  bool stepAfresh_ = true;  // the next Tab starts at the first structure again

  MenuChooser chooseFromMenu_;
  FileChooser chooseFile_;
};

}  // namespace ostrelin
