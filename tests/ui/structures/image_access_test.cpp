// Saving and copying the picture of the image window, and its keyboard access: Tab and
// Shift+Tab through the structures, Enter, Escape, and what screen readers are told.
#include <QAccessible>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>

#include "structures/core/image_access.h"
#include "structures/ui/child_frame.h"
#include "tests/ui/structures/image_window_testing.h"

namespace ostrelin::test {
namespace {

QColor PixelOfImage(const QImage& picture, int column, int row, int zoom) {
  // Image pixel (column, row), rows upward, at an integral zoom: the block's bottom-left pixel.
  return picture.pixelColor(column * zoom, picture.height() - 1 - row * zoom);
}

class ImageAccessTest : public ImageWindowTest {
 protected:
  // The window at zoom 2 with "Herz" highlighted by a click.
  std::unique_ptr<ImageWindow> ZoomedWithHeart() {
    auto window = LoadedWindow();
    window->ZoomBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    Paint(*window);
    Click(*window, PointOf(*window, 40, 40));
    Paint(*window);
    return window;
  }
};

TEST_F(ImageAccessTest, SavingWritesTheWholeImageAtTheZoomWithOutlineAndNameBand) {
  auto window = ZoomedWithHeart();
  window->ShowsPage("Brust/Herz", 0);
  QString offered;
  QString answer = QString::fromStdString((tree.Root() / "bild").string());  // no extension: PNG
  window->SetFileChooser([&](const QString& suggested) {
    offered = suggested;
    return answer;
  });
  Key(*window, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(offered, "Brust_Herz.png");
  EXPECT_TRUE(messages.shown.empty());

  const QImage saved(QString::fromStdString((tree.Root() / "bild.png").string()));
  ASSERT_FALSE(saved.isNull());
  // The whole image, not the 420 x 320 window's part of it.
  EXPECT_EQ(saved.size(), QSize(2 * kWidth, 2 * kHeight));
  const QColor green(0, 255, 0);
  // The outline of "Herz" (20..59 x 20..59): its bottom row is green, inside and outside not.
  EXPECT_EQ(PixelOfImage(saved, 30, 20, 2), green);
  EXPECT_EQ(PixelOfImage(saved, 60, 40, 2), green);  // the right side, just outside
  EXPECT_EQ(PixelOfImage(saved, 40, 40, 2), QColor(90, 40, 40));
  EXPECT_EQ(PixelOfImage(saved, 30, 19, 2), QColor(90, 19, 30));
  // The name band along the bottom edge: light, with dark letters in it.
  const NameBand band = LayOutNameBand(saved.width(), saved.height(), 1);
  EXPECT_EQ(saved.pixelColor(1, saved.height() - 2), QColor(0xF4, 0xF4, 0xF0));
  int dark = 0;
  for (int y = band.band.top - 20; y < saved.height(); ++y) {
    for (int x = 0; x < saved.width(); ++x) dark += saved.pixelColor(x, y).lightness() < 60;
  }
  EXPECT_GT(dark, 10);

  // Copying puts the same picture on the clipboard.
  Key(*window, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
            saved.convertToFormat(QImage::Format_RGB32));

  // A JPEG by its extension.
  answer = QString::fromStdString((tree.Root() / "bild.JPG").string());
  window->Command(image_cmd::kSavePicture);
  QFile jpeg(answer);
  ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
  EXPECT_TRUE(jpeg.read(2) == QByteArray("\xFF\xD8", 2));
}

TEST_F(ImageAccessTest, AFileThatCannotBeWrittenIsNamedAndNothingElseChanges) {
  auto window = ZoomedWithHeart();
  const std::string path = (tree.Root() / "fehlt/bild.png").string();  // its folder does not exist
  window->SetFileChooser([&](const QString&) { return QString::fromStdString(path); });
  main.sent.clear();
  window->Command(image_cmd::kSavePicture);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Folgende Datei konnte nicht geschrieben werden: " + path);
  EXPECT_EQ(window->HighlightText(), "Herz");
  EXPECT_TRUE(main.sent.empty());
  // Cancelling the dialog does nothing at all.
  window->SetFileChooser([](const QString&) { return QString(); });
  window->Command(image_cmd::kSavePicture);
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(ImageAccessTest, TabStepsThroughTheStructuresInNameOrderEnterAndEscape) {
  auto window = LoadedWindow();
  for (int step = 0; step < 2; ++step) {  // zoom 3, so that centring moves the view
    window->ZoomBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  }
  Paint(*window);
  window->setFocus(Qt::TabFocusReason);
  main.sent.clear();
  Key(*window, Qt::Key_Tab);
  EXPECT_EQ(window->HighlightText(), "Aorta");
  EXPECT_EQ(window->PointedNames(), "Aorta");
  const Punkteliste& aorta = *window->Objects()->At(2).outline;
  EXPECT_EQ(window->Image()->Centre(), (ImagePoint{aorta.CentreColumn(), aorta.CentreRow()}));
  Key(*window, Qt::Key_Tab);
  EXPECT_EQ(window->HighlightText(), "Herz");
  Key(*window, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(window->HighlightText(), "Aorta");
  EXPECT_EQ(NamesSent(CommandId(Command::kStructureHighlighted)),
            (std::vector<std::string>{"Aorta", "Herz", "Aorta"}));

  // Enter does what the context menu's first entry does: the structure's places are asked for.
  Paint(*window);
  Key(*window, Qt::Key_Return);
  EXPECT_EQ(NamesSent(CommandId(Command::kGoToPlace)), (std::vector<std::string>{"Aorta"}));
  // Arrows still pan.
  const int offset = window->Image()->HorizontalOffset();
  Key(*window, Qt::Key_Left);
  EXPECT_EQ(window->HighlightText(), "Aorta");
  EXPECT_GE(window->Image()->HorizontalOffset(), offset);

  Key(*window, Qt::Key_Escape);
  EXPECT_FALSE(window->HighlightActive());
  EXPECT_EQ(window->PointedNames(), "");
  EXPECT_EQ(NamesSent(CommandId(Command::kStructureHighlighted)).back(), "");

  // A click moves the stepping on from the clicked structure.
  Paint(*window);
  Click(*window, PointOf(*window, 105, 70));
  EXPECT_EQ(window->HighlightText(), "Lunge");
  Key(*window, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(window->HighlightText(), "Herz");
}

TEST_F(ImageAccessTest, TheListsAndTheWindowTellScreenReadersWhatTheyShow) {
  auto window = LoadedWindow();
  window->ShowsPage("Brust", 2);
  Click(*window, PointOf(*window, 40, 40));
  window->Command(image_cmd::kListMarkable);
  Click(*window, PointOf(*window, 120, 90));  // the overlap list
  buffer.structureToSelect = "Aorta";
  window->ShowFoundOnList({"Brust (CT)", "Brust (MR)"});
  const auto name = [](QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
  };
  EXPECT_EQ(name(ImageWindow::ListBoxOf(window->MarkableList())), "Markierbare Strukturen");
  EXPECT_EQ(name(ImageWindow::ListBoxOf(window->OverlapList())),
            QString::fromUtf8("Mögliche (überlappende) Strukturen"));
  EXPECT_EQ(name(ImageWindow::ListBoxOf(window->FoundOnList())), "Aorta gefunden auf");

  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window.get());
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->text(QAccessible::Name), "Bildfenster");
  const QString description = face->text(QAccessible::Description);
  EXPECT_TRUE(description.startsWith("Seite: Brust, Bildtyp: CT. Hervorgehoben: Herz."))
      << description.toStdString();
  Key(*window, Qt::Key_Escape);
  EXPECT_TRUE(face->text(QAccessible::Description).contains("Kein hervorgehobenes Objekt"));
}

}  // namespace
}  // namespace ostrelin::test
