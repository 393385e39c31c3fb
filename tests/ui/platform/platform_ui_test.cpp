// Widget tests of the shared Qt services: texts, message boxes, cursors, fonts, dialog units, the
// wait message, bitmaps and picture buttons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/core/wait_cursor.h"
#include "platform/ui/bitmap_store.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/make_font.h"
#include "platform/ui/picture_button.h"
#include "platform/ui/program_cursor.h"
#include "platform/ui/qt_cursor_service.h"
#include "platform/ui/qt_message_service.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/wait_message.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

QImage Solid(QColor colour, int width = 4, int height = 4) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// Colour of the button's pixel at `at` as it would appear on screen.
QColor Shown(QWidget& widget, QPoint at = {1, 1}) { return widget.grab().toImage().pixelColor(at); }

// ---------------------------------------------------------------------------------------------
// Texts

TEST(QtText, Cp1252SurvivesTheRoundTripThroughQString) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  EXPECT_EQ(FromQString(ToQString(all)), all);

  EXPECT_EQ(ToQString("Aufl\xF6sung \x80"), QString::fromUtf8("Auflösung €"));
  EXPECT_EQ(FromQString(QString::fromUtf8("Kn\u00F6chel \u03A9")),
            "Kn\xF6"
            "chel ?");
  EXPECT_EQ(ToQString(std::string_view("a\0b", 3)).size(), 3);
}

// ---------------------------------------------------------------------------------------------
// Message boxes: the box is inspected and answered from inside its own event loop.

class QtMessageServiceTest : public ::testing::Test {
 protected:
  // Runs `answer` on the box once it is up.
  void WhenShown(std::function<void(QMessageBox&)> answer) {
    QTimer::singleShot(0, [answer] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      answer(*box);
      if (box->isVisible()) box->done(-1);
    });
  }
  QtMessageService service_;
};

TEST_F(QtMessageServiceTest, YesNoBoxAnswersWithTheButtonPressed) {
  WhenShown([](QMessageBox& box) {
    EXPECT_EQ(box.icon(), QMessageBox::Question);
    EXPECT_EQ(box.text(), QString::fromUtf8("Die Auflösung ist sehr gering ! Beenden ?"));
    EXPECT_EQ(box.windowTitle(), "Ostrelin");
    EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "&Ja");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "&Nein");
    EXPECT_EQ(static_cast<QAbstractButton*>(box.defaultButton()), box.button(QMessageBox::Yes));
    box.button(QMessageBox::No)->click();
  });
  EXPECT_EQ(service_.Show(LoadText(text::kResolutionTooLow), MessageButtons::YesNo,
                          MessageIcon::Question),
            MessageAnswer::No);

  WhenShown([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
  EXPECT_EQ(service_.Show("Frage", MessageButtons::YesNo, MessageIcon::Question),
            MessageAnswer::Yes);

  // Closed without a button: the answer that changes nothing.
  WhenShown([](QMessageBox& box) { box.reject(); });
  EXPECT_EQ(service_.Show("Frage", MessageButtons::YesNo, MessageIcon::Question),
            MessageAnswer::No);
}

TEST_F(QtMessageServiceTest, OkBoxShowsCaptionIconAndTextAsPlainText) {
  WhenShown([](QMessageBox& box) {
    EXPECT_EQ(box.icon(), QMessageBox::Critical);
    EXPECT_EQ(box.windowTitle(), "Objekt");
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    EXPECT_EQ(box.text(), "<b>Kein</b> Speicher\nbei Add");
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
    box.button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(service_.Show("<b>Kein</b> Speicher\nbei Add", MessageButtons::Ok, MessageIcon::Stop,
                          "Objekt"),
            MessageAnswer::Ok);
}

// ---------------------------------------------------------------------------------------------
// Cursor

class QtCursorServiceTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(QApplication::overrideCursor(), nullptr); }

  static void MoveMouse(QWidget& widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
  }

  static Qt::CursorShape OverrideShape() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr ? cursor->shape() : Qt::BitmapCursor;
  }
};

