#include "structures/ui/image_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <cstdio>
#include <functional>
#include <new>

#include "image/core/zoomed_picture.h"
#include "image/ui/image_painter.h"
#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "platform/ui/focus_frame.h"
#include "platform/ui/qt_rect.h"
#include "platform/ui/list_selection.h"
#include "platform/ui/make_font.h"
#include "platform/ui/program_cursor.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/wait_message.h"
#include "shell/core/commands.h"
#include "structures/core/image_access.h"
#include "structures/core/image_window_texts.h"
#include "structures/ui/child_frame.h"
#include "structures/ui/overview_window.h"
#include "structures/ui/quiz_dialog.h"

namespace ostrelin {
namespace t = image_window_text;
namespace {

// Where the controls sit in the strip (left, right).
constexpr int kZoomBarLeft = 100, kZoomBarRight = 150;
constexpr int kOverviewBoxLeft = 170, kOverviewBoxRight = 270;
constexpr int kFullViewBoxLeft = 275, kFullViewBoxRight = 385;
// The names under the mouse are written into the strip right of the controls.
constexpr int kPointedLeft = 395;
// The band that names the highlighted structure in a saved or copied picture.
constexpr QRgb kNameBandColour = 0xFFF4F4F0;

// A check box the window checks and unchecks itself: a click only reports, it does not toggle.
class CommandBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

ScrollAction ToScrollAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollAction::LineBack;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollAction::LineForward;
    case QAbstractSlider::SliderPageStepSub: return ScrollAction::PageBack;
    case QAbstractSlider::SliderPageStepAdd: return ScrollAction::PageForward;
    case QAbstractSlider::SliderMove: return ScrollAction::Thumb;
    default: return ScrollAction::Other;
  }
}

QFont ListFont(int height) {
  QFont font;
  MakeFont(font, height, false);
  return font;
}

void CloseFrame(QPointer<ChildFrame>& frame) {
  if (!frame) return;
  ChildFrame* closing = frame;
  frame = nullptr;
  closing->hide();
  closing->deleteLater();  // it may be inside one of its own signals right now
}

// A list box filled with `texts` in the given order.
// Long names scroll sideways rather than being cut.
QListWidget* MakeListBox(const std::vector<std::string>& texts, const QFont& font,
                         const QString& name) {
  auto* list = new QListWidget;
  list->setAccessibleName(name);
  list->setAccessibleDescription(ToQString(t::kListDescription));
  list->setFont(font);
  ShowSelectionAlways(*list);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  for (const std::string& text : texts) list->addItem(ToQString(text));
  return list;
}

// Enter and Escape in a list of places: Enter opens the current place, Escape closes the list.
// Neither goes on to the image window, whose Enter would look the places up again and whose
// Escape would clear the highlight.
class PlaceListKeys : public QObject {
 public:
  PlaceListKeys(QObject* parent, std::function<void()> enter, std::function<void()> escape)
      : QObject(parent), enter_(std::move(enter)), escape_(std::move(escape)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter: enter_(); return true;
      case Qt::Key_Escape: escape_(); return true;
      default: return false;
    }
  }

 private:
  std::function<void()> enter_;
  std::function<void()> escape_;
};

}  // namespace

ImageWindow::ImageWindow(QWidget* parent, std::string dataPath, const QRect& normalRect,
                         TransferBuffer& buffer, CommandTarget& mainWindow,
                         MessageService& messages, RuntimeRandom& random, WaitCursor* waitCursor)
    : QWidget(parent),
      dataPath_(std::move(dataPath)),
      normalRect_(normalRect),
      buffer_(buffer),
      mainWindow_(mainWindow),
      messages_(messages),
      random_(random),
      waitCursor_(waitCursor) {
  setObjectName(QStringLiteral("ImageWindow"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  crossReferences_.Load(dataPath_);
  CreateControls();
  setAccessibleName(ToQString(t::kWindowName));
  UpdateAccessibleText();
  setGeometry(normalRect_);
}

ImageWindow::~ImageWindow() {
  if (markableList_) RememberedMarkableRect() = Rect{};
  // The children go with the window; the image they point at must outlive them.
  delete overview_.data();
  delete quizDialog_.data();
}

Rect& ImageWindow::RememberedMarkableRect() {
  static Rect remembered;
  return remembered;
}

QListWidget* ImageWindow::ListBoxOf(ChildFrame* frame) {
  return frame ? qobject_cast<QListWidget*>(frame->Content()) : nullptr;
}

void ImageWindow::CreateControls() {
  zoomBar_ = new QScrollBar(Qt::Horizontal, this);
  zoomBar_->setObjectName(QString::number(image_cmd::kZoomBar));
  zoomBar_->setRange(kFirstZoomPosition, kLastZoomPosition);
  zoomBar_->setSingleStep(1);
  zoomBar_->setPageStep(3);
  zoomBar_->setValue(kInitialZoomPosition);
  zoomBar_->setGeometry(kZoomBarLeft, 0, kZoomBarRight - kZoomBarLeft, kStripHeight);
  zoomBar_->setFocusPolicy(Qt::NoFocus);
  zoomBar_->setAccessibleName(ToQString(t::kZoomBarName));
  zoomBar_->setAccessibleDescription(ToQString(t::kZoomBarDescription));
  connect(zoomBar_, &QScrollBar::actionTriggered, this, &ImageWindow::ZoomBarAction);

  overviewBox_ = new CommandBox(ToQString(t::kOverviewBox), this);
  overviewBox_->setTristate(true);
  overviewBox_->setGeometry(kOverviewBoxLeft, 0, kOverviewBoxRight - kOverviewBoxLeft,
                            kStripHeight);
  overviewBox_->setFocusPolicy(Qt::NoFocus);
  overviewBox_->setAccessibleName(ToQString(t::kOverviewBox));
  overviewBox_->setAccessibleDescription(ToQString(t::kOverviewBoxDescription));
  connect(overviewBox_, &QCheckBox::clicked, this,
          [this] { Command(image_cmd::kToggleOverview); });

  fullViewBox_ = new CommandBox(ToQString(t::kFullViewBox), this);
  fullViewBox_->setTristate(true);
  fullViewBox_->setGeometry(kFullViewBoxLeft, 0, kFullViewBoxRight - kFullViewBoxLeft,
                            kStripHeight);
  fullViewBox_->setFocusPolicy(Qt::NoFocus);
  fullViewBox_->setAccessibleName(ToQString(t::kFullViewBox));
  fullViewBox_->setAccessibleDescription(ToQString(t::kFullViewBoxDescription));
  connect(fullViewBox_, &QCheckBox::clicked, this,
          [this] { Command(image_cmd::kToggleFullView); });

  horizontal_ = new QScrollBar(Qt::Horizontal, this);
  vertical_ = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {horizontal_, vertical_}) {
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setRange(0, 0);
    bar->hide();
  }
  connect(horizontal_, &QScrollBar::actionTriggered, this,
          [this](int action) { PanAction(true, action); });
  connect(vertical_, &QScrollBar::actionTriggered, this,
          [this](int action) { PanAction(false, action); });
  focusLine_ = new FocusLine(*this);  // made last, so it lies above the strip's controls
}

ClientSize ImageWindow::Client() const {
  const int barWidth = vertical_->sizeHint().width();
  const int barHeight = horizontal_->sizeHint().height();
  return ClientSize{std::max(0, width() - barWidth), std::max(0, height() - barHeight)};
}

void ImageWindow::LayoutScrollBars() {
  const ClientSize client = Client();
  horizontal_->setGeometry(0, client.height, client.width, height() - client.height);
  vertical_->setGeometry(client.width, 0, width() - client.width, client.height);
  // The focus shows as a line along the bottom of the strip, above its controls: a frame round
  // the window would cover the zoom text and the image's edge pixels.
  focusLine_->setGeometry(0, kStripHeight - kFocusFrameWidth, client.width, kFocusFrameWidth);
}

void ImageWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutScrollBars();
  if (image_) image_->SetClientSize(Client());
}

