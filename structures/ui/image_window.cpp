#include "structures/ui/image_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <cstdio>
#include <new>

#include "image/ui/image_painter.h"
#include "platform/core/paths.h"
#include "platform/ui/focus_frame.h"
#include "platform/ui/qt_rect.h"
#include "platform/ui/program_cursor.h"
#include "platform/ui/qt_text.h"
#include "shell/core/commands.h"
#include "resources/core/ui_texts.h"
#include "structures/ui/overview_window.h"

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

}  // namespace

ImageWindow::ImageWindow(QWidget* parent, std::string dataPath, const QRect& normalRect,
                         TransferBuffer& buffer, CommandTarget& mainWindow,
                         MessageService& messages, RuntimeRandom& random, WaitCursor* waitCursor)
    : QWidget(parent),
      dataPath_(std::move(dataPath)),
      normalRect_(normalRect),
      buffer_(buffer),
      requests_(buffer, mainWindow),
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
}

QCheckBox* ImageWindow::MakeCommandBox(const char* text, const char* description, int left,
                                       int right, int command) {
  auto* box = new CommandBox(ToQString(text), this);
  box->setTristate(true);
  box->setGeometry(left, 0, right - left, kStripHeight);
  box->setFocusPolicy(Qt::NoFocus);
  box->setAccessibleName(ToQString(text));
  box->setAccessibleDescription(ToQString(description));
  connect(box, &QCheckBox::clicked, this, [this, command] { Command(command); });
  return box;
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

  overviewBox_ = MakeCommandBox(t::kOverviewBox, t::kOverviewBoxDescription, kOverviewBoxLeft,
                                kOverviewBoxRight, image_cmd::kToggleOverview);
  fullViewBox_ = MakeCommandBox(t::kFullViewBox, t::kFullViewBoxDescription, kFullViewBoxLeft,
                                kFullViewBoxRight, image_cmd::kToggleFullView);

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
  highlight_.EndShowAll();

  const std::string full = dataPath_ + path;
  if (std::FILE* probe = OpenForReading(full)) {
    std::fclose(probe);
  } else {
    decodeAhead_.Drop();
    messages_.Show(std::string(t::kFileNotFound) + full, MessageButtons::Ok,
                   MessageIcon::Exclamation);
    return false;
  }

  CloseOverview();
  objects_.reset();
  // The old image's memory goes to the new one: pages of one size decode into the same pixels.
  JpgBildBuffers spare = image_ ? image_->TakeBuffers() : JpgBildBuffers{};
  image_.reset();
  if (mode_) mode_->ImageReplaced();
  highlight_.Painted({});
  pointed_.clear();

  // The outline list; a list that finds no memory leaves the image without structures.
  std::unique_ptr<Objektliste> objects;
  bool noList = false;
  const auto readList = [&](MessageService& messages) {
    try {
      objects = std::make_unique<Objektliste>(full, messages);
    } catch (const std::bad_alloc&) {
      objects.reset();
      noList = true;
    }
  };
  std::unique_ptr<JpgBild> image;
  if (decodeAhead_.Holds(full)) {
    // The image is decoding on the other core: its outline list is read meanwhile. The list's
    // messages wait for the image's, and are dropped with the image when it fails.
    DeferredMessages listMessages;
    readList(listMessages);
    DecodedImage decoded = decodeAhead_.Take();
    decoded.messages.ShowThrough(messages_);
    image = std::make_unique<JpgBild>(full, std::move(decoded.image), Client(), messages_,
                                      std::move(spare));
    if (!image->Failed()) listMessages.ShowThrough(messages_);
  } else {
    decodeAhead_.Drop();
    image = std::make_unique<JpgBild>(full, Client(), messages_, std::move(spare));
    if (!image->Failed()) readList(messages_);
  }
  if (image->Failed()) {
    update();
    return false;
  }
  image_ = std::move(image);
  if (noList) {
    messages_.Show(t::kNoObjectList, MessageButtons::Ok, MessageIcon::Exclamation);
    update();
    return false;
  }
  objects_ = std::move(objects);
  objects_->Attach(*image_, messages_);

  if (mode_) mode_->ImageLoaded();
  ClearHighlight(false);
  int position = kInitialZoomPosition;
  if (allowReduction && normalRect_.width() < image_->Width()) position = 5;
  zoomBar_->setValue(position);
  const ImagePoint centre = image_->Centre();
  image_->SetZoom(ZoomOfPosition(position), centre.column, centre.row, false);
  update();
  return true;
}

void ImageWindow::ExpectImage(const std::string& path) {
  if (path.empty()) {
    decodeAhead_.Drop();
  } else {
    decodeAhead_.Start(dataPath_ + path);
  }
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
  SelectInMarkableList(names);
  highlight_.Set(names, displayMode);
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
    requests_.StructureHighlighted(names);
  }
  UpdateAccessibleText();
}

// Even without a last name: highlighting leaves show-all mode, and an empty name clears.
void ImageWindow::Rehighlight(int displayMode) {
  Highlight(std::string(highlight_.LastName()), displayMode, true, false);
}

void ImageWindow::RehighlightAfterMove() {
  Highlight(std::string(highlight_.LastName()), kDrawOutline, false, false);
}

