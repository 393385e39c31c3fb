#include "hypertext/ui/text_panel.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStringList>
#include <cmath>

#include "resources/core/ui_texts.h"
#include "platform/core/strings.h"
#include "platform/ui/focus_frame.h"
#include "platform/ui/make_font.h"
#include "platform/ui/program_cursor.h"
#include "platform/ui/qt_text.h"

namespace ostrelin {
namespace {

constexpr QColor kBackground(197, 197, 197);
constexpr size_t kTextNameBuffer = 5000;

enum FontSlot { kHeadingFont, kBodyFont, kPageLinkFont, kStructureLinkFont, kBoldFont, kMediaFont };

FontSlot SlotOf(SegmentKind kind) {
  switch (kind) {
    case SegmentKind::Heading: return kHeadingFont;
    case SegmentKind::PageLink: return kPageLinkFont;
    case SegmentKind::StructureLink: return kStructureLinkFont;
    case SegmentKind::Bold: return kBoldFont;
    case SegmentKind::MediaLink: return kMediaFont;
    default: return kBodyFont;
  }
}

}  // namespace

// Widths from the panel's fonts. Kerning is off in those fonts, so a text is as wide as the sum of
// its characters' advances: each font's 256 advances are asked once and then only added up, which
// keeps laying out long texts cheap. The advances are kept in 1/64 pixel, as the fonts place the
// characters: rounded to whole pixels they would add up to gaps between segments.
class TextPanel::FontMeasurer : public TextMeasurer {
 public:
  explicit FontMeasurer(const std::array<QFont, 6>& fonts) : fonts_(fonts) { Reset(); }

  void Reset() {
    for (auto& table : advances_) table.fill(-1);
  }

  int Width(SegmentKind kind, std::string_view shown) const override {
    const FontSlot slot = SlotOf(kind);
    auto& table = advances_[slot];
    int width = 0;
    for (unsigned char c : shown) {
      if (table[c] < 0) {
        const QFontMetricsF metrics(fonts_[slot]);
        table[c] =
            int(std::lround(kSubdivision * metrics.horizontalAdvance(ToQString(std::string_view(
                                               reinterpret_cast<const char*>(&c), 1)))));
      }
      width += table[c];
    }
    return width;
  }
  int Subdivision() const override { return kSubdivision; }

 private:
  static constexpr int kSubdivision = 64;
  const std::array<QFont, 6>& fonts_;
  mutable std::array<std::array<int, 256>, 6> advances_;
};

TextPanel::TextPanel(QWidget* parent, std::string dataPath, TransferBuffer& buffer,
                     CommandTarget& mainWindow, Media* media)
    : QAbstractScrollArea(parent),
      dataPath_(std::move(dataPath)),
      requests_(buffer, mainWindow),
      media_(media),
      measurer_(std::make_unique<FontMeasurer>(fonts_)) {
  // The border is as wide as the focus frame, which is drawn in it, clear of the text.
  setFrameShape(QFrame::Box);
  setLineWidth(kFocusFrameWidth);
  FollowKeyboardUse();
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // The bar moves by the panel's own steps: a line, and three lines a page.
  verticalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setPageStep(3);
  verticalScrollBar()->setRange(0, 0);
  viewport()->setMouseTracking(true);
  // The text paints every pixel of its viewport: no background drawn underneath first.
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  // Reached by Tab too (after the image window), so the keys scroll it; a frame shows the focus.
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(ToQString(hypertext_text::kPanelName));
  SetFontSize(2);
}

TextPanel::~TextPanel() = default;

void TextPanel::SetFontSize(int size) {
  heights_ = HeightsForFontSize(size);
  for (size_t slot = 0; slot < fonts_.size(); ++slot) {
    QFont font;
    const int height = slot == kHeadingFont ? heights_.heading : heights_.body;
    if (MakeFont(font, height, slot == kBoldFont)) font.setKerning(false);
    fonts_[slot] = font;
  }
  measurer_->Reset();
}

const QFont& TextPanel::FontOf(SegmentKind kind) const { return fonts_[SlotOf(kind)]; }

int TextPanel::firstLine() const { return verticalScrollBar()->value(); }

bool TextPanel::Load(const std::string& textName, bool visible, ImageType type) {
  if (!textName.empty()) currentTextName_.assign(CutToBuffer(textName, kTextNameBuffer));
  const std::string& name = textName.empty() ? currentTextName_ : textName;
  TextSource source = TextSource::Open(TextPath(dataPath_, name, visible, type));
  layout_ =
      LayOutText(source, *measurer_, heights_, viewport()->width(), viewport()->height(), visible);
  shown_ = Shown{true, visible, type, {}, viewport()->width()};
  ApplyScrollRange();
  viewport()->update();
  UpdateAccessibleText();
  return source.opened();
}

void TextPanel::UpdateAccessibleText() {
  // What a screen reader says: the text shown, then its links.
  const ReadableText readable = ReadableTextOf(layout_);
  QString description = ToQString(readable.text);
  if (!readable.links.empty()) {
    QStringList links;
    for (const std::string& link : readable.links) links << ToQString(link);
    description += ToQString(hypertext_text::kLinks) + links.join(QStringLiteral("; "));
  }
  setAccessibleDescription(description);
}

bool TextPanel::LoadWithName(const std::string& textName, bool visible, const std::string& name,
                             ImageType type) {
  const bool opened = Load(textName, visible, type);
  // The name continues the raw first line: after a closing "#" it is plain text.
  if (!layout_.lines.empty()) layout_.lines.front() += name;
  shown_.appendedName = name;
  viewport()->update();
  UpdateAccessibleText();
  return opened;
}

void TextPanel::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  // Lines are wrapped to the width they were laid out for; a panel that was laid out before it
  // got its final size (or that changes it) wraps the text it shows anew, at the same line.
  if (!shown_.loaded || viewport()->width() == shown_.width) return;
  const int first = firstLine();
  const Shown shown = shown_;
  if (shown.appendedName.empty()) {
    Load({}, shown.visible, shown.type);
  } else {
    LoadWithName({}, shown.visible, shown.appendedName, shown.type);
  }
  verticalScrollBar()->setValue(first);
}