void ImageWindow::closeEvent(QCloseEvent* event) {
  // The window lives as long as the program: closing it means closing the main window.
  if (parentWidget()) {
    event->ignore();
    parentWidget()->close();
    return;
  }
  QWidget::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Loading

bool ImageWindow::LoadImage(const std::string& path, bool allowReduction) {
  if (waitCursor_) (*waitCursor_)(true);
  struct CursorOff {
    WaitCursor* cursor;
    ~CursorOff() {
      if (cursor) (*cursor)(false);
    }
  } cursorOff{waitCursor_};

  CloseOverlapList();
  CloseMarkableList();
  showAll_ = false;

  const std::string full = dataPath_ + path;
  if (std::FILE* probe = OpenForReading(full)) {
    std::fclose(probe);
  } else {
    messages_.Show(std::string(t::kFileNotFound) + full, MessageButtons::Ok,
                   MessageIcon::Exclamation);
    return false;
  }

  CloseOverview();
  objects_.reset();
  image_.reset();
  // The questions left name structures of the previous image.
  quiz_.ResetQuestions();
  ClearConfusion();
  highlightCount_ = 0;
  pointed_.clear();

  auto image = std::make_unique<JpgBild>(full, Client(), messages_);
  if (image->Failed()) {
    update();
    return false;
  }
  image_ = std::move(image);
  try {
    objects_ = std::make_unique<Objektliste>(*image_, full, messages_);
  } catch (const std::bad_alloc&) {
    objects_.reset();
    messages_.Show(t::kNoObjectList, MessageButtons::Ok, MessageIcon::Exclamation);
    update();
    return false;
  }

  ++loads_;
  ClearHighlight(false);
  int position = kInitialZoomPosition;
  if (allowReduction && normalRect_.width() < image_->Width()) position = 5;
  zoomBar_->setValue(position);
  const ImagePoint centre = image_->Centre();
  image_->SetZoom(ZoomOfPosition(position), centre.column, centre.row, false);
  update();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Highlighting

void ImageWindow::Highlight(const std::string& names, int displayMode, bool centre,
                            bool closeMarkableList) {
  HighlightImpl(names, displayMode, centre, closeMarkableList, true);
}

void ImageWindow::HighlightImpl(const std::string& names, int displayMode, bool centre,
                                bool closeMarkableList, bool notify) {
  CloseOverlapList();
  if (closeMarkableList) CloseMarkableList();
  showAll_ = false;
  SelectInMarkableList(names);

  lastName_ = names;
  highlightText_ = names;
  displayMode_ = displayMode;
  highlightActive_ = true;
  if (image_) image_->SetHighlightStatus(names);

  const std::string main = MainName(names);
  // An empty name never highlights: it would find the unnamed entry of an image without outlines.
  const int index = objects_ && !main.empty() ? objects_->FindByName(main) : -1;
  if (index < 0) {
    ClearHighlight(false);
    return;
  }
  objects_->SetCurrentStructure(index);
  const Objekt& structure = objects_->At(index);
  if (centre && structure.outline) {
    image_->SetZoom(image_->Zoom(), structure.outline->CentreColumn(),
                    structure.outline->CentreRow(), false);
  }
  update();

  if (names.find('&') != std::string::npos) {
    image_->SetHighlightStatus(t::kSeveralHighlighted);
  } else if (notify) {
    SendRequest(buffer_, mainWindow_, cmd::kStructureHighlighted, names);
  }
  UpdateAccessibleText();
}

// Even without a last name: highlighting leaves show-all mode, and an empty name clears.
void ImageWindow::Rehighlight(int displayMode) {
  Highlight(std::string(lastName_), displayMode, true, false);
}

void ImageWindow::RehighlightAfterMove() {
  Highlight(std::string(lastName_), kDrawOutline, false, false);
}

void ImageWindow::ClearHighlight(bool forget) {
  highlightText_.clear();
  if (forget) lastName_.clear();
  CloseOverlapList();
  showAll_ = false;
  highlightActive_ = false;
  if (image_) image_->SetHighlightStatus(t::kNoHighlight);
  update();
  SendRequest(buffer_, mainWindow_, cmd::kStructureHighlighted, "");
  UpdateAccessibleText();
}

std::vector<std::string> ImageWindow::HighlightedNames() const {
  if (!objects_) return {};
  if (showAll_) return MarkableNames(*objects_);
  if (highlightActive_) return SplitNames(highlightText_);
  return {};
}

void ImageWindow::PaintHighlight() {
  highlightCount_ = 0;
  lastPainted_.clear();
  if (!objects_) return;
  for (const std::string& name : HighlightedNames()) {
    if (name.empty()) continue;
    if (objects_->DrawByName(name, displayMode_)) {
      ++highlightCount_;
      lastPainted_ = name;
    }
  }
  for (int chosen : confusedChosen_) objects_->Draw(chosen, kDrawOutline, kConfusionRed);
  objects_->Draw(confusedAsked_, kDrawOutline, kHighlightGreen);
}

// ---------------------------------------------------------------------------------------------
// Painting

void ImageWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const ClientSize client = Client();
  if (!image_) {
    highlightCount_ = 0;
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(QRect(0, 0, client.width - 1, client.height - 1));
    PaintPointed(painter);
    return;
  }
  image_->SetClientSize(client);
  const ImagePoint centre = image_->Centre();
  image_->SetZoom(image_->Zoom(), centre.column, centre.row, true);
  PaintHighlight();
  // Whatever the zoomed bitmap leaves uncovered (right of it, the corner by the bars) is grey.
  painter.fillRect(rect(), QColor::fromRgb(kStripGrey));
  PaintJpgBild(painter, *image_);
  ApplyScrollBars(image_->ScrollBars(), *horizontal_, *vertical_);
  PaintPointed(painter);
}

std::string ImageWindow::StripText() const {
  return pointed_.empty() ? QuizStripText(quiz_, confusion_) : pointed_;
}

void ImageWindow::PaintPointed(QPainter& painter) {
  QRect area(kPointedLeft, 0, std::max(0, Client().width - kPointedLeft), kStripHeight);
  painter.fillRect(area, QColor::fromRgb(kStripGrey));
  // The name stands clear of the focus line along the strip's bottom edge.
  area.setHeight(kStripHeight - kFocusFrameWidth);
  const std::string text = StripText();
  if (text.empty()) return;
  painter.setPen(Qt::black);
  painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ToQString(text));
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

void ImageWindow::UpdatePointer(const QPoint& at) {
  std::string pointed;
  if (at.y() < kStripHeight || !image_) {
    setCursor(Qt::ArrowCursor);
  } else {
    const ImagePoint pixel = image_->WindowPointToPixel(at.x() - image_->HorizontalMargin(),
                                                        at.y() + image_->VerticalMargin());
    const int hits = objects_ ? objects_->HitTest(pixel.column, pixel.row).size() : 0;
    if (hits == 0) {
      setCursor(Qt::ForbiddenCursor);
    } else {
      setCursor(ProgramCursor(hits == 1 ? cursor_id::kOneStructure
                                        : cursor_id::kSeveralStructures));
      if (!quiz_.Running()) {  // during a quiz the names would give the answers away
        for (int index : objects_->Hits()) {
          if (!pointed.empty()) pointed += " / ";
          pointed += objects_->At(index).Name();
        }
      }
    }
    if (overview_) overview_->Mark(pixel);
  }
  ShowPointed(std::move(pointed));
}

void ImageWindow::ShowPointed(std::string names) {
  if (names == pointed_) return;
  pointed_ = std::move(names);
  update(QRect(kPointedLeft, 0, width(), kStripHeight));
}

void ImageWindow::leaveEvent(QEvent* event) {
  ShowPointed({});
  QWidget::leaveEvent(event);
}

void ImageWindow::mouseMoveEvent(QMouseEvent* event) {
  UpdatePointer(event->position().toPoint());
}

void ImageWindow::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    if (quiz_.Running() && !quiz_.AcceptsClicks()) return;
    ClickAt(at);
    UpdatePointer(at);
  } else if (event->button() == Qt::RightButton) {
    if (quiz_.Running()) return;
    OpenContextMenu(at);
  }
}