TEST_F(QtCursorServiceTest, PlainOnOffShowsTheHourglassAndGivesTheCursorBack) {
  auto cursors = std::make_unique<QtCursorService>();
  WaitCursor wait(*cursors);
  wait(true);
  EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
  EXPECT_EQ(cursors->Current(), CursorShape::Wait);
  wait(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(cursors->Current(), CursorShape::Arrow);

  // A service going away takes its override with it.
  cursors->Show(CursorShape::Hand, false);
  EXPECT_EQ(OverrideShape(), Qt::PointingHandCursor);
  cursors.reset();
}

TEST_F(QtCursorServiceTest, NestedPairsLeaveTheHourglassUntilTheMouseMoves) {
  QWidget widget;
  widget.show();
  QtCursorService cursors;
  WaitCursor wait(cursors);

  wait(true);
  wait(true);
  wait(false);
  wait(false);
  QApplication::processEvents();
  EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
  EXPECT_EQ(cursors.Current(), CursorShape::Wait);

  // One mouse move ends it, so only one override was ever set.
  MoveMouse(widget);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(cursors.Current(), CursorShape::Arrow);

  // The watch is over: a later hourglass is not cut short by a mouse move.
  wait(true);
  MoveMouse(widget);
  EXPECT_EQ(OverrideShape(), Qt::WaitCursor);

  // Nor is one switched on again while a reset was pending.
  cursors.Show(CursorShape::Wait, true);
  cursors.Show(CursorShape::Wait, false);
  MoveMouse(widget);
  EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
  cursors.Show(CursorShape::Arrow, true);
}

// ---------------------------------------------------------------------------------------------
// Dialog units, fonts

TEST(DialogUnits, ConvertsQuartersAndEighthsOfTheBaseUnitsWithRounding) {
  const DialogUnits units(7, 13);
  EXPECT_EQ(units.ToPixels(QRect(4, 8, 48, 10)), QRect(7, 13, 84, 16));  // 16.25 -> 16
  EXPECT_EQ(units.ToPixelsX(2), 4);  // 3.5 rounds away from zero
  EXPECT_EQ(units.ToPixelsX(-2), -4);
  EXPECT_EQ(units.ToPixelsY(3), 5);  // 4.875
  EXPECT_EQ(units.ToPixels(QSize(0, 0)), QSize(0, 0));
}

TEST(MakeFont, PositiveHeightIsTheCellHeightOfTheArialFace) {
  for (const int height : {12, 16, 21, 30, 48}) {
    QFont font;
    ASSERT_TRUE(MakeFont(font, height, false));
    EXPECT_NEAR(QFontMetrics(font).height(), height, 1) << "cell height " << height;
    EXPECT_LT(font.pixelSize(), height);
  }
}

TEST(MakeFont, NegativeHeightIsTheEmHeightAndAttributesAreSet) {
  QFont font(QStringLiteral("DejaVu Serif"), 30);
  font.setItalic(true);
  font.setUnderline(true);
  ASSERT_TRUE(MakeFont(font, -18, true));
  EXPECT_EQ(font.pixelSize(), 18);
  EXPECT_EQ(font.weight(), QFont::Bold);
  EXPECT_FALSE(font.italic());
  EXPECT_FALSE(font.underline());
  EXPECT_EQ(font.family(), "Arial");
  // Arial itself is not installed here: the metric-compatible face stands in for it.
  EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans");

  ASSERT_TRUE(MakeFont(font, 0, false));
  EXPECT_EQ(font.weight(), QFont::Normal);
  EXPECT_EQ(font.pixelSize(), QFont().pixelSize());
  EXPECT_EQ(font.pointSize(), QFont().pointSize());
}

// ---------------------------------------------------------------------------------------------
// Wait message

class WaitMessageTest : public ::testing::Test {
 protected:
  void SetUp() override { WaitMessageService::Instance().Reset(); }
  void TearDown() override { WaitMessageService::Instance().Reset(); }
  WaitMessageService& service() { return WaitMessageService::Instance(); }
};

TEST_F(WaitMessageTest, FirstShowingIsCentredByTheParentsSizeFromTheScreenOrigin) {
  // Frameless, so that its screen rectangle is exactly its geometry.
  QWidget mainWindow(nullptr, Qt::FramelessWindowHint);
  mainWindow.setGeometry(100, 50, 800, 600);
  mainWindow.show();
  WaitMessage(true, &mainWindow);
  QWidget* window = service().Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  const QSize size = window->size();
  EXPECT_GT(size.width(), size.height());
  EXPECT_EQ(window->geometry(), QRect((800 - size.width()) / 2, (600 - size.height()) / 2,
                                      size.width(), size.height()));
  EXPECT_EQ(service().RememberedRect(), window->geometry());

  const auto* label = window->findChild<QLabel*>();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "Bitte warten...");
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
  WaitMessage(false, &mainWindow);
}

TEST_F(WaitMessageTest, LaterShowingsKeepThePlaceWhateverTheParent) {
  QWidget first;
  first.setGeometry(0, 0, 1024, 768);
  QWidget other;
  other.setGeometry(300, 200, 200, 100);

  WaitMessage(true, &first);
  const QRect place = service().Window()->geometry();
  WaitMessage(false, &first);
  EXPECT_EQ(service().Window(), nullptr);

  WaitMessage(true, &other);
  ASSERT_NE(service().Window(), nullptr);
  EXPECT_EQ(service().Window()->geometry(), place);
  EXPECT_EQ(service().Window()->parentWidget(), &other);
  WaitMessage(false, &other);
}

