#include "navigation/ui/navigation_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "navigation/ui/step_control_widget.h"
#include "platform/core/design_scale.h"
#include "platform/ui/bitmap_store.h"
#include "platform/ui/picture_button.h"
#include "shell/core/commands.h"
#include "shell/core/transfer_buffer.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::TempTree;
using test::WithCrLf;

const QColor kGround(160, 160, 160);  // the pictograms' grey
const QColor kBlue(0, 0, 255);

QImage Solid(const QColor& colour, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// The main window: a log of commands with the plane name they carried; the buffer is freed after
// each, as the main window does.
class LoggingMainWindow : public CommandTarget {
 public:
  LoggingMainWindow(TransferBuffer& buffer, std::vector<std::string>& log)
      : buffer_(buffer), log_(log) {}
  void SendCommand(int command) override {
    log_.push_back(std::to_string(command) + (buffer_.busy ? " " + buffer_.name : ""));
    buffer_.Release();
  }

 private:
  TransferBuffer& buffer_;
  std::vector<std::string>& log_;
};

// Stand-in artwork, registered before the panel loads its button faces.
struct Artwork {
  Artwork() {
    BitmapStore& store = BitmapStore::Instance();
    for (const char* name : {"SM_AUSW", "SM_KOPF", "SM_ARM", "SM_BEIN", "SM_RUMPF", "SF_RUMPF"}) {
      store.Register(name, Solid(kGround, 192, 355));
    }
    store.Register("FEMALE_UP", Solid(Qt::red, 48, 48));
    store.Register("MALE_UP", Solid(Qt::cyan, 48, 48));
    for (const char* name : {"FEMALE_DOWN", "MALE_DOWN", "ENTER_UP", "ENTER_DOWN", "KOPF_UP",
                             "RUMPF_UP", "ARM_UP", "BEIN_UP"}) {
      store.Register(name, Solid(Qt::darkGray, 48, 48));
    }
    store.Register("UP_UP", Solid(Qt::yellow, 48, 24));
    store.Register("LEFT_UP", Solid(Qt::magenta, 48, 24));
    for (const char* name :
         {"UP_DOWN", "DOWN_UP", "DOWN_DOWN", "LEFT_DOWN", "RIGHT_UP", "RIGHT_DOWN"}) {
      store.Register(name, Solid(Qt::darkGray, 48, 24));
    }
  }
  ~Artwork() { BitmapStore::Instance().Clear(); }
};

class NavigationPanelTest : public ::testing::Test {
 protected:
  NavigationPanelTest() {
    tree_.Write("Daten/SM_KOPF.POS", WithCrLf("Scheitel#20\nAuge#50\nKinn#80\n"));
    tree_.Write("Daten/SM_RUMPF.POS", WithCrLf("Herz#30\nLeber#50\n"));
    tree_.Write("Daten/SF_RUMPF.POS", WithCrLf("Brust w#20\nBauch w#50\nBecken w#80\n"));
    tree_.Write("Daten/SM_ARM.POS", WithCrLf("VERTICAL\nElle#50\n"));
    CurrentDesignScale() = DesignScale();
    parent_.resize(400, 600);
  }

  void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint at) {
    QMouseEvent event(type, QPointF(at), QPointF(panel_.mapToGlobal(at)), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(&panel_, &event);
  }
  void Wheel(int angle, bool inverted = false, bool horizontal = false) {
    const QPoint delta = horizontal ? QPoint(angle, 0) : QPoint(0, angle);
    QWheelEvent event(QPointF(50, 50), QPointF(50, 50), QPoint(), delta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, inverted);
    QApplication::sendEvent(&panel_, &event);
  }
  std::vector<std::string> TakeLog() { return std::exchange(log_, {}); }

  Artwork artwork_;
  TempTree tree_;
  TransferBuffer buffer_;
  std::vector<std::string> log_;
  LoggingMainWindow main_{buffer_, log_};
  QWidget parent_;
  NavigationPanel panel_{&parent_, tree_.DataPath(), buffer_, main_, QRect(0, 0, 205, 549)};
};

TEST_F(NavigationPanelTest, ButtonsAreLaidOutFromThePanelSizeInCreationOrder) {
  EXPECT_EQ(panel_.HeadButton()->geometry(), QRect(6, 437, 48, 51));
  EXPECT_EQ(panel_.TrunkButton()->geometry(), QRect(54, 437, 48, 51));
  EXPECT_EQ(panel_.ArmButton()->geometry(), QRect(102, 437, 48, 51));
  EXPECT_EQ(panel_.LegButton()->geometry(), QRect(150, 437, 48, 51));
  EXPECT_EQ(panel_.SexButton()->geometry(), QRect(6, 493, 48, 51));
  EXPECT_EQ(panel_.Steps()->geometry(), QRect(78, 493, 48, 51));
  EXPECT_EQ(panel_.ConfirmButton()->geometry(), QRect(150, 493, 48, 51));
  EXPECT_EQ(panel_.Steps()->UpperButton()->geometry(), QRect(0, 0, 48, 25));
  EXPECT_EQ(panel_.Steps()->LowerButton()->geometry(), QRect(0, 26, 48, 25));

  const std::vector<QObject*> expected = {
      panel_.Steps(),       panel_.SexButton(), panel_.ConfirmButton(), panel_.HeadButton(),
      panel_.TrunkButton(), panel_.ArmButton(), panel_.LegButton()};
  EXPECT_EQ(std::vector<QObject*>(panel_.children().begin(), panel_.children().end()), expected);

  parent_.show();            // a hidden widget is resized only when it is shown
  panel_.resize(410, 1098);  // a screen twice the size
  EXPECT_EQ(panel_.Steps()->geometry(), QRect(157, 991, 96, 102));
  EXPECT_EQ(panel_.Steps()->LowerButton()->geometry(), QRect(0, 52, 96, 51));
}

TEST_F(NavigationPanelTest, PaintsNothingBeforeTheFirstSelection) {
  const QImage before = panel_.grab(QRect(0, 0, 205, 400)).toImage();
  const QRgb ground = before.pixel(0, 0);
  for (int y = 0; y < before.height(); y += 3) {
    for (int x = 0; x < before.width(); x += 3) ASSERT_EQ(before.pixel(x, y), ground);
  }
  EXPECT_TRUE(panel_.PictogramWithPlanes().isNull());
}

TEST_F(NavigationPanelTest, PaintShowsTheBlueSelectedLineStretchedOverTheUpperThreeQuarters) {
  panel_.SelectFromPage(0, 1, "Auge");
  const QImage shot = panel_.grab().toImage();
  // Bitmap rows 175 and 176 (50 x 353 / 100 and the one above) stretched from 355 to 411 rows.
  std::vector<int> blueRows;
  for (int y = 0; y < shot.height(); ++y) {
    if (shot.pixelColor(100, y) == kBlue) blueRows.push_back(y);
  }
  ASSERT_FALSE(blueRows.empty());
  EXPECT_GE(blueRows.front(), 175 * 411 / 355);
  EXPECT_LE(blueRows.back(), 177 * 411 / 355);
  // The pictogram ends at row 411; the ground and the lines fill the width.
  EXPECT_EQ(shot.pixelColor(204, 300), kGround);
  EXPECT_NE(shot.pixelColor(100, 420), kGround);

  // The caption names the plane in blue at the top left.
  bool blueCaption = false;
  for (int y = 5; y < 21 && !blueCaption; ++y) {
    for (int x = 5; x < 60 && !blueCaption; ++x) blueCaption = shot.pixelColor(x, y) == kBlue;
  }
  EXPECT_TRUE(blueCaption);

  // The pictogram in memory: dots in black, the blue line two rows wide.
  const QImage pictogram = panel_.PictogramWithPlanes();
  EXPECT_EQ(pictogram.pixelColor(20, 70), QColor(Qt::black));
  EXPECT_EQ(pictogram.pixelColor(21, 70), kGround);
  EXPECT_EQ(pictogram.pixelColor(100, 176), kBlue);
  EXPECT_EQ(pictogram.pixelColor(100, 175), kBlue);
  EXPECT_EQ(pictogram.pixelColor(100, 177), kGround);
}

TEST_F(NavigationPanelTest, TheSexButtonShowsTheOtherSexAndTheArrowsTheOrientation) {
  const auto face = [](QWidget* w) { return w->grab().toImage().pixelColor(10, 10); };
  panel_.SelectFromPage(0, 4, "Leber");
  EXPECT_EQ(face(panel_.SexButton()), QColor(Qt::red));
  panel_.SexButton()->click();
  EXPECT_EQ(panel_.State().PictogramResource(), "SF_RUMPF");
  EXPECT_EQ(face(panel_.SexButton()), QColor(Qt::cyan));
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"9059 Bauch w"});
  EXPECT_EQ(face(panel_.Steps()->UpperButton()), QColor(Qt::yellow));

  panel_.ArmButton()->click();  // vertical planes: left and right arrows; male again
  EXPECT_EQ(face(panel_.Steps()->UpperButton()), QColor(Qt::magenta));
  EXPECT_EQ(face(panel_.SexButton()), QColor(Qt::red));
}