void ImageWindow::ClickAt(const QPoint& at) {
  stepAfresh_ = false;  // Tab goes on from what the click highlights
  CloseOverlapList();
  showAll_ = false;
  if (at.y() < kStripHeight || !image_ || !objects_) return;
  const ImagePoint pixel = image_->WindowPointToPixel(at.x() - image_->HorizontalMargin(),
                                                      at.y() + image_->VerticalMargin());
  const HitList hits = objects_->HitTest(pixel.column, pixel.row);
  if (hits.empty()) {
    ClearHighlight(true);
  } else if (hits.size() == 1) {
    objects_->SetCurrentStructure(hits[0]);
    Highlight(std::string(objects_->At(hits[0]).Name()), kDrawOutline, false, false);
    if (quiz_.Running()) AnswerByClick(hits);
  } else if (quiz_.Running()) {
    AnswerByClick(hits);
  } else {
    OpenOverlapList(hits, at);
  }
}

bool ImageWindow::event(QEvent* event) {
  // Tab and Shift+Tab step through the structures before they would move the focus on.
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
      const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
      if (StepStructure(forward)) return true;
    }
  }
  return QWidget::event(event);
}

void ImageWindow::focusInEvent(QFocusEvent* event) {
  // Arriving by Tab or Shift+Tab starts the stepping at the first or the last structure.
  if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
    stepAfresh_ = true;
  }
  update();
  QWidget::focusInEvent(event);
}

