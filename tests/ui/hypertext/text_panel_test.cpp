// The text panel with real fonts on the offscreen platform: loading, font sizes, clicks on links,
// the link cursor, scrolling and painting.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <string>
#include <vector>

#include "hypertext/ui/text_panel.h"
#include "shell/core/commands.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::TempTree;
using test::WithCrLf;

struct Sent {
  int command;
  std::string name;
};

// The main window's side: records each command with the name, then releases the buffer unless a
// test keeps it busy.
class RecordingTarget : public CommandTarget {
 public:
  explicit RecordingTarget(TransferBuffer& buffer) : buffer_(buffer) {}
  void SendCommand(int command) override {
    sent.push_back({command, buffer_.name});
    if (release) buffer_.Release();
  }
  std::vector<Sent> sent;
  bool release = true;

 private:
  TransferBuffer& buffer_;
};

class RecordingMedia : public Media {
 public:
  void StopMedia() override {}
  void PlayMedia(const std::string& name) override { played.push_back(name); }
  void PlayWave(const std::string&) override {}
  std::vector<std::string> played;
};

class TextPanelTest : public ::testing::Test {
 protected:
  TextPanelTest() : target(buffer), panel(nullptr, tree.DataPath(), buffer, target, &media) {
    panel.resize(340, 300);
    panel.show();
    QApplication::processEvents();
  }

  void Write(const std::string& relative, const std::string& text) {
    tree.Write(relative, WithCrLf(text));
  }

  void Click(QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel.viewport(), &press);
  }

  void Move(QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(panel.viewport(), &move);
  }

  void Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&panel, &press);
  }

  // A point inside display line `line`, `x` pixels from the left.
  QPoint OnLine(size_t line, int x = 10) const {
    const auto& tops = panel.layout().tops;
    return QPoint(x, int(tops[line] - tops[size_t(panel.firstLine())]) + 4);
  }

  TempTree tree;
  TransferBuffer buffer;
  RecordingTarget target;
  RecordingMedia media;
  TextPanel panel;
};

std::string ManyLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "Zeile " + std::to_string(i) + "$\n";
  return text;
}

TEST_F(TextPanelTest, FontsFollowTheThreeSizes) {
  struct Size {
    int size, heading, body;
  };
  for (const Size& s : {Size{1, 20, 12}, Size{2, 24, 16}, Size{3, 30, 20}}) {
    panel.SetFontSize(s.size);
    EXPECT_EQ(panel.heights().heading, s.heading);
    EXPECT_EQ(panel.heights().body, s.body);
    const QFontMetrics heading(panel.FontOf(SegmentKind::Heading));
    const QFontMetrics body(panel.FontOf(SegmentKind::PageLink));
    EXPECT_NEAR(heading.ascent() + heading.descent(), s.heading, 2);
    EXPECT_NEAR(body.ascent() + body.descent(), s.body, 2);
    EXPECT_EQ(panel.FontOf(SegmentKind::Bold).weight(), QFont::Bold);
    EXPECT_EQ(panel.FontOf(SegmentKind::Plain).weight(), QFont::Normal);
    EXPECT_FALSE(panel.FontOf(SegmentKind::MediaLink).underline());
    EXPECT_EQ(panel.FontOf(SegmentKind::None).family(), "Arial");
  }
}

TEST_F(TextPanelTest, SizeChangeReloadsTheSameTextWithItsLineHeightAndReturnsToTheTop) {
  Write("Texte/CT/herz.txt", ManyLines(60));
  ASSERT_TRUE(panel.Load("herz.txt", true, kCT));
  Key(Qt::Key_PageDown);
  EXPECT_EQ(panel.firstLine(), 3);
  panel.SetFontSize(1);
  panel.Load("", true, kCT);
  EXPECT_EQ(panel.layout().tops[1], 12);
  EXPECT_EQ(panel.firstLine(), 0);
  panel.SetFontSize(3);
  panel.Load("", true, kCT);
  EXPECT_EQ(panel.layout().tops[1], 20);
}