TEST_F(WaitMessageTest, RepeatedCallsChangeNothing) {
  QWidget parent;
  parent.resize(640, 480);
  WaitMessage(false, &parent);  // off while absent
  EXPECT_EQ(service().Window(), nullptr);

  WaitMessage(true, &parent);
  QPointer<QWidget> first = service().Window();
  WaitMessage(true, nullptr);  // on while shown: the same window stays
  EXPECT_EQ(service().Window(), first.data());
  EXPECT_EQ(parent.findChildren<QFrame*>(Qt::FindDirectChildrenOnly).size(), 1);

  WaitMessage(false, &parent);
  EXPECT_TRUE(first.isNull());
  WaitMessage(false, &parent);
  EXPECT_EQ(service().Window(), nullptr);
}

TEST_F(WaitMessageTest, ParentDestroyedWithTheMessageUpLeavesNoDanglingWindow) {
  auto parent = std::make_unique<QWidget>();
  parent->resize(640, 480);
  WaitMessage(true, parent.get());
  parent.reset();
  EXPECT_EQ(service().Window(), nullptr);
  WaitMessage(false, nullptr);
  WaitMessage(true, nullptr);  // a new one can be shown again, at the remembered place
  ASSERT_NE(service().Window(), nullptr);
  EXPECT_EQ(service().Window()->geometry(), service().RememberedRect());
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

class BitmapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BitmapStore& store = BitmapStore::Instance();
    store.Clear();
    store.Register("NORMAL", Solid(Qt::red));
    store.Register("pressed", Solid(Qt::green));
    store.Register("Focus", Solid(Qt::blue));
    store.Register("DISABLED", Solid(Qt::gray));
    store.Register("Tall", Solid(Qt::yellow, 3, 7));
  }
  void TearDown() override { BitmapStore::Instance().Clear(); }
};

TEST_F(BitmapTest, NamesCompareWithAsciiLettersFolded) {
  EXPECT_EQ(LoadBitmap("normal").pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(LoadBitmap("PRESSED").pixelColor(0, 0), QColor(Qt::green));
  EXPECT_TRUE(LoadBitmap("absent").isNull());
  EXPECT_TRUE(LoadBitmap("").isNull());

  BitmapStore::Instance().Register("normal", QImage());  // null removes
  EXPECT_TRUE(LoadBitmap("NORMAL").isNull());

  EXPECT_EQ(BitmapSize(LoadBitmap("tall")), QSize(3, 7));
  EXPECT_EQ(BitmapSize(QImage()), QSize(0, 0));
}

TEST_F(BitmapTest, LoadByTextIdUsesTheStringTableName) {
  QImage bitmap = Solid(Qt::black);
  BitmapStore::Instance().Register(LoadText(text::kProgramName), Solid(Qt::cyan));
  ASSERT_TRUE(LoadBitmapByTextId(bitmap, text::kProgramName));
  EXPECT_EQ(bitmap.pixelColor(0, 0), QColor(Qt::cyan));

  // A missing resource or string-table entry leaves the bitmap as it was.
  EXPECT_FALSE(LoadBitmapByTextId(bitmap, text::kLoading));
  EXPECT_FALSE(LoadBitmapByTextId(bitmap, 999999));
  EXPECT_EQ(bitmap.pixelColor(0, 0), QColor(Qt::cyan));
}

// ---------------------------------------------------------------------------------------------
// Picture buttons

class PictureButtonTest : public BitmapTest {
 protected:
  QWidget parent_;
};

TEST_F(PictureButtonTest, ChoosesTheFaceForItsState) {
  PictureButton button("Schnitt", QRect(0, 0, 8, 8), &parent_, 9025);
  ASSERT_TRUE(button.LoadBitmaps("normal", "pressed", "focus", "disabled"));
  EXPECT_EQ(Shown(button), QColor(Qt::red));

  button.setDown(true);
  EXPECT_EQ(Shown(button), QColor(Qt::green));
  button.setDown(false);

  button.setEnabled(false);
  EXPECT_EQ(Shown(button), QColor(Qt::gray));
  // Pressed wins over disabled when both apply.
  button.setDown(true);
  EXPECT_EQ(Shown(button), QColor(Qt::green));
}

TEST_F(PictureButtonTest, FocusShowsTheFocusFaceOnlyWhenThereIsOne) {
  parent_.resize(40, 20);
  PictureButton withFocusFace("A", QRect(0, 0, 8, 8), &parent_, 1);
  PictureButton withoutFocusFace("B", QRect(10, 0, 8, 8), &parent_, 2);
  ASSERT_TRUE(withFocusFace.LoadBitmaps("normal", "pressed", "focus"));
  ASSERT_TRUE(withoutFocusFace.LoadBitmaps("normal", "pressed"));
  parent_.show();
  QApplication::setActiveWindow(&parent_);

  withFocusFace.setFocus();
  ASSERT_TRUE(withFocusFace.hasFocus());
  EXPECT_EQ(Shown(withFocusFace), QColor(Qt::blue));

  withoutFocusFace.setFocus();
  ASSERT_TRUE(withoutFocusFace.hasFocus());
  EXPECT_EQ(Shown(withoutFocusFace), QColor(Qt::red));
  EXPECT_EQ(Shown(withFocusFace), QColor(Qt::red));
}

TEST_F(PictureButtonTest, StretchesTheBitmapOverTheWholeButton) {
  QImage quarters(2, 2, QImage::Format_RGB32);
  quarters.setPixelColor(0, 0, Qt::red);
  quarters.setPixelColor(1, 0, Qt::green);
  quarters.setPixelColor(0, 1, Qt::blue);
  quarters.setPixelColor(1, 1, Qt::yellow);
  BitmapStore::Instance().Register("QUARTERS", quarters);

  PictureButton button("", QRect(5, 5, 60, 40), &parent_, 1);
  ASSERT_TRUE(button.LoadBitmaps("quarters"));
  const QImage shot = button.grab().toImage();
  ASSERT_EQ(shot.size(), QSize(60, 40));
  EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(29, 19), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(30, 0), QColor(Qt::green));
  EXPECT_EQ(shot.pixelColor(59, 19), QColor(Qt::green));
  EXPECT_EQ(shot.pixelColor(0, 39), QColor(Qt::blue));
  EXPECT_EQ(shot.pixelColor(59, 39), QColor(Qt::yellow));
  EXPECT_EQ(button.sizeHint(), QSize(2, 2));
}