void ImageWindow::ClearHighlight(bool forget) {
  highlight_.Clear(forget);
  CloseOverlapList();
  if (image_) image_->SetHighlightStatus(t::kNoHighlight);
  update();
  requests_.StructureHighlighted("");
  UpdateAccessibleText();
}

void ImageWindow::HighlightQuietly(const std::string& names) {
  HighlightImpl(names, kDrawOutline, true, false, false);
}

void ImageWindow::PaintHighlight() {
  if (!objects_) {
    highlight_.Painted({});
    return;
  }
  highlight_.Painted(highlight_.Draw(*objects_, [this](const std::string& name) {
    return objects_->DrawByName(name, highlight_.DisplayMode());
  }));
  if (mode_) mode_->PaintOverlay(*objects_);
}

// ---------------------------------------------------------------------------------------------
// Painting

void ImageWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const ClientSize client = Client();
  if (!image_) {
    highlight_.Painted({});
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(QRect(0, 0, client.width - 1, client.height - 1));
    PaintPointed(painter);
    return;
  }
  image_->SetClientSize(client);
  const ImagePoint centre = image_->Centre();
  // Whatever changes the picture asks for the whole window; a paint of only a part of it (a list
  // or the wait message closed over the image, the names in the strip) keeps the zoomed bitmap
  // with its highlight as long as the layout stays.
  const bool whole = QRegion(rect()).subtracted(event->region()).isEmpty();
  if (whole) {
    image_->SetZoom(image_->Zoom(), centre.column, centre.row, true);
    PaintHighlight();
  } else if (image_->SetZoomKeepingBitmap(image_->Zoom(), centre.column, centre.row)) {
    PaintHighlight();
  }
  // Whatever the zoomed bitmap leaves uncovered (right of it, the corner by the bars) is grey;
  // the bitmap itself is opaque and painted over nothing.
  QRegion uncovered(rect());
  if (image_->HasZoomedBitmap()) {
    uncovered -= QRect(0, kStripHeight, image_->ZoomedWidth(), image_->ZoomedHeight());
  }
  for (const QRect& area : uncovered) painter.fillRect(area, QColor::fromRgb(kStripGrey));
  PaintJpgBild(painter, *image_);
  ApplyScrollBars(image_->ScrollBars(), *horizontal_, *vertical_);
  PaintPointed(painter);
}

std::string ImageWindow::StripText() const {
  if (!pointed_.empty()) return pointed_;
  return mode_ ? mode_->StripText() : std::string();
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
      setCursor(
          ProgramCursor(hits == 1 ? cursor_id::kOneStructure : cursor_id::kSeveralStructures));
      if (NamesShown()) {  // a mode may hide them: they would give its answers away
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

void ImageWindow::mouseMoveEvent(QMouseEvent* event) { UpdatePointer(event->position().toPoint()); }

void ImageWindow::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    if (ClicksBlocked()) return;
    ClickAt(at);
    UpdatePointer(at);
  } else if (event->button() == Qt::RightButton) {
    if (!ContextMenuAllowed()) return;
    OpenContextMenu(at);
  }
}

void ImageWindow::ClickAt(const QPoint& at) {
  stepAfresh_ = false;  // Tab goes on from what the click highlights
  CloseOverlapList();
  highlight_.EndShowAll();
  if (at.y() < kStripHeight || !image_ || !objects_) return;
  const ImagePoint pixel = image_->WindowPointToPixel(at.x() - image_->HorizontalMargin(),
                                                      at.y() + image_->VerticalMargin());
  const HitList hits = objects_->HitTest(pixel.column, pixel.row);
  if (hits.empty()) {
    ClearHighlight(true);
  } else if (hits.size() == 1) {
    objects_->SetCurrentStructure(hits[0]);
    Highlight(std::string(objects_->At(hits[0]).Name()), kDrawOutline, false, false);
    if (ModeActive()) mode_->Click(hits);
  } else if (ModeActive()) {
    mode_->Click(hits);
  } else {
    OpenOverlapList(hits, at);
  }
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

void ImageWindow::EnterFullView(bool boxEnabled) {
  SetFullView();
  fullViewBox_->setEnabled(boxEnabled);
}

void ImageWindow::ClearPointing() {
  CloseOverlapList();
  ShowPointed({});
}

void ImageWindow::LeaveFullView() {
  if (mode_ && !mode_->LeaveFullView()) return;
  normalView_ = true;
  fullViewBox_->setEnabled(true);
  fullViewBox_->setCheckState(Qt::Unchecked);
  setGeometry(normalRect_);
  UpdateAccessibleText();  // a mode's run is over
  if (markableList_) {
    const QRect g = markableList_->geometry();
    const ClientSize client = Client();
    const Rect kept = KeepMarkableListInside(FromQRect(g), client.width, client.height);
    markableList_->setGeometry(ToQRect(kept));
  }
}

bool ImageWindow::ShowStructureHere(const std::string& name) {
  if (!image_ || !objects_ || name.empty() || objects_->FindByName(name) < 0) return false;
  Highlight(name, kDrawOutline, true, true);
  return true;
}

}  // namespace ostrelin