void ImageWindow::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

bool ImageWindow::StepStructure(bool forward) {
  // During a quiz the keys only step where a click would answer, and never name.
  if (quiz_.Running() && !quiz_.AcceptsClicks()) return true;
  const std::vector<std::string> order =
      image_ && objects_ ? StepOrder(*objects_) : std::vector<std::string>{};
  const std::string current =
      stepAfresh_ || !highlightActive_ ? std::string() : MainName(highlightText_);
  int next = StepFrom(order, current, forward);
  if (next < 0) {
    // Past the last structure the focus moves on; in full view nothing else is to be seen, so
    // the stepping wraps round.
    if (normalView_ || order.empty()) {
      stepAfresh_ = true;
      return order.empty() && !normalView_;
    }
    next = forward ? 0 : int(order.size()) - 1;
  }
  stepAfresh_ = false;
  const std::string& name = order[size_t(next)];
  CloseOverlapList();
  if (quiz_.Running()) {
    HighlightImpl(name, kDrawOutline, true, false, false);
  } else {
    Highlight(name, kDrawOutline, true, false);
    ShowPointed(name);
  }
  return true;
}

void ImageWindow::EnterOnStructure() {
  if (!image_ || !objects_ || !highlightActive_) return;
  if (quiz_.Running()) {
    // The stepped-to structure answers as a click on it would.
    if (!quiz_.AcceptsClicks()) return;
    const int index = objects_->FindByName(MainName(highlightText_));
    if (index < 0) return;
    HitList hit;
    hit.Append(index);
    Highlight(std::string(objects_->At(index).Name()), kDrawOutline, false, false);
    AnswerByClick(hit);
    return;
  }
  // As the context menu's first entry: the places the structure is shown on.
  Command(image_cmd::kGoToHighlighted);
}

void ImageWindow::EscapeHighlight() {
  if (quiz_.Running() && !quiz_.AcceptsClicks()) return;
  CloseOverlapList();
  ShowPointed({});
  ClearHighlight(true);
}