TEST_F(PictureButtonTest, FailedLoadReportsAndDropsTheOldFaces) {
  PictureButton button("", QRect(0, 0, 8, 8), &parent_, 1);
  parent_.setAutoFillBackground(true);
  QPalette palette = parent_.palette();
  palette.setColor(QPalette::Window, Qt::magenta);
  parent_.setPalette(palette);
  parent_.resize(20, 20);

  ASSERT_TRUE(button.LoadBitmaps("normal", "pressed"));
  // Missing normal face: nothing is drawn, the parent shows through.
  EXPECT_FALSE(button.LoadBitmaps("absent", "pressed"));
  EXPECT_EQ(parent_.grab().toImage().pixelColor(2, 2), QColor(Qt::magenta));
  button.setDown(true);
  EXPECT_EQ(parent_.grab().toImage().pixelColor(2, 2), QColor(Qt::magenta));
  button.setDown(false);

  // A given optional face that is missing fails the call; the faces that loaded are used.
  EXPECT_FALSE(button.LoadBitmaps("normal", "absent", "", "disabled"));
  EXPECT_EQ(Shown(button), QColor(Qt::red));
  button.setDown(true);
  EXPECT_EQ(Shown(button), QColor(Qt::red));  // the old pressed face is gone
  button.setEnabled(false);
  button.setDown(false);
  EXPECT_EQ(Shown(button), QColor(Qt::gray));
}

TEST_F(PictureButtonTest, ClickAnnouncesTheCommandIdentifier) {
  PictureButton button("Index", QRect(10, 20, 30, 15), &parent_, 9024);
  EXPECT_EQ(button.geometry(), QRect(10, 20, 30, 15));
  EXPECT_EQ(button.text(), "Index");
  std::vector<int> commands;
  QObject::connect(&button, &PictureButton::command,
                   [&commands](int id) { commands.push_back(id); });
  button.click();
  EXPECT_EQ(commands, std::vector<int>{9024});
}

}  // namespace
}  // namespace ostrelin

namespace ostrelin {
namespace {

TEST(ProgramCursor, RegisteredCursorWinsAndCarriesItsHotSpot) {
  // A registered bitmap comes before the compiled-in artwork (whose absence, and the stand-ins
  // then, artwork_test checks).
  QImage drawn(32, 32, QImage::Format_ARGB32);
  drawn.fill(Qt::transparent);
  drawn.setPixel(31, 31, qRgba(255, 0, 0, 255));
  BitmapStore::Instance().Register("cursor4026", drawn);
  const QCursor cursor = ProgramCursor(cursor_id::kLink);
  EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
  EXPECT_EQ(cursor.hotSpot(), QPoint(10, 2));
  EXPECT_EQ(cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32).pixel(31, 31),
            qRgba(255, 0, 0, 255));
  BitmapStore::Instance().Register("CURSOR4026", {});

  EXPECT_EQ(ProgramCursor(1).shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace ostrelin