TEST_F(TextPanelTest, TypeChoosesTheDirectoryAndInvisibleTextHasNoScrollRange) {
  Write("Texte/CT/herz.txt", "CT-Text$\n" + ManyLines(60));
  Write("Texte/MRT/herz.txt", "MR-Text$\n");
  Write("Texte/Other/_KEINTXT.TXT", "Kein Text$\nnoch eine Zeile$\n");
  ASSERT_TRUE(panel.Load("herz.txt", true, kMR));
  EXPECT_EQ(panel.layout().lines[0], "MR-Text");
  ASSERT_TRUE(panel.Load("herz.txt", true, kCT));
  EXPECT_EQ(panel.layout().lines[0], "CT-Text");
  EXPECT_GT(panel.verticalScrollBar()->maximum(), 0);

  ASSERT_TRUE(panel.Load("", false, kNoImageType));
  EXPECT_EQ(panel.layout().lines[0], "Kein Text");
  EXPECT_EQ(panel.verticalScrollBar()->maximum(), 0);
  ASSERT_TRUE(panel.Load("", true, kCT));  // visible again: the last name, CT directory
  EXPECT_EQ(panel.layout().lines[0], "CT-Text");
  EXPECT_EQ(panel.currentTextName(), "herz.txt");
}

TEST_F(TextPanelTest, MissingEmptyAndUnknownNameTexts) {
  panel.resize(2400, 300);  // wide enough for the path on one line
  QApplication::processEvents();
  EXPECT_FALSE(panel.Load("fehlt.txt", true, kSchnitt));
  ASSERT_EQ(panel.layout().lines.size(), 1u);
  EXPECT_EQ(panel.layout().lines[0],
            "#/H:Datei nicht gefunden: [" + tree.DataPath() + "Texte\\Schnitt\\fehlt.txt] !?!#");

  Write("Texte/Schnitt/leer.txt", "\n\n");
  EXPECT_TRUE(panel.Load("leer.txt", true, kSchnitt));
  EXPECT_EQ(panel.layout().lines, (std::vector<std::string>{"Leerer Text"}));

  Write("Texte/CT/_KEINOBJ.TXT", "#/H:Nicht gefunden: #\nmehr$\n");
  EXPECT_TRUE(panel.LoadWithName(NoObjectTextName(), true, "Herzohr", kCT));
  EXPECT_EQ(panel.layout().lines[0], "#/H:Nicht gefunden: #Herzohr");
}

TEST_F(TextPanelTest, LinkClicksGoThroughTheBufferUnlessBusyAndMediaPlayAlways) {
  Write("Texte/CT/herz.txt",
        "#/L:Herz{Cor}#$\n#/P:Aorta#$\n#/M:Herzt\xF6ne{HERZ.WAV}#$\nnur Text$\n");
  ASSERT_TRUE(panel.Load("herz.txt", true, kCT));
  Click(OnLine(0));
  Click(OnLine(1));
  Click(OnLine(3));  // plain text: nothing
  ASSERT_EQ(target.sent.size(), 2u);
  EXPECT_EQ(target.sent[0].command, CommandId(Command::kPageLink));
  EXPECT_EQ(target.sent[0].name, "Cor");
  EXPECT_EQ(target.sent[1].command, CommandId(Command::kStructureLink));
  EXPECT_EQ(target.sent[1].name, "Aorta");

  buffer.busy = true;  // the main window is still handling an earlier request
  buffer.name = "fr\xFCher";
  Click(OnLine(0));
  EXPECT_EQ(target.sent.size(), 2u);
  EXPECT_EQ(buffer.name, "fr\xFCher");
  Click(OnLine(2));
  EXPECT_EQ(media.played, (std::vector<std::string>{"HERZ.WAV"}));
}

TEST_F(TextPanelTest, WrappedLinkClickedOnItsFirstAndSecondLine) {
  const std::string words =
      "Arteria carotis communis sinistra und Arteria subclavia sinistra entspringen dem Bogen";
  Write("Texte/CT/herz.txt", "#/L:" + words + "#$\n");
  ASSERT_TRUE(panel.Load("herz.txt", true, kCT));
  ASSERT_GE(panel.layout().lines.size(), 2u);
  Click(OnLine(0));
  ASSERT_EQ(target.sent.size(), 1u);
  EXPECT_EQ(target.sent[0].name, words);

  Click(OnLine(1));
  ASSERT_EQ(target.sent.size(), 2u);
  const std::string& second = target.sent[1].name;
  EXPECT_FALSE(second.empty());
  EXPECT_TRUE(words.ends_with(second)) << second;
  EXPECT_LT(second.size(), words.size());
}

TEST_F(TextPanelTest, LongTargetIsCutToTheBuffer) {
  Write("Texte/CT/lang.txt", "#/L:Link{" + std::string(700, 'z') + "}#$\n");
  ASSERT_TRUE(panel.Load("lang.txt", true, kCT));
  Click(OnLine(0));
  ASSERT_EQ(target.sent.size(), 1u);
  EXPECT_EQ(target.sent[0].name, std::string(511, 'z'));
}