void ImageWindow::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Save)) {
    if (!quiz_.Running()) Command(image_cmd::kSavePicture);
    event->accept();
    return;
  }
  if (event->matches(QKeySequence::Copy)) {
    if (!quiz_.Running()) Command(image_cmd::kCopyPicture);
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: EnterOnStructure(); break;
    case Qt::Key_Escape: EscapeHighlight(); break;
    case Qt::Key_PageUp: Pan(false, ScrollAction::PageBack, 0); break;
    case Qt::Key_PageDown: Pan(false, ScrollAction::PageForward, 0); break;
    case Qt::Key_Up: Pan(false, ScrollAction::LineBack, 0); break;
    case Qt::Key_Down: Pan(false, ScrollAction::LineForward, 0); break;
    case Qt::Key_Left: Pan(true, ScrollAction::LineBack, 0); break;
    case Qt::Key_Right: Pan(true, ScrollAction::LineForward, 0); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

// ---------------------------------------------------------------------------------------------
// Zoom and panning

void ImageWindow::ZoomBarAction(int action) {
  if (!image_) {
    zoomBar_->setSliderPosition(zoomBar_->value());
    return;
  }
  const int position = PositionOfZoom(image_->Zoom());
  const int next = ZoomBarStep(position, ToScrollAction(action), zoomBar_->sliderPosition());
  zoomBar_->setSliderPosition(next);
  if (next == position) return;
  const ImagePoint centre = image_->Centre();
  image_->SetZoom(ZoomOfPosition(next), centre.column, centre.row, false);
  update();
  RehighlightAfterMove();
}

void ImageWindow::PanAction(bool horizontal, int action) {
  QScrollBar* bar = horizontal ? horizontal_ : vertical_;
  Pan(horizontal, ToScrollAction(action), bar->sliderPosition());
  if (image_) {
    bar->setSliderPosition(std::abs(horizontal ? image_->HorizontalOffset()
                                               : image_->VerticalOffset()));
  }
}

void ImageWindow::Pan(bool horizontal, ScrollAction action, int thumb) {
  if (!image_) return;
  if (horizontal) {
    const int old = image_->HorizontalOffset();
    const int smallest = Client().width - int(float(image_->Width()) * image_->Zoom());
    const int next = PanOffset(old, action, thumb, smallest);
    if (next == old) return;
    image_->SetHorizontalOffset(next);
  } else {
    const int old = image_->VerticalOffset();
    const int next = PanOffset(old, action, thumb, image_->SmallestVerticalOffset());
    if (next == old) return;
    image_->SetVerticalOffset(next);
  }
  update();
  RehighlightAfterMove();
}

// ---------------------------------------------------------------------------------------------
// Commands

void ImageWindow::Command(int id) {
  switch (id) {
    case image_cmd::kToggleOverview: ToggleOverview(); return;
    case image_cmd::kToggleFullView:
      Command(fullViewBox_->checkState() == Qt::Checked ? image_cmd::kNormalView
                                                         : image_cmd::kFullView);
      return;
    case image_cmd::kCloseOverview: CloseOverview(); return;
    case image_cmd::kOverlapChoice: {
      const std::string name = buffer_.name;
      ClearHighlight(false);  // the buffer is still busy: nothing goes to the main window yet
      buffer_.Release();
      // The main window follows a choice in the overlap list like any other click.
      Highlight(name, kDrawOutline, false, false);
      return;
    }
    case image_cmd::kGoToHighlighted:
      if (image_) SendRequest(buffer_, mainWindow_, cmd::kGoToPlace, image_->HighlightStatus());
      return;
    case image_cmd::kFullView: EnterFullView(); return;
    case image_cmd::kNormalView:
      if (!normalView_) LeaveFullView();
      if (parentWidget()) parentWidget()->update();
      return;
    case image_cmd::kHelp: mainWindow_.SendCommand(cmd::kContextHelp); return;
    case image_cmd::kListMarkable: OpenMarkableList(); return;
    case image_cmd::kShowMarkable: ShowAllMarkable(); return;
    case image_cmd::kSavePicture: SavePicture(); return;
    case image_cmd::kCopyPicture: CopyPicture(); return;
    case image_cmd::kNextQuestion: NextQuestion(); return;
    case image_cmd::kShowAnswer: ShowAnswer(); return;
    case image_cmd::kNameShown: NameShown(); return;
    case image_cmd::kTypedAnswer: AnswerTyped(); return;
    default:
      if (id >= image_cmd::kFirstRelated && id <= image_cmd::kLastRelated) {
        const std::string name = RelatedNameOf(related_, id);
        if (!name.empty()) SendRequest(buffer_, mainWindow_, cmd::kGoToPlace, name);
      }
      return;
  }
}

void ImageWindow::OpenContextMenu(const QPoint& at) {
  ContextMenuState state;
  state.paintedCount = highlightCount_;
  state.highlightStatus = image_ ? image_->HighlightStatus() : std::string(t::kNoHighlight);
  if (highlightCount_ == 1) crossReferences_.Lookup(lastPainted_, related_);
  state.relatedNames = related_;
  state.normalView = normalView_;
  state.markableStructures = image_ && objects_ && HasMarkableStructures(*objects_);
  state.imageLoaded = image_ != nullptr;
  const std::vector<ContextMenuEntry> entries = BuildContextMenu(state);
  const QPoint global = mapToGlobal(at);
  const int chosen = chooseFromMenu_ ? chooseFromMenu_(entries, global)
                                     : ChooseWithPopup(entries, global);
  if (chosen != 0) Command(chosen);
}

int ImageWindow::ChooseWithPopup(const std::vector<ContextMenuEntry>& entries, const QPoint& at) {
  QMenu menu(this);
  for (const ContextMenuEntry& entry : entries) {
    if (entry.command == 0) {
      menu.addSeparator();
    } else {
      // '&' in a structure name is a letter here, not a mnemonic.
      QAction* action = menu.addAction(ToQString(entry.text).replace('&', QStringLiteral("&&")));
      action->setData(entry.command);
    }
  }
  const QAction* chosen = menu.exec(at);
  return chosen ? chosen->data().toInt() : 0;
}

// ---------------------------------------------------------------------------------------------
// Full view

QRect ImageWindow::FullRect() const {
  if (parentWidget()) return parentWidget()->rect();
  const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
  return screen ? screen->geometry() : normalRect_;
}

void ImageWindow::SetFullView() {
  normalView_ = false;
  setGeometry(FullRect());
  raise();
  fullViewBox_->setCheckState(Qt::Checked);
}

void ImageWindow::SetNormalRect(const QRect& rect) {
  normalRect_ = rect;
  setGeometry(normalView_ ? normalRect_ : FullRect());
}

void ImageWindow::EnterFullView() {
  SetFullView();
  fullViewBox_->setEnabled(true);
}

void ImageWindow::LeaveFullView() {
  if (openingPlane_) return;  // the page of a series' plane opens inside the running quiz
  EndQuizWithResult({});
  ClearConfusion();
  if (quizDialog_) {
    QuizDialog* dialog = quizDialog_;
    quizDialog_ = nullptr;
    dialog->hide();
    dialog->deleteLater();
  }
  normalView_ = true;
  fullViewBox_->setEnabled(true);
  fullViewBox_->setCheckState(Qt::Unchecked);
  setGeometry(normalRect_);
  UpdateAccessibleText();  // the quiz is over
  if (markableList_) {
    const QRect g = markableList_->geometry();
    const ClientSize client = Client();
    const Rect kept = KeepMarkableListInside(FromQRect(g), client.width, client.height);
    markableList_->setGeometry(ToQRect(kept));
  }
}

// ---------------------------------------------------------------------------------------------
// The list windows

void ImageWindow::CloseLists() {
  CloseMarkableList();
  CloseFoundOnList();
}

void ImageWindow::OpenOverlapList(const HitList& hits, const QPoint& at) {
  CloseOverlapList();
  overlapNames_.clear();
  for (int index : hits) overlapNames_.emplace_back(objects_->At(index).Name());
  auto* frame = new ChildFrame(this, ToQString(t::kOverlapCaption), false);
  frame->setObjectName(QString::number(image_cmd::kOverlapList));
  QListWidget* list = MakeListBox(overlapNames_, ListFont(15), frame->Caption());
  frame->SetContent(list);
  const ClientSize client = Client();
  const Rect r = OverlapListRect(at.x(), at.y(), client.width, client.height);
  frame->setGeometry(ToQRect(r));
  connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0 || size_t(row) >= overlapNames_.size()) return;
    OverlapChosen(overlapNames_[size_t(row)]);
  });
  frame->show();
  frame->raise();
  overlapList_ = frame;
}

