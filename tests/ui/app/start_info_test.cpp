// The start dialog and the about box on the offscreen platform: texts, captions, buttons, the
// switch between picture, text and quick overview, and the order of the about dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <vector>

#include "app/about.h"
#include "app/start_info.h"
#include "platform/ui/bitmap_store.h"
#include "platform/ui/picture_button.h"
#include "platform/ui/qt_text.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

QImage Solid(QColor colour, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

class StartInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BitmapStore& store = BitmapStore::Instance();
    store.Register("INFOBMP", Solid(Qt::red, 335, 335));
    store.Register("HELPBMP", Solid(Qt::blue, 335, 335));
    store.Register("KV_LOGO", Solid(Qt::green, 146, 46));
    store.Register("KV_LOGOD", Solid(Qt::darkGreen, 146, 46));
  }
  void TearDown() override {
    for (const char* name : {"INFOBMP", "HELPBMP", "KV_LOGO", "KV_LOGOD"}) {
      BitmapStore::Instance().Register(name, QImage());
    }
  }
  // Lets the buttons the dialog dropped be deleted.
  static void Settle() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  test::TempTree tree_;
};

TEST_F(StartInfoTest, OpensWithThePictureTheCreditsAndTheLogo) {
  StartInfo dialog(nullptr, tree_.DataPath());
  EXPECT_EQ(dialog.windowTitle(), "Ostrelin");
  EXPECT_EQ(dialog.StartButton()->text(), "&Programmstart");
  EXPECT_EQ(dialog.OverviewButton()->text(), QString::fromUtf8("&Schnellübersicht"));
  EXPECT_TRUE(dialog.OverviewButton()->isDefault());
  EXPECT_TRUE(dialog.OverviewButton()->isEnabled());
  EXPECT_TRUE(dialog.Credits()->text().startsWith("Willkommen"));
  EXPECT_TRUE(dialog.Credits()->text().contains(QString::fromUtf8(
      "\n\nkarvolen – der interaktive Atlas der Schnittanatomie für die Lehre\n")));
  EXPECT_TRUE(dialog.TextField()->isHidden());
  EXPECT_TRUE(dialog.TextField()->isReadOnly());

  ASSERT_NE(dialog.Picture(), nullptr);
  EXPECT_EQ(dialog.Picture()->text(), "Info");
  EXPECT_EQ(dialog.Picture()->CommandId(), StartInfo::kPictureId);
  EXPECT_EQ(dialog.Picture()->geometry(), QRect(15, 15, 335, 335));
  EXPECT_EQ(dialog.Picture()->grab().toImage().pixelColor(100, 100), QColor(Qt::red));

  // The logo: centred on the frame, halfway down the gap between frame and buttons.
  ASSERT_NE(dialog.Logo(), nullptr);
  const QRect frame = dialog.Frame()->geometry();
  const QRect logo = dialog.Logo()->geometry();
  EXPECT_EQ(logo.size(), QSize(146, 46));
  EXPECT_EQ(logo.left(), frame.left() + (frame.width() - 146) / 2);
  const int gapTop = frame.top() + frame.height();
  EXPECT_EQ(logo.top(), gapTop + (dialog.OverviewButton()->geometry().top() - gapTop - 46) / 2);
}

TEST_F(StartInfoTest, PictureTextAndQuickOverviewTakeTurns) {
  tree_.Write("Texte/Other/Info.TXT", "Bedienung\r\n\r\n  <b>keine Auszeichnung</b>\nEnde");
  StartInfo dialog(nullptr, tree_.DataPath());

  dialog.Picture()->click();
  Settle();
  EXPECT_EQ(dialog.Picture(), nullptr);
  EXPECT_EQ(dialog.InfoText(), "Bedienung\r\n\r\n  <b>keine Auszeichnung</b>\r\nEnde\r\n");
  EXPECT_FALSE(dialog.TextField()->isHidden());
  EXPECT_EQ(dialog.TextField()->toPlainText(), "Bedienung\n\n  <b>keine Auszeichnung</b>\nEnde\n");

  dialog.OverviewButton()->click();
  Settle();
  ASSERT_NE(dialog.Picture(), nullptr);
  EXPECT_EQ(dialog.Picture()->text(), "Hilfe");
  EXPECT_EQ(dialog.Picture()->geometry(), QRect(15, 15, 335, 335));
  EXPECT_EQ(dialog.Picture()->grab().toImage().pixelColor(100, 100), QColor(Qt::blue));
  EXPECT_FALSE(dialog.OverviewButton()->isEnabled());
  EXPECT_TRUE(dialog.TextField()->isHidden());

  dialog.Picture()->click();  // the quick overview leads back to the text
  Settle();
  EXPECT_EQ(dialog.Picture(), nullptr);
  EXPECT_TRUE(dialog.OverviewButton()->isEnabled());
  EXPECT_FALSE(dialog.TextField()->isHidden());
}

