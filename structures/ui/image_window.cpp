#include "structures/ui/image_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <cstdio>
#include <new>

#include "image/ui/image_painter.h"
#include "platform/core/paths.h"
#include "platform/ui/qt_rect.h"
#include "platform/ui/make_font.h"
#include "platform/ui/program_cursor.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/wait_message.h"
#include "shell/core/commands.h"
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
QListWidget* MakeListBox(const std::vector<std::string>& texts, const QFont& font) {
  auto* list = new QListWidget;
  list->setFont(font);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  for (const std::string& text : texts) list->addItem(ToQString(text));
  return list;
}

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
  connect(zoomBar_, &QScrollBar::actionTriggered, this, &ImageWindow::ZoomBarAction);

  overviewBox_ = new CommandBox(ToQString(t::kOverviewBox), this);
  overviewBox_->setTristate(true);
  overviewBox_->setGeometry(kOverviewBoxLeft, 0, kOverviewBoxRight - kOverviewBoxLeft,
                            kStripHeight);
  overviewBox_->setFocusPolicy(Qt::NoFocus);
  connect(overviewBox_, &QCheckBox::clicked, this,
          [this] { Command(image_cmd::kToggleOverview); });

  fullViewBox_ = new CommandBox(ToQString(t::kFullViewBox), this);
  fullViewBox_->setTristate(true);
  fullViewBox_->setGeometry(kFullViewBoxLeft, 0, kFullViewBoxRight - kFullViewBoxLeft,
                            kStripHeight);
  fullViewBox_->setFocusPolicy(Qt::NoFocus);
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
}

void ImageWindow::Rehighlight(int displayMode) {
  if (lastName_.empty()) return;
  Highlight(std::string(lastName_), displayMode, true, false);
}

void ImageWindow::RehighlightAfterMove() {
  if (lastName_.empty()) return;
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
}

void ImageWindow::PaintHighlight() {
  highlightCount_ = 0;
  lastPainted_.clear();
  if (!objects_) return;
  std::vector<std::string> names;
  if (showAll_) {
    names = MarkableNames(*objects_);
  } else if (highlightActive_) {
    names = SplitNames(highlightText_);
  }
  for (const std::string& name : names) {
    if (name.empty()) continue;
    if (objects_->DrawByName(name, displayMode_)) {
      ++highlightCount_;
      lastPainted_ = name;
    }
  }
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

void ImageWindow::PaintPointed(QPainter& painter) {
  const QRect area(kPointedLeft, 0, std::max(0, Client().width - kPointedLeft), kStripHeight);
  painter.fillRect(area, QColor::fromRgb(kStripGrey));
  if (pointed_.empty()) return;
  painter.setPen(Qt::black);
  painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   ToQString(pointed_));
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
      for (int index : objects_->Hits()) {
        if (!pointed.empty()) pointed += " / ";
        pointed += objects_->At(index).Name();
      }
    }
    if (overview_) overview_->Mark(pixel);
  }
  if (pointed != pointed_) {
    pointed_ = std::move(pointed);
    update(QRect(kPointedLeft, 0, width(), kStripHeight));
  }
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

void ImageWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
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
      if (image_) SendTaggedRequest(buffer_, mainWindow_, cmd::kGoToPlace, image_->HighlightStatus());
      return;
    case image_cmd::kFullView: EnterFullView(); return;
    case image_cmd::kNormalView:
      if (!normalView_) LeaveFullView();
      if (parentWidget()) parentWidget()->update();
      return;
    case image_cmd::kHelp: mainWindow_.SendCommand(cmd::kContextHelp); return;
    case image_cmd::kListMarkable: OpenMarkableList(); return;
    case image_cmd::kShowMarkable: ShowAllMarkable(); return;
    case image_cmd::kNextQuestion: NextQuestion(); return;
    case image_cmd::kShowAnswer: ShowAnswer(); return;
    default:
      if (id >= image_cmd::kFirstRelated && id <= image_cmd::kLastRelated) {
        const std::string name = RelatedNameOf(related_, id);
        if (!name.empty()) SendTaggedRequest(buffer_, mainWindow_, cmd::kGoToPlace, name);
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
  quiz_.Stop();
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
  QListWidget* list = MakeListBox(overlapNames_, ListFont(15));
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
  QListWidget* list = MakeListBox(names, ListFont(14));
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
  QListWidget* list = MakeListBox(texts, ListFont(14));
  frame->SetContent(list);
  const Rect r = kFoundOnListRect;
  frame->setGeometry(ToQRect(r));
  frame->SetCloseHandler([this] { CloseFoundOnList(); });
  connect(list, &QListWidget::currentTextChanged, this, [this](const QString& text) {
    if (text.isEmpty()) return;
    const std::string chosen = FromQString(text);
    Highlight(chosen, kDrawOutline, true, false);
    CloseFoundOnList();
    SendTaggedRequest(buffer_, mainWindow_, cmd::kGoToPlace, chosen);
  });
  frame->show();
  frame->raise();
  foundOnList_ = frame;
}

void ImageWindow::CloseFoundOnList() { CloseFrame(foundOnList_); }

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
  quiz_.Start(direction, alternate);
  SetFullView();
  NextQuestion();
  fullViewBox_->setCheckState(Qt::Checked);
  fullViewBox_->setEnabled(false);
}

void ImageWindow::NextQuestion() {
  if (!quiz_.Running() || !objects_) return;
  const QCursor before = cursor();
  setCursor(Qt::ArrowCursor);
  ClearHighlight(true);
  const QuizQuestion question = quiz_.Next(*objects_, random_);
  if (!quizDialog_) {
    quizDialog_ = new QuizDialog(this, [this](int id) { Command(id); });
    quizDialog_->move(0, 21);
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
  setCursor(before);
}

void ImageWindow::ShowAnswer() {
  if (quiz_.TargetName().empty()) return;
  quiz_.SetAnswerShown();
  Highlight(quiz_.TargetName(), kDrawOutline, true, false);
}

void ImageWindow::AnswerByClick(const HitList& hits) {
  const QuizAnswer answer = quiz_.Judge(hits, *objects_);
  if (answer.structure >= 0) objects_->SetCurrentStructure(answer.structure);
  if (answer.right) {
    messages_.Show(t::kRight, MessageButtons::Ok, MessageIcon::Information);
    Command(image_cmd::kNextQuestion);
    return;
  }
  // The wrong-answer text names what was chosen in place of its "%1".
  const std::string_view wrong = t::kWrong;
  const size_t at = wrong.find("%1");
  const std::string text = at == std::string_view::npos
                               ? std::string(wrong)
                               : std::string(wrong.substr(0, at)) + answer.chosenText +
                                     std::string(wrong.substr(at + 2));
  messages_.Show(text, MessageButtons::Ok, MessageIcon::Information);
  quiz_.Requeue();
}

}  // namespace ostrelin