void ImageWindow::OverlapChosen(const std::string& name) {
  // The list takes its selected name and hands it over like any request; after a choice it also
  // sends what the overview's close box sends, which puts the overview away and unchecks its box.
  if (buffer_.Take(name)) Command(image_cmd::kOverlapChoice);
  Command(image_cmd::kCloseOverview);
  CloseOverlapList();
}

void ImageWindow::CloseOverlapList() { CloseFrame(overlapList_); }

void ImageWindow::OpenMarkableList() {
  if (!image_ || !objects_) return;
  std::vector<std::string> names = MarkableNames(*objects_);
  if (names.empty()) return;  // an empty list is closed again at once
  SortForListBox(names);
  CloseMarkableList();
  Rect& remembered = RememberedMarkableRect();
  if (remembered.Empty()) remembered = kFirstMarkableListRect;
  const ClientSize client = Client();
  const Rect r = KeepMarkableListInside(remembered, client.width, client.height);

  auto* frame = new ChildFrame(this, ToQString(t::kMarkableCaption), true);
  frame->setObjectName(QString::number(image_cmd::kMarkableList));
  QListWidget* list = MakeListBox(names, ListFont(14), frame->Caption());
  frame->SetContent(list);
  frame->setGeometry(ToQRect(r));
  frame->SetCloseHandler([this] { CloseMarkableList(); });
  frame->SetGeometryHandler([this, frame] {
    const QRect g = frame->geometry();
    RememberedMarkableRect() = FromQRect(g);
  });
  connect(list, &QListWidget::currentTextChanged, this, [this](const QString& text) {
    if (!text.isEmpty()) Highlight(FromQString(text), kDrawOutline, true, false);
  });
  markableList_ = frame;
  SelectInMarkableList(lastName_);
  frame->show();
  frame->raise();
}

void ImageWindow::SelectInMarkableList(const std::string& name) {
  QListWidget* list = ListBoxOf(markableList_);
  if (!list) return;
  const QSignalBlocker quiet(list);
  const QList<QListWidgetItem*> found = list->findItems(ToQString(name), Qt::MatchExactly);
  if (found.isEmpty()) {
    list->setCurrentRow(-1);
    list->clearSelection();
  } else {
    list->setCurrentItem(found.front());
    list->scrollToItem(found.front());
  }
}

void ImageWindow::CloseMarkableList() { CloseFrame(markableList_); }

void ImageWindow::ShowFoundOnList(const std::vector<std::string>& taggedPages) {
  CloseFoundOnList();
  std::vector<std::string> texts = taggedPages;
  SortForListBox(texts);
  auto* frame =
      new ChildFrame(this, ToQString(buffer_.structureToSelect + t::kFoundOnSuffix), false);
  frame->setObjectName(QString::number(image_cmd::kFoundOnList));
  QListWidget* list = MakeListBox(texts, ListFont(14), frame->Caption());
  frame->SetContent(list);
  const Rect r = kFoundOnListRect;
  frame->setGeometry(ToQRect(r));
  frame->SetCloseHandler([this] { CloseFoundOnList(); });
  // A place opens by a click on it or by Enter; moving through the list with the arrow keys, or
  // arriving in it by Tab, only makes a place current.
  const auto open = [this](const QString& text) {
    if (text.isEmpty() || !foundOnList_) return;
    const std::string chosen = FromQString(text);
    Highlight(chosen, kDrawOutline, true, false);
    CloseFoundOnList();
    SendRequest(buffer_, mainWindow_, cmd::kGoToPlace, chosen);
  };
  connect(list, &QListWidget::itemClicked, this,
          [open](QListWidgetItem* item) { open(item->text()); });
  list->installEventFilter(new PlaceListKeys(
      list, [list, open] { if (list->currentItem()) open(list->currentItem()->text()); },
      [this] { CloseFoundOnList(); }));
  frame->show();
  frame->raise();
  foundOnList_ = frame;
  // The keyboard goes to the list at once: Up and Down move in it, Enter opens, Escape closes.
  if (list->count() > 0) list->setCurrentRow(0);
  list->setFocus(Qt::OtherFocusReason);
}

void ImageWindow::CloseFoundOnList() {
  // The keyboard comes back to the image the list was opened over.
  if (foundOnList_ && foundOnList_->isAncestorOf(QApplication::focusWidget())) {
    setFocus(Qt::OtherFocusReason);
  }
  CloseFrame(foundOnList_);
}

void ImageWindow::ShowAllMarkable() {
  WaitMessage(true, this);
  if (image_ && objects_) {
    showAll_ = true;
    displayMode_ = kDrawOutline;
    update();
    image_->SetHighlightStatus(t::kSeveralHighlighted);
  }
  WaitMessage(false, this);
}

// ---------------------------------------------------------------------------------------------
// Overview