TEST_F(TextPanelTest, LinkCursorOnlyOverLinks) {
  Write("Texte/CT/herz.txt", "#/L:Herz#$\nText$\n");
  ASSERT_TRUE(panel.Load("herz.txt", true, kCT));
  Move(OnLine(0));
  EXPECT_NE(panel.viewport()->cursor().shape(), Qt::ArrowCursor);
  Move(OnLine(1));
  EXPECT_EQ(panel.viewport()->cursor().shape(), Qt::ArrowCursor);
  Move(OnLine(0, 300));
  EXPECT_EQ(panel.viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(TextPanelTest, KeysScrollByLinesPagesOfThreeAndToBothEnds) {
  Write("Texte/CT/herz.txt", ManyLines(80));
  ASSERT_TRUE(panel.Load("herz.txt", true, kCT));
  QScrollBar* bar = panel.verticalScrollBar();
  const int maximum = bar->maximum();
  ASSERT_GT(maximum, 10);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(panel.firstLine(), 3);
  Key(Qt::Key_Down);
  EXPECT_EQ(panel.firstLine(), 4);
  Key(Qt::Key_Up);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(panel.firstLine(), 0);
  Key(Qt::Key_End);
  EXPECT_EQ(panel.firstLine(), maximum);
  Key(Qt::Key_Left);
  Key(Qt::Key_Right);
  EXPECT_EQ(panel.firstLine(), maximum);
  // At the maximum the last regular line stands within the window.
  const auto& layout = panel.layout();
  EXPECT_LT(layout.end - layout.tops[size_t(maximum)], panel.viewport()->height());
  Key(Qt::Key_Home);
  EXPECT_EQ(panel.firstLine(), 0);
  // Clicks follow the scrolled lines.
  Write("Texte/CT/links.txt", ManyLines(10) + "#/L:Ziel#$\n" + ManyLines(30));
  ASSERT_TRUE(panel.Load("links.txt", true, kCT));
  Key(Qt::Key_PageDown);
  Key(Qt::Key_PageDown);
  Key(Qt::Key_PageDown);
  Key(Qt::Key_Down);
  Click(OnLine(10));
  ASSERT_EQ(target.sent.size(), 1u);
  EXPECT_EQ(target.sent[0].name, "Ziel");
}

TEST_F(TextPanelTest, PaintsGreyGroundAndLinksInTheirColours) {
  QImage before = panel.viewport()->grab().toImage();
  EXPECT_EQ(before.pixelColor(5, 5), QColor(197, 197, 197));

  Write("Texte/CT/herz.txt", "#/L:WWWWWWWW#$\n#/M:WWWWWWWW#$\n");
  ASSERT_TRUE(panel.Load("herz.txt", true, kCT));
  const QImage image = panel.viewport()->grab().toImage();
  auto strongest = [&](int top, int bottom, auto score) {
    int best = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < 150; ++x) best = std::max(best, score(image.pixelColor(x, y)));
    }
    return best;
  };
  const auto& tops = panel.layout().tops;
  const int blue = strongest(int(tops[0]), int(tops[1]),
                             [](QColor c) { return c.blue() - std::max(c.red(), c.green()); });
  const int red = strongest(int(tops[1]), int(tops[1]) + 16,
                            [](QColor c) { return c.red() - std::max(c.blue(), c.green()); });
  EXPECT_GT(blue, 120);
  EXPECT_GT(red, 120);
}

}  // namespace
}  // namespace ostrelin

namespace ostrelin {
namespace {

TEST_F(TextPanelTest, AWiderPanelWrapsItsTextAnewAndKeepsTheAppendedName) {
  Write("Texte/Other/lang.txt",
        "Ein Absatz mit vielen kurzen Worten, der in einem schmalen Feld auf mehrere Zeilen "
        "umbrochen wird und in einem breiten Feld auf eine einzige Zeile passt.\n");
  ASSERT_TRUE(panel.LoadWithName("lang.txt", true, " Aorta", kNoImageType));
  const size_t narrowLines = panel.layout().lines.size();
  ASSERT_GT(narrowLines, 2u);

  panel.resize(1600, 300);
  QApplication::processEvents();
  EXPECT_LT(panel.layout().lines.size(), narrowLines);
  EXPECT_EQ(panel.layout().lines.front().substr(0, 9), "Ein Absat");
  EXPECT_NE(panel.layout().lines.front().find(" Aorta"), std::string::npos);
}

}  // namespace
}  // namespace ostrelin