TEST_F(StartInfoTest, MissingInfoTextNamesThePath) {
  StartInfo dialog(nullptr, tree_.DataPath());
  dialog.Picture()->click();
  const std::string path = tree_.DataPath() + "Texte\\Other\\Info.TXT";
  EXPECT_EQ(dialog.InfoText(), "Datei nicht gefunden: \r\n\r\n[" + path + "] !?!\r\n");
  const QStringList lines = dialog.TextField()->toPlainText().split('\n');
  ASSERT_GE(lines.size(), 3);
  EXPECT_EQ(lines[0], "Datei nicht gefunden: ");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "[" + ToQString(path) + "] !?!");
}

TEST_F(StartInfoTest, ProgrammstartEscapeAndTheLogoClose) {
  for (int way = 0; way < 3; ++way) {
    StartInfo dialog(nullptr, tree_.DataPath());
    QTimer::singleShot(0, &dialog, [&dialog, way] {
      if (way == 0) dialog.StartButton()->click();
      if (way == 1) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &escape);
      }
      if (way == 2) dialog.Logo()->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected) << "way " << way;
    EXPECT_FALSE(dialog.isVisible());
    Settle();
    EXPECT_EQ(dialog.Picture(), nullptr);
    EXPECT_EQ(dialog.Logo(), nullptr);
  }
}

TEST_F(StartInfoTest, EnterShowsTheQuickOverviewAndKeepsTheDialogOpen) {
  StartInfo dialog(nullptr, tree_.DataPath());
  dialog.show();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &enter);
  Settle();
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_NE(dialog.Picture(), nullptr);
  EXPECT_EQ(dialog.Picture()->text(), "Hilfe");
}

TEST_F(StartInfoTest, MissingBitmapsLeaveWorkingButtons) {
  TearDown();
  StartInfo dialog(nullptr, tree_.DataPath());
  ASSERT_NE(dialog.Picture(), nullptr);
  dialog.Picture()->click();
  EXPECT_FALSE(dialog.TextField()->isHidden());
}

// ---------------------------------------------------------------------------------------------

TEST(AboutDialogs, CaptionsTextsAndButtons) {
  UeberKarvolen about;
  EXPECT_EQ(about.windowTitle(), QString::fromUtf8("Über Karvolen..."));
  EXPECT_EQ(about.NamesButton()->text(), "&Namen");
  EXPECT_TRUE(about.NamesButton()->isDefault());
  EXPECT_TRUE(about.Credits()->text().contains("Ostrelin"));
  EXPECT_TRUE(about.Credits()->text().contains(
      QString::fromUtf8("karvolen – interaktiver Atlas der Schnittanatomie für die Lehre\n")));
  EXPECT_EQ(about.Credits()->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

  WhoIsWho names;
  EXPECT_EQ(names.windowTitle(), "Die Namen aller Beteiligten...");
  EXPECT_EQ(names.OkButton()->text(), "&OK");
  EXPECT_TRUE(names.OkButton()->isDefault());
  for (int i = 0; i < 4; ++i) {
    EXPECT_FALSE(names.Block(i)->text().isEmpty());
    EXPECT_EQ(names.Block(i)->isEnabled(), i % 2 == 1) << i;  // the headings are grey
  }
  EXPECT_LT(names.Block(0)->geometry().top(), names.Block(1)->geometry().top());
  EXPECT_LT(names.Block(2)->geometry().top(), names.Block(3)->geometry().top());
}

TEST(AboutDialogs, TheNamesFollowHoweverTheAboutBoxWasClosed) {
  for (bool escape : {false, true}) {
    std::vector<QString> shown;
    // Closes each modal dialog as it comes up: the about box by Escape or "&Namen", the names by
    // "&OK".
    std::function<void()> closeNext = [&] {
      QWidget* modal = QApplication::activeModalWidget();
      auto* dialog = qobject_cast<QDialog*>(modal);
      if (!dialog) {
        QTimer::singleShot(5, closeNext);
        return;
      }
      shown.push_back(dialog->windowTitle());
      if (auto* about = qobject_cast<UeberKarvolen*>(dialog)) {
        if (escape) {
          QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
          QApplication::sendEvent(about, &key);
        } else {
          about->NamesButton()->click();
        }
        QTimer::singleShot(0, closeNext);
      } else if (auto* names = qobject_cast<WhoIsWho*>(dialog)) {
        names->OkButton()->click();
      }
    };
    QTimer::singleShot(0, closeNext);
    ShowAbout(nullptr);
    ASSERT_EQ(shown.size(), 2u) << "escape " << escape;
    EXPECT_EQ(shown[0], QString::fromUtf8("Über Karvolen..."));
    EXPECT_EQ(shown[1], "Die Namen aller Beteiligten...");
  }
}

}  // namespace
}  // namespace ostrelin