void ImageWindow::ToggleOverview() {
  if (!image_) return;
  if (overview_) {
    CloseOverview();
    return;
  }
  OverviewWindow* overview = nullptr;
  try {
    overview = new OverviewWindow(this, *image_, [this] { update(); },
                                  [this] { Command(image_cmd::kCloseOverview); });
  } catch (const std::bad_alloc&) {
    messages_.Show(t::kNoOverviewMemory, MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  overview->show();
  overview->raise();
  overview_ = overview;
  overviewBox_->setCheckState(Qt::Checked);
}

void ImageWindow::CloseOverview() {
  overviewBox_->setCheckState(Qt::Unchecked);
  if (!overview_) return;
  OverviewWindow* closing = overview_;
  overview_ = nullptr;
  closing->hide();
  closing->deleteLater();
}

// ---------------------------------------------------------------------------------------------
// Quiz

void ImageWindow::StartQuiz(int direction, bool alternate) {
  if (!image_ || !objects_ || !HasMarkableStructures(*objects_)) {
    messages_.Show(t::kNoStructures, MessageButtons::Ok, MessageIcon::Information);
    return;
  }
  CloseOverlapList();
  ShowPointed({});
  quiz_.Start(direction, alternate);
  SetFullView();
  NextQuestion();
  fullViewBox_->setCheckState(Qt::Checked);
  fullViewBox_->setEnabled(false);
}

void ImageWindow::StartSeriesQuiz(std::vector<std::string> planes) {
  CloseOverlapList();
  ShowPointed({});
  quiz_.StartSeries(std::move(planes));
  SetFullView();
  fullViewBox_->setCheckState(Qt::Checked);
  fullViewBox_->setEnabled(false);
  if (!OpenNextPlane()) return;
  NextQuestion();
}

bool ImageWindow::OpenNextPlane() {
  const bool first = quiz_.PlaneIndex() < 0;
  for (std::string plane = quiz_.NextPlane(); !plane.empty(); plane = quiz_.NextPlane()) {
    const int before = loads_;
    openingPlane_ = true;
    // A page request as from a link, not the panel's own: the panel follows and marks the plane.
    SendRequest(buffer_, mainWindow_, cmd::kGoToPlace, plane);
    openingPlane_ = false;
    if (loads_ != before && objects_ && HasMarkableStructures(*objects_)) return true;
  }
  // Through (or nothing to ask at all): the run ends.
  if (first) {
    messages_.Show(t::kNoStructures, MessageButtons::Ok, MessageIcon::Information);
    quiz_.Stop();
  } else {
    EndQuizWithResult(t::kSeriesDone);
  }
  Command(image_cmd::kNormalView);
  return false;
}

void ImageWindow::NextQuestion() {
  if (!quiz_.Running()) return;
  quiz_.Pass();  // an unanswered question is passed over
  if (quiz_.PlaneDone() && !OpenNextPlane()) return;
  if (quiz_.Through()) {  // every question of the run is answered: the result, and the end
    EndQuizWithResult({});
    Command(image_cmd::kNormalView);
    return;
  }
  if (!objects_) return;
  const QCursor before = cursor();
  setCursor(Qt::ArrowCursor);
  ClearHighlight(true);
  ClearConfusion();
  const QuizQuestion question =
      quiz_.Next(*objects_, random_, record_ ? &record_->Record() : nullptr, today_());
  if (!quizDialog_) {
    quizDialog_ = new QuizDialog(this, [this](int id) { Command(id); });
    // Just below the strip, wherever the window's parent sits on the screen.
    quizDialog_->move(mapToGlobal(QPoint(0, kStripHeight)));
    quizDialog_->show();
  }
  quizDialog_->SetCaption(question.nameToStructure ? t::kWhereIs : t::kNameIt);
  if (!question.name.empty()) {
    if (question.nameToStructure) {
      quizDialog_->AskForStructure(question.name);
    } else {
      HighlightImpl(question.name, kDrawOutline, true, false, false);
      quizDialog_->AskForName(question.name);
    }
  }
  ShowScore();
  setCursor(before);
}

void ImageWindow::ShowAnswer() {
  if (quiz_.TargetName().empty()) return;
  quiz_.SetAnswerShown();
  CountAnswer(false, {});
  quiz_.Requeue();  // shown is not known: asked once more before the run is through
  ShowScore();
  Highlight(quiz_.TargetName(), kDrawOutline, true, false);
}

void ImageWindow::NameShown() {
  if (!quiz_.Running() || quiz_.ShownName().empty()) return;
  quiz_.SetAnswerShown();
  CountAnswer(false, {});
  quiz_.Requeue();  // shown is not known: asked once more before the run is through
  ShowScore();
}

void ImageWindow::AnswerTyped() {
  if (!quiz_.Running() || !quizDialog_ || quiz_.NameToStructure() || quiz_.AnswerShown()) return;
  const std::string typed = FromQString(quizDialog_->AnswerField()->text());
  if (Trimmed(typed).empty()) return;  // nothing typed is no answer
  const QuizAnswer answer = quiz_.JudgeTyped(typed, synonyms_, AtlasNames());
  if (!answer.right) {
    // As after a wrong click: the strip names what was typed and what was asked, the structure
    // asked is outlined green and, when the typed name is another structure here, that one red.
    confusedChosen_.clear();
    if (!answer.confusedWith.empty() && objects_) {
      const int other = objects_->FindByName(answer.confusedWith);
      if (other >= 0) confusedChosen_.push_back(other);
    }
    confusedAsked_ = quiz_.Current();
    confusion_ = ConfusionText(answer.chosenText, quiz_.ShownName());
    update();
  }
  Answered(answer);
}

bool ImageWindow::ShowStructureHere(const std::string& name) {
  if (!image_ || !objects_ || name.empty() || objects_->FindByName(name) < 0) return false;
  Highlight(name, kDrawOutline, true, true);
  return true;
}

std::vector<std::string> ImageWindow::AtlasNames() const {
  std::vector<std::string> names;
  if (objects_) {
    for (int i = 0; i < objects_->Count(); ++i) names.emplace_back(objects_->At(i).Name());
  }
  for (const auto& [synonym, atlasName] : synonyms_) names.push_back(atlasName);
  for (size_t i = 0; i < crossReferences_.Count(); ++i) names.push_back(crossReferences_.KeyAt(i));
  return names;
}

void ImageWindow::SetLearningRecord(LearningRecordFile* record, TodayClock today) {
  record_ = record;
  today_ = today ? std::move(today) : TodayClock(SystemToday);
}

void ImageWindow::CountAnswer(bool right, const std::string& chosen) {
  const int asked = quiz_.Current();
  if (!(quiz_.AnswerShown() && !right ? quiz_.ScoreShown() : quiz_.Score(right))) return;
  if (record_ && objects_ && asked >= 0 && asked < objects_->Count()) {
    record_->Record().Answer(objects_->At(asked).Name(), right, today_(), chosen);
    record_->Save();  // a failure is told once per run; the quiz goes on
  }
  ShowScore();
}

void ImageWindow::EndQuizWithResult(const std::string& before) {
  const bool tell = quiz_.Running() && quiz_.AskedCount() > 0;
  quiz_.Stop();
  if (tell) {
    messages_.Show(before + ResultText(quiz_), MessageButtons::Ok, MessageIcon::Information);
  }
}

void ImageWindow::ShowScore() {
  if (quizDialog_) quizDialog_->SetScore(ScoreText(quiz_));
}

bool ImageWindow::Answered(const QuizAnswer& answer) {
  CountAnswer(answer.right, answer.confusedWith);
  if (answer.right) {
    std::string text = t::kRight;
    if (answer.misspelt) text += "\n" + FillIn(t::kRightSpelling, {quiz_.ShownName()});
    messages_.Show(text, MessageButtons::Ok, MessageIcon::Information);
    Command(image_cmd::kNextQuestion);
    return true;
  }
  // Asked once more later: the score line shows so while the message is up.
  quiz_.Requeue();
  ShowScore();
  messages_.Show(FillIn(t::kWrong, {answer.chosenText}), MessageButtons::Ok,
                 MessageIcon::Information);
  return false;
}

void ImageWindow::ClearConfusion() {
  if (confusion_.empty() && confusedChosen_.empty() && confusedAsked_ < 0) return;
  confusion_.clear();
  confusedChosen_.clear();
  confusedAsked_ = -1;
  update();
}

void ImageWindow::AnswerByClick(const HitList& hits) {
  const QuizAnswer answer = quiz_.Judge(hits, *objects_);
  if (answer.structure >= 0) objects_->SetCurrentStructure(answer.structure);
  if (!answer.right) {
    // What was clicked in red and what was asked in green, until the next question.
    confusedChosen_.assign(hits.begin(), hits.end());
    confusedAsked_ = objects_->FindByName(quiz_.TargetName());
    confusion_ = ConfusionText(answer.chosenText, quiz_.TargetName());
    update();
  }
  Answered(answer);
}

}  // namespace ostrelin

namespace ostrelin {

// ---------------------------------------------------------------------------------------------
// Saving and copying the picture

void ImageWindow::ShowsPage(const std::string& pageName, int imageType) {
  pageName_ = pageName;
  imageType_ = imageType;
  UpdateAccessibleText();
}

void ImageWindow::UpdateAccessibleText() {
  const std::string highlighted =
      highlightActive_ && image_ ? image_->HighlightStatus() : std::string();
  setAccessibleDescription(
      ToQString(ImageWindowDescription(pageName_, imageType_, highlighted, quiz_.Running())));
}

QImage ImageWindow::Picture() {
  if (!image_) return {};
  ZoomedPicture picture(image_->Source(), image_->Zoom());
  if (picture.Empty()) return {};
  std::vector<std::string> drawn;
  if (objects_) {
    for (const std::string& name : HighlightedNames()) {
      if (!name.empty() && objects_->DrawByName(name, displayMode_, picture)) {
        drawn.push_back(name);
      }
    }
  }
  QImage result = QImage(picture.Top(), picture.Width(), picture.Height(),
                         qsizetype(picture.Stride()), QImage::Format_BGR888)
                      .convertToFormat(QImage::Format_RGB32);
  const std::string caption = NameBandText(drawn, showAll_, quiz_.Running());
  if (caption.empty()) return result;
  QPainter painter(&result);
  const QFont font = ListFont(16);
  painter.setFont(font);
  const NameBand band = LayOutNameBand(result.width(), result.height(),
                                       QFontMetrics(font).height());
  if (band.band.Empty()) return result;
  painter.fillRect(ToQRect(band.band), QColor(kNameBandColour));
  painter.setPen(Qt::black);
  const QRect text = ToQRect(band.text);
  painter.drawText(text, Qt::AlignCenter | Qt::TextSingleLine,
                   QFontMetrics(font).elidedText(ToQString(caption), Qt::ElideRight,
                                                 text.width()));
  return result;
}

void ImageWindow::SavePicture() {
  if (!image_) return;
  const QString suggested = ToQString(PictureFileNameFor(pageName_));
  const QString chosen =
      chooseFile_ ? chooseFile_(suggested)
                  : QFileDialog::getSaveFileName(this, ToQString(t::kSavePicture),
                                                 QDir::home().filePath(suggested),
                                                 ToQString(t::kPictureFilter));
  if (chosen.isEmpty()) return;
  const std::string file = WithPictureExtension(chosen.toStdString());
  const QString path = QString::fromStdString(file);
  const char* format = PictureFormatOf(file) == PictureFormat::Jpeg ? "JPEG" : "PNG";
  const QImage picture = Picture();
  QImageWriter writer(path, format);
  if (picture.isNull() || !writer.write(picture)) {
    messages_.Show(std::string(t::kCannotWrite) + FromQString(path), MessageButtons::Ok,
                   MessageIcon::Exclamation);
  }
}

void ImageWindow::CopyPicture() {
  const QImage picture = Picture();
  if (!picture.isNull()) QGuiApplication::clipboard()->setImage(picture);
}

}  // namespace ostrelin