TEST_F(NavigationPanelTest, ArrowsAndWheelStepRoundTheSeries) {
  panel_.SelectFromPage(0, 1, "Kinn");
  int notifications = 0;
  QObject::connect(panel_.Steps(), &StepControlWidget::command, [&notifications](int id) {
    EXPECT_EQ(id, 9044);
    ++notifications;
  });
  panel_.Steps()->UpperButton()->click();
  panel_.Steps()->LowerButton()->click();
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"9059 Scheitel", "9059 Kinn"}));

  Wheel(120);   // one notch away from the user: the upper arrow
  Wheel(-240);  // two notches back
  Wheel(60);    // half a notch does nothing yet
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"9059 Scheitel", "9059 Kinn", "9059 Auge"}));
  EXPECT_EQ(panel_.State().SelectedName(), "Auge");
  EXPECT_EQ(notifications, 5);

  // The same hand movement where the system reverses scrolling, and on a horizontal wheel (top to
  // the left): each is the upper arrow, the next plane of the list.
  Wheel(60);  // completes the half notch above: Kinn
  Wheel(-120, true);
  Wheel(120, false, true);
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"9059 Kinn", "9059 Scheitel", "9059 Auge"}));
}

TEST_F(NavigationPanelTest, ClicksPickDoubleClicksOpenAndRightClicksSwitch) {
  panel_.SelectFromPage(0, 1, "Scheitel");
  panel_.grab();  // a paint records the panel's size in design units
  // "Auge" lies at 50 % of 411 = row 205.
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(100, 210));
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"9059 Auge"});
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(100, 210));
  Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(100, 330));  // "Kinn" at 328
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"9059 Kinn", "9034 Kinn"}));
  EXPECT_EQ(panel_.State().ShownMark().index, 2);

  panel_.HeadButton()->click();  // the selection is hidden: confirm opens nothing
  TakeLog();
  panel_.ConfirmButton()->click();
  EXPECT_TRUE(TakeLog().empty());

  Mouse(QEvent::MouseButtonPress, Qt::RightButton, QPoint(5, 5));
  EXPECT_EQ(TakeLog(), std::vector<std::string>{std::to_string(CommandId(Command::kTogglePanel))});
  EXPECT_TRUE(panel_.State().SelectionShown());
}

TEST_F(NavigationPanelTest, DisabledControlsIgnoreButtonsAndWheelButThePictogramStillPicks) {
  panel_.SelectFromPage(0, 1, "Scheitel");
  panel_.grab();
  panel_.EnableControls(false);
  panel_.Steps()->UpperButton()->click();
  panel_.HeadButton()->click();
  panel_.SexButton()->click();
  Wheel(120);
  EXPECT_TRUE(TakeLog().empty());
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(100, 330));
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"9059 Kinn"});
  panel_.EnableControls(true);
  panel_.ConfirmButton()->click();
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"9034 Kinn"});
}

TEST_F(NavigationPanelTest, RightClickWithoutAnyPlaneStillSwitches) {
  Mouse(QEvent::MouseButtonPress, Qt::RightButton, QPoint(100, 100));
  EXPECT_EQ(TakeLog(), std::vector<std::string>{std::to_string(CommandId(Command::kTogglePanel))});
}

}  // namespace
}  // namespace ostrelin