void TextPanel::ShowText(const std::string& textName, bool visible, ImageType type) {
  Load(textName, visible, type);
}

void TextPanel::ShowTextWithName(const std::string& textName, bool visible, const std::string& name,
                                 ImageType type) {
  LoadWithName(textName, visible, name, type);
}

void TextPanel::ApplyScrollRange() {
  QScrollBar* bar = verticalScrollBar();
  const QSignalBlocker quiet(bar);
  bar->setRange(0, layout_.scrollMaximum);
  bar->setValue(0);
}

void TextPanel::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), kBackground);
  PaintText(painter);
}

bool TextPanel::event(QEvent* event) {
  if (event->type() != QEvent::Paint) return QAbstractScrollArea::event(event);
  // The panel's own paint is its border; the text is the viewport's.
  QPainter painter(this);
  PaintFocusBorder(painter, rect(), *this, kBackground);
  return true;
}

void TextPanel::PaintText(QPainter& painter) {
  if (currentTextName_.empty() || layout_.lines.empty()) return;
  painter.setBackgroundMode(Qt::TransparentMode);
  const int height = viewport()->height();
  const size_t first = size_t(std::min<int>(firstLine(), int(layout_.lines.size()) - 1));
  const int64_t y0 = layout_.tops[first];
  WalkLines(layout_, first, height, heights_, *measurer_, [&](const PlacedSegment& placed) {
    const int64_t top = placed.top - y0;
    const Segment& segment = *placed.segment;
    if (segment.shown.empty() || top > height || placed.x > viewport()->width()) return;
    const QFont& font = FontOf(segment.kind);
    const Rgb colour = SegmentColour(segment.kind);
    painter.setFont(font);
    painter.setPen(QColor(colour.red, colour.green, colour.blue));
    painter.drawText(QPointF(placed.exactX, double(top) + QFontMetrics(font).ascent()),
                     ToQString(segment.shown));
  });
}

HitResult TextPanel::HitAt(QPoint point) const {
  return HitTest(layout_, size_t(std::max(0, firstLine())), point.x(), point.y(),
                 viewport()->height(), heights_, *measurer_);
}

void TextPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const HitResult hit = HitAt(event->position().toPoint());
  viewport()->update();
  switch (hit.kind) {
    case SegmentKind::MediaLink:
      // Plays even while a request is busy: media do not go through the transfer buffer.
      if (media_) media_->PlayMedia(hit.target);
      break;
    case SegmentKind::PageLink:
      // The buffer keeps 511 bytes of a longer target.
      requests_.OpenPage(hit.target);
      break;
    case SegmentKind::StructureLink: requests_.StructureLink(hit.target); break;
    default: break;
  }
}

void TextPanel::mouseMoveEvent(QMouseEvent* event) {
  const HitResult hit = HitAt(event->position().toPoint());
  viewport()->setCursor(hit.kind != SegmentKind::None ? ProgramCursor(cursor_id::kLink)
                                                      : QCursor(Qt::ArrowCursor));
}

void TextPanel::Scroll(ScrollCode code) {
  QScrollBar* bar = verticalScrollBar();
  const int target = ScrollTarget(code, bar->value(), bar->maximum(), bar->value());
  if (target != bar->value()) bar->setValue(target);  // redraws through scrollContentsBy
}

void TextPanel::keyPressEvent(QKeyEvent* event) {
  ScrollCode code;
  switch (event->key()) {
    case Qt::Key_PageUp: code = ScrollCode::PageUp; break;
    case Qt::Key_PageDown: code = ScrollCode::PageDown; break;
    case Qt::Key_End: code = ScrollCode::Bottom; break;
    case Qt::Key_Home: code = ScrollCode::Top; break;
    case Qt::Key_Up: code = ScrollCode::LineUp; break;
    case Qt::Key_Down: code = ScrollCode::LineDown; break;
    default: event->ignore(); return;
  }
  Scroll(code);
}

void TextPanel::scrollContentsBy(int, int) { viewport()->update(); }

}  // namespace ostrelin
