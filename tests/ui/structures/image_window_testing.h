#pragma once
// A small sectional image with known structures for the image-window tests: a 200 x 160 BMP with
// its outline file and a cross-reference list in a temporary data tree, a main window that
// records what it is sent, and mouse events sent straight to the window.
//
// Structures (columns, rows counted upward from the bottom):
//   0 "Herz"   20..59 x 20..59
//   1 "Lunge" 100..139 x 60..119
//   2 "Aorta" 110..129 x 80..99   (inside "Lunge": overlapping)

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/runtime_random.h"
#include "platform/core/scripted_message_service.h"
#include "shell/core/commands.h"
#include "shell/core/transfer_buffer.h"
#include "structures/core/outline_file.h"
#include "structures/ui/image_window.h"
#include "tests/support/image_samples.h"
#include "tests/support/outline_samples.h"
#include "tests/support/temp_tree.h"

namespace ostrelin::test {

// Records every command with the name in the transfer buffer, then releases the buffer as the
// main window does.
class RecordingMain : public CommandTarget {
 public:
  explicit RecordingMain(TransferBuffer& buffer) : buffer_(buffer) {}
  void SendCommand(int command) override {
    sent.emplace_back(command, buffer_.name);
    if (buffer_.busy) buffer_.Release();
  }
  std::vector<std::pair<int, std::string>> sent;

 private:
  TransferBuffer& buffer_;
};

class ImageWindowTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 200;
  static constexpr int kHeight = 160;

  void SetUp() override {
    BmpLayout layout;
    layout.width = kWidth;
    layout.height = kHeight;
    for (int r = 0; r < kHeight; ++r) {
      std::vector<std::uint8_t> row(size_t(kWidth) * 3);
      for (int c = 0; c < kWidth; ++c) {
        row[size_t(c) * 3] = std::uint8_t(c);
        row[size_t(c) * 3 + 1] = std::uint8_t(r);
        row[size_t(c) * 3 + 2] = 90;
      }
      layout.rows.push_back(std::move(row));
    }
    tree.Write("Bilder/Schnitt/brust.bmp", MakeBmp(layout));
    tree.Write("Bilder/Schnitt/ohne.bmp", MakeBmp(layout));  // no outline file
    OutlineFile outline{"Brust",
                        {Box(1, "Herz", 20, 59, 20, 59), Box(2, "Lunge", 100, 139, 60, 119),
                         Box(3, "Aorta", 110, 129, 80, 99)}};
    std::string bytes, error;
    ASSERT_TRUE(EncodeOutline(outline, bytes, error)) << error;
    tree.Write("Bilder/Schnitt/brust.dat", bytes);
    tree.Write("Daten/Objekte.LST", WithCrLf("Herz#Aorta & Lunge (CT)\n"));
  }

  // A window of `width` x `height` with no parent (full view then covers the screen).
  std::unique_ptr<ImageWindow> MakeWindow(int width = 420, int height = 320) {
    auto window = std::make_unique<ImageWindow>(
        nullptr, tree.DataPath(), QRect(0, 0, width, height), buffer, main, messages, random);
    window->show();
    return window;
  }
  std::unique_ptr<ImageWindow> LoadedWindow(int width = 420, int height = 320) {
    auto window = MakeWindow(width, height);
    EXPECT_TRUE(window->LoadImage("Bilder\\Schnitt\\brust.bmp", false));
    Paint(*window);
    return window;
  }

  static void Paint(ImageWindow& window) { (void)window.grab(); }

 public:
  // A window point over image pixel (column, row).
  static QPoint PointOf(const ImageWindow& window, int column, int row) {
    const JpgBild& image = *window.Image();
    const ClientSize client = window.Client();
    for (int y = kStripHeight; y < client.height; ++y) {
      for (int x = 0; x < client.width; ++x) {
        if (image.WindowPointToPixel(x - image.HorizontalMargin(), y + image.VerticalMargin()) ==
            ImagePoint{column, row}) {
          return {x, y};
        }
      }
    }
    ADD_FAILURE() << "pixel " << column << "," << row << " is not on screen";
    return {};
  }

  static void Mouse(QWidget& widget, QEvent::Type type, const QPoint& at,
                    Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons buttons = type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
  }
  static void Click(QWidget& widget, const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(widget, QEvent::MouseButtonPress, at, button);
    Mouse(widget, QEvent::MouseButtonRelease, at, button);
  }
  static void Key(QWidget& widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&widget, &press);
  }
  // Runs the deferred deletions of closed list windows.
  static void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }

 protected:
  // Commands sent with the given id, with their names.
  std::vector<std::string> NamesSent(int command) const {
    std::vector<std::string> names;
    for (const auto& [id, name] : main.sent) {
      if (id == command) names.push_back(name);
    }
    return names;
  }

  TempTree tree;
  TransferBuffer buffer;
  RecordingMain main{buffer};
  ScriptedMessageService messages;
  RuntimeRandom random{4711};
};

}  // namespace ostrelin::test
