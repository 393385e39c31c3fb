#pragma once
// The text panel: the description of the current page, wrapped to the panel's width, drawn with one
// font and colour per markup segment and scrolled by display lines. A click on a page or structure
// link asks the main window through the transfer buffer (commands 1274 and 1275); a media link
// plays at once.

#include <QAbstractScrollArea>
#include <QFont>
#include <array>
#include <memory>
#include <string>

#include "hypertext/core/text_layout.h"
#include "shell/core/media.h"
#include "shell/core/atlas_requests.h"
#include "shell/core/views.h"

class QPainter;

namespace ostrelin {

class TextPanel : public QAbstractScrollArea, public TextView {
  Q_OBJECT

 public:
  static constexpr int kChildId = 9033;

  // `media` may be null (then media links play nothing).
  TextPanel(QWidget* parent, std::string dataPath, TransferBuffer& buffer,
            CommandTarget& mainWindow, Media* media);
  ~TextPanel() override;

  // 1 klein, 2 mittel, anything else groß. Does not lay out again: the caller loads the current
  // text (empty name) afterwards.
  void SetFontSize(int size);
  // Reads and lays out a text; an empty name stands for the text loaded last. False when the file
  // could not be opened (the missing-file line is shown instead).
  bool Load(const std::string& textName, bool visible, ImageType type);
  // Load, then `name` appended to the first display line.
  bool LoadWithName(const std::string& textName, bool visible, const std::string& name,
                    ImageType type);

  void ShowText(const std::string& textName, bool visible, ImageType type) override;
  void ShowTextWithName(const std::string& textName, bool visible, const std::string& name,
                        ImageType type) override;

  // The link under a point of the viewport, with its gathered target.
  HitResult HitAt(QPoint point) const;
  void Scroll(ScrollCode code);

  const TextLayout& layout() const { return layout_; }
  LineHeights heights() const { return heights_; }
  int firstLine() const;
  const std::string& currentTextName() const { return currentTextName_; }
  const QFont& FontOf(SegmentKind kind) const;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  class FontMeasurer;

  void ApplyScrollRange();
  void UpdateAccessibleText();
  void PaintText(QPainter& painter);

  // What was laid out last, so a change of width can lay it out again.
  struct Shown {
    bool loaded = false;
    bool visible = true;
    ImageType type = kNoImageType;
    std::string appendedName;
    int width = 0;
  };

  std::string dataPath_;
  Shown shown_;
  AtlasRequests requests_;
  Media* media_;

  // Heading, body, page link, structure link, bold, media link.
  std::array<QFont, 6> fonts_;
  LineHeights heights_;
  std::unique_ptr<FontMeasurer> measurer_;
  TextLayout layout_;
  std::string currentTextName_;
};

}  // namespace ostrelin
