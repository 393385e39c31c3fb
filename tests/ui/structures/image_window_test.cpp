// The image window with a generated image and known outlines: clicks, the overlap list, zoom,
// panning, the context menu, full view and the structure lists.
#include <QCheckBox>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include "resources/core/ui_texts.h"
#include "platform/ui/program_cursor.h"
#include "structures/ui/child_frame.h"
#include "tests/ui/structures/image_window_testing.h"
#include "tests/ui/selection_testing.h"

namespace ostrelin::test {
namespace {

namespace t = image_window_text;

TEST_F(ImageWindowTest, AClickOnOneStructureHighlightsItAndTellsTheMainWindow) {
  auto window = LoadedWindow();
  main.sent.clear();
  const QPoint heart = PointOf(*window, 40, 40);
  Mouse(*window, QEvent::MouseMove, heart);
  EXPECT_EQ(window->PointedNames(), "Herz");  // named at once, before any click
  EXPECT_EQ(window->cursor().shape(), ProgramCursor(cursor_id::kOneStructure).shape());

  Click(*window, heart);
  EXPECT_TRUE(window->HighlightActive());
  EXPECT_EQ(window->HighlightText(), "Herz");
  EXPECT_EQ(window->Image()->HighlightStatus(), "Herz");
  EXPECT_EQ(NamesSent(CommandId(Command::kStructureHighlighted)),
            (std::vector<std::string>{"Herz"}));
  EXPECT_FALSE(buffer.busy);
  Paint(*window);
  EXPECT_EQ(window->HighlightCount(), 1);

  // Nothing under the click: the highlight goes and the main window hears an empty name.
  const QPoint empty = PointOf(*window, 180, 10);
  Mouse(*window, QEvent::MouseMove, empty);
  EXPECT_EQ(window->cursor().shape(), Qt::ForbiddenCursor);
  EXPECT_EQ(window->PointedNames(), "");
  Click(*window, empty);
  EXPECT_FALSE(window->HighlightActive());
  EXPECT_EQ(window->LastHighlightedName(), "");
  EXPECT_EQ(NamesSent(CommandId(Command::kStructureHighlighted)).back(), "");
}

TEST_F(ImageWindowTest, OverlappingStructuresAreOfferedAndAChoiceHighlights) {
  auto window = LoadedWindow();
  window->Command(image_cmd::kToggleOverview);
  ASSERT_NE(window->Overview(), nullptr);
  const QPoint both = PointOf(*window, 120, 90);
  Mouse(*window, QEvent::MouseMove, both);
  EXPECT_EQ(window->cursor().shape(), ProgramCursor(cursor_id::kSeveralStructures).shape());
  EXPECT_EQ(window->PointedNames(), "Lunge / Aorta");
  main.sent.clear();

  Click(*window, both);
  EXPECT_FALSE(window->HighlightActive());
  ChildFrame* overlap = window->OverlapList();
  ASSERT_NE(overlap, nullptr);
  EXPECT_EQ(overlap->Caption(), QString::fromUtf8("Mögliche (überlappende) Strukturen"));
  QListWidget* list = ImageWindow::ListBoxOf(overlap);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), "Lunge");  // hit order, not sorted
  EXPECT_EQ(list->item(1)->text(), "Aorta");

  list->setCurrentRow(1);
  Settle();
  EXPECT_EQ(window->OverlapList(), nullptr);
  EXPECT_EQ(window->HighlightText(), "Aorta");
  EXPECT_EQ(window->Objects()->CurrentStructure(), 2);
  EXPECT_EQ(NamesSent(CommandId(Command::kStructureHighlighted)),
            (std::vector<std::string>{"Aorta"}));
  EXPECT_FALSE(buffer.busy);
  // A choice closes the overview too, and its box shows that.
  EXPECT_EQ(window->Overview(), nullptr);
  EXPECT_EQ(window->OverviewBox()->checkState(), Qt::Unchecked);
}

TEST_F(ImageWindowTest, AChoiceWhileAnotherRequestIsBusyHighlightsNothing) {
  auto window = LoadedWindow();
  Click(*window, PointOf(*window, 120, 90));
  QListWidget* list = ImageWindow::ListBoxOf(window->OverlapList());
  ASSERT_NE(list, nullptr);
  main.sent.clear();
  ASSERT_TRUE(buffer.Take("Seite 12"));  // a request of another window is being handled
  list->setCurrentRow(0);
  Settle();
  EXPECT_FALSE(window->HighlightActive());
  EXPECT_EQ(buffer.name, "Seite 12");  // the other request is left as it was
  EXPECT_TRUE(main.sent.empty());
}

TEST_F(ImageWindowTest, AClickInTheStripOnlyClosesTheOverlapList) {
  auto window = LoadedWindow();
  Click(*window, PointOf(*window, 40, 40));
  Click(*window, PointOf(*window, 120, 90));
  ASSERT_NE(window->OverlapList(), nullptr);
  main.sent.clear();
  Click(*window, QPoint(50, 5));
  Settle();
  EXPECT_EQ(window->OverlapList(), nullptr);
  EXPECT_EQ(window->HighlightText(), "Herz");
  EXPECT_TRUE(main.sent.empty());
}

TEST_F(ImageWindowTest, ZoomBarStopsAtItsEnds) {
  auto window = LoadedWindow();
  QScrollBar* bar = window->ZoomBar();
  EXPECT_EQ(bar->value(), 6);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(bar->value(), 5);
  EXPECT_FLOAT_EQ(window->Image()->Zoom(), 0.5f);
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(bar->value(), 4);
  EXPECT_FLOAT_EQ(window->Image()->Zoom(), 1.0f / 3);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);  // 7
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);  // 10
  EXPECT_EQ(bar->value(), 10);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(bar->value(), 10);
  EXPECT_FLOAT_EQ(window->Image()->Zoom(), 5.0f);
}

TEST_F(ImageWindowTest, WithoutImageTheZoomBarAndClicksDoNothing) {
  auto window = MakeWindow();
  Paint(*window);
  window->ZoomBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(window->ZoomBar()->value(), 6);
  Click(*window, QPoint(100, 100));
  EXPECT_TRUE(main.sent.empty());
}

TEST_F(ImageWindowTest, PanningStopsAtTheImageEdge) {
  auto window = LoadedWindow();
  window->ZoomBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);  // zoom 4: 800 x 640
  Paint(*window);
  const int clientWidth = window->Client().width;
  for (int i = 0; i < 40; ++i) {
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &right);
    Paint(*window);
  }
  // The view stops at the right edge: another step changes nothing. The image object keeps its
  // centre in whole image pixels, so the offset is within one of them (4 window pixels) of the
  // limit, and the last column is on screen.
  const JpgBild& image = *window->Image();
  const int stopped = image.HorizontalOffset();
  EXPECT_GE(stopped, clientWidth - 800);
  EXPECT_LE(stopped, clientWidth - 800 + 4);
  EXPECT_EQ(image.Visible().lastColumn, kWidth - 1);
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &right);
  Paint(*window);
  EXPECT_EQ(image.HorizontalOffset(), stopped);
  EXPECT_EQ(window->HorizontalBar()->value(), -stopped);

  for (int i = 0; i < 40; ++i) {
    window->VerticalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    Paint(*window);
  }
  EXPECT_LT(image.Visible().firstRow, 5);  // less than one line step from the bottom row
  const int bottom = image.VerticalOffset();
  window->VerticalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  Paint(*window);
  EXPECT_EQ(image.VerticalOffset(), bottom);

  // Back left by a page: 50 window pixels.
  window->HorizontalBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
  Paint(*window);
  EXPECT_NEAR(image.HorizontalOffset(), stopped + 50, 4);
}

TEST_F(ImageWindowTest, ContextMenuOfAnImageWithoutOutlinesHasNoStructureLists) {
  auto window = MakeWindow();
  ASSERT_TRUE(window->LoadImage("Bilder\\Schnitt\\ohne.bmp", false));
  Paint(*window);
  std::vector<ContextMenuEntry> offered;
  window->SetMenuChooser([&](const std::vector<ContextMenuEntry>& entries, const QPoint&) {
    offered = entries;
    return 0;
  });
  Click(*window, QPoint(60, 60), Qt::RightButton);
  ASSERT_EQ(offered.size(), 5u);
  EXPECT_EQ(offered[0].command, image_cmd::kFullView);
  EXPECT_EQ(offered[1].command, image_cmd::kHelp);
  // Saving and copying come last, after a separator.
  EXPECT_EQ(offered[2].command, 0);
  EXPECT_EQ(offered[3], (ContextMenuEntry{image_cmd::kSavePicture, "Bild speichern..."}));
  EXPECT_EQ(offered[4], (ContextMenuEntry{image_cmd::kCopyPicture, "Bild kopieren"}));
}

TEST_F(ImageWindowTest, ContextMenuOffersTheHighlightAndItsRelatedNames) {
  auto window = LoadedWindow();
  Click(*window, PointOf(*window, 40, 40));
  Paint(*window);
  std::vector<ContextMenuEntry> offered;
  int choice = image_cmd::kFirstRelated + 1;
  window->SetMenuChooser([&](const std::vector<ContextMenuEntry>& entries, const QPoint&) {
    offered = entries;
    return choice;
  });
  main.sent.clear();
  Click(*window, QPoint(60, 60), Qt::RightButton);
  ASSERT_EQ(offered.size(), 12u);
  EXPECT_EQ(offered[0], (ContextMenuEntry{image_cmd::kGoToHighlighted, "Herz"}));
  EXPECT_EQ(offered[3].command, image_cmd::kListMarkable);
  EXPECT_EQ(offered[6].command, 0);
  EXPECT_EQ(offered[7], (ContextMenuEntry{image_cmd::kFirstRelated, "Aorta"}));
  EXPECT_EQ(offered[8], (ContextMenuEntry{image_cmd::kFirstRelated + 1, "Lunge (CT)"}));
  // The related page goes to the main window as a tagged request, split where requests are handled.
  ASSERT_EQ(main.sent.size(), 1u);
  EXPECT_EQ(main.sent[0],
            std::make_pair(CommandId(Command::kGoToPlace), std::string("Lunge (CT)")));

  choice = image_cmd::kHelp;
  Click(*window, QPoint(60, 60), Qt::RightButton);
  EXPECT_EQ(main.sent.back().first, CommandId(Command::kContextHelp));
}

TEST_F(ImageWindowTest, FullViewAndBack) {
  auto window = LoadedWindow();
  const QRect normal = window->geometry();
  window->SetMenuChooser([](const std::vector<ContextMenuEntry>& entries, const QPoint&) {
    return entries[0].command == image_cmd::kFullView ? image_cmd::kFullView
                                                      : image_cmd::kNormalView;
  });
  Click(*window, QPoint(60, 60), Qt::RightButton);
  EXPECT_FALSE(window->NormalView());
  EXPECT_GT(window->width(), normal.width());
  EXPECT_EQ(window->FullViewBox()->checkState(), Qt::Checked);

  Click(*window, QPoint(60, 60), Qt::RightButton);
  EXPECT_TRUE(window->NormalView());
  EXPECT_EQ(window->size(), normal.size());
  EXPECT_EQ(window->FullViewBox()->checkState(), Qt::Unchecked);

  // The check box asks for the same, and a click on it does not toggle it by itself.
  window->FullViewBox()->click();
  EXPECT_FALSE(window->NormalView());
  window->FullViewBox()->click();
  EXPECT_TRUE(window->NormalView());
}

TEST_F(ImageWindowTest, AMissingFileIsReportedAndThePreviousImageStays) {
  auto window = LoadedWindow();
  const JpgBild* before = window->Image();
  EXPECT_FALSE(window->LoadImage("Bilder\\Schnitt\\fehlt.jpg", false));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            std::string(t::kFileNotFound) + tree.DataPath() + "Bilder\\Schnitt\\fehlt.jpg");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(window->Image(), before);
  EXPECT_EQ(window->Objects()->Count(), 3);
}

// An image the request announced decodes on the other core; whether announced or not, and
// whatever else was announced, the window shows the same picture, structures and messages.
TEST_F(ImageWindowTest, AnAnnouncedImageLoadsAsAnUnannouncedOne) {
  tree.Write("Bilder/Schnitt/kaputt.jpg", "\xFF\xD8\xFF\xE0 nicht mehr");
  tree.Write("Bilder/Schnitt/kaputt.dat", "auch kaputt");
  struct Load {
    const char* announced;  // nullptr: nothing announced
    const char* loaded;
  };
  const auto brust = "Bilder\\Schnitt\\brust.bmp", kaputt = "Bilder\\Schnitt\\kaputt.jpg";
  QImage reference;
  std::vector<std::string> referenceMessages;
  for (const Load& load : {Load{nullptr, brust}, Load{brust, brust}, Load{kaputt, brust},
                           Load{nullptr, kaputt}, Load{kaputt, kaputt}}) {
    SCOPED_TRACE(std::string(load.announced ? load.announced : "-") + " " + load.loaded);
    messages.shown.clear();
    auto window = MakeWindow();
    if (load.announced) window->ExpectImage(load.announced);
    const bool loaded = window->LoadImage(load.loaded, false);
    std::vector<std::string> shown;
    for (const auto& m : messages.shown) shown.push_back(m.text);
    if (load.loaded == kaputt) {
      EXPECT_FALSE(loaded);
      EXPECT_EQ(window->Image(), nullptr);
      EXPECT_FALSE(shown.empty());
      if (!load.announced) referenceMessages = shown;
      EXPECT_EQ(shown, referenceMessages);
      continue;
    }
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(window->Objects()->Count(), 3);
    const QImage plain = window->grab().toImage();
    window->Highlight("Lunge", 1, false, false);  // drawn through the list into the image
    const QImage picture = window->grab().toImage();
    EXPECT_NE(picture, plain);
    if (!load.announced) reference = picture;
    EXPECT_EQ(picture, reference);
  }
}

TEST_F(ImageWindowTest, JoinedNamesAreHighlightedWithoutTellingTheMainWindow) {
  auto window = LoadedWindow();
  main.sent.clear();
  window->Highlight("Herz & Aorta", kDrawOutline, false, false);
  Paint(*window);
  EXPECT_EQ(window->HighlightCount(), 2);
  EXPECT_EQ(window->Image()->HighlightStatus(), t::kSeveralHighlighted);
  EXPECT_TRUE(main.sent.empty());

  window->Highlight("Milz", kDrawOutline, true, false);  // unknown: cleared, the name kept
  EXPECT_FALSE(window->HighlightActive());
  EXPECT_EQ(window->LastHighlightedName(), "Milz");
}

TEST_F(ImageWindowTest, HighlightWithCentringMovesTheView) {
  auto window = LoadedWindow();
  window->ZoomBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);  // zoom 4
  window->Highlight("Lunge", kDrawOutline, true, false);
  EXPECT_EQ(window->Image()->Centre(), (ImagePoint{119, 60}));
}

TEST_F(ImageWindowTest, MarkableListIsSortedFollowsTheHighlightAndRemembersItsPlace) {
  ImageWindow::RememberedMarkableRect() = {};
  auto window = LoadedWindow();
  window->Highlight("Lunge", kDrawOutline, false, false);
  window->Command(image_cmd::kListMarkable);
  ChildFrame* frame = window->MarkableList();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->geometry(), QRect(10, 30, 150, 200));
  QListWidget* list = ImageWindow::ListBoxOf(frame);
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text(), "Aorta");
  EXPECT_EQ(list->currentItem()->text(), "Lunge");

  main.sent.clear();
  list->setCurrentRow(1);  // "Herz"
  EXPECT_EQ(window->HighlightText(), "Herz");
  EXPECT_EQ(NamesSent(CommandId(Command::kStructureHighlighted)),
            (std::vector<std::string>{"Herz"}));
  window->Highlight("Milz", kDrawOutline, false, false);
  EXPECT_EQ(list->currentItem(), nullptr);

  frame->setGeometry(40, 50, 120, 100);
  window->CloseLists();
  Settle();
  EXPECT_EQ(window->MarkableList(), nullptr);
  window->Command(image_cmd::kListMarkable);
  EXPECT_EQ(window->MarkableList()->geometry(), QRect(40, 50, 120, 100));
}

TEST_F(ImageWindowTest, ShowAllMarkableStructuresPaintsEveryNamedOne) {
  auto window = LoadedWindow();
  window->Command(image_cmd::kShowMarkable);
  Paint(*window);
  EXPECT_TRUE(window->ShowAllMode());
  EXPECT_EQ(window->HighlightCount(), 3);
  EXPECT_EQ(window->Image()->HighlightStatus(), t::kSeveralHighlighted);
}

TEST_F(ImageWindowTest, AZoomStepOrARehighlightEndsShowAllWithNothingHighlighted) {
  auto window = LoadedWindow();
  ASSERT_EQ(window->LastHighlightedName(), "");
  window->Command(image_cmd::kShowMarkable);
  Paint(*window);
  ASSERT_EQ(window->HighlightCount(), 3);

  window->ZoomBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  Paint(*window);
  EXPECT_FALSE(window->ShowAllMode());
  EXPECT_EQ(window->HighlightCount(), 0);
  EXPECT_EQ(window->Image()->HighlightStatus(), t::kNoHighlight);

  window->Command(image_cmd::kShowMarkable);
  window->Rehighlight(kDrawOutline);  // the main window's re-highlight after a new page
  Paint(*window);
  EXPECT_FALSE(window->ShowAllMode());
  EXPECT_EQ(window->HighlightCount(), 0);
}

TEST_F(ImageWindowTest, ListsShowTheirSelectionInTheHighlightColourWhileInactive) {
  const PaleInactiveHighlight pale;
  auto window = LoadedWindow();
  Click(*window, PointOf(*window, 120, 90));  // "Lunge" and "Aorta": the overlap list
  ASSERT_NE(window->OverlapList(), nullptr);
  window->ShowFoundOnList({"Thorax 2 (MR)", "Thorax 1 (CT)"});
  for (ChildFrame* frame : {window->OverlapList(), window->FoundOnList()}) {
    QListWidget* list = ImageWindow::ListBoxOf(frame);
    const QSignalBlocker quiet(list);  // selecting would close the list and hand the name over
    list->setCurrentRow(1);
    EXPECT_EQ(SelectionColourWhileInactive(*list),
              list->palette().color(QPalette::Active, QPalette::Highlight))
        << frame->Caption().toStdString();
  }
}

TEST_F(ImageWindowTest, FoundOnListTakesTheKeyboardAndOpensOnlyOnEnterOrClick) {
  auto window = LoadedWindow();
  window->show();
  QApplication::setActiveWindow(window.get());
  const auto key = [](QWidget* to, int code) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QApplication::sendEvent(to, &press);
  };
  const auto open = [&] {
    buffer.structureToSelect = "Aorta";
    window->ShowFoundOnList({"Thorax 2 (MR)", "Thorax 1 (CT)", "Thorax 3 (Schema)"});
    buffer.structureToSelect.clear();
    return ImageWindow::ListBoxOf(window->FoundOnList());
  };
  window->Highlight("Herz", kDrawOutline, false, false);
  QListWidget* list = open();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(window->FoundOnList()->Caption(), "Aorta gefunden auf");
  EXPECT_EQ(list->item(0)->text(), "Thorax 1 (CT)");
  EXPECT_TRUE(list->hasFocus());
  main.sent.clear();

  // Down moves, Escape closes: nothing is opened, the highlight stays, the image has the keys.
  key(list, Qt::Key_Down);
  EXPECT_EQ(list->currentRow(), 1);
  key(list, Qt::Key_Escape);
  Settle();
  EXPECT_EQ(window->FoundOnList(), nullptr);
  EXPECT_TRUE(main.sent.empty());
  EXPECT_EQ(window->HighlightText(), "Herz");
  EXPECT_TRUE(window->hasFocus());

  // Arriving by Tab in a list with no current place opens nothing; Enter opens the current one.
  list = open();
  list->setCurrentRow(-1);
  window->setFocus(Qt::OtherFocusReason);
  list->setFocus(Qt::TabFocusReason);
  Settle();
  EXPECT_NE(window->FoundOnList(), nullptr);
  EXPECT_TRUE(main.sent.empty());
  list->setCurrentRow(1);
  key(list, Qt::Key_Return);
  Settle();
  EXPECT_EQ(window->FoundOnList(), nullptr);
  EXPECT_EQ(NamesSent(CommandId(Command::kGoToPlace)), (std::vector<std::string>{"Thorax 2 (MR)"}));

  // A click on a place opens it.
  main.sent.clear();
  list = open();
  const QPoint at = list->visualItemRect(list->item(2)).center();
  Click(*list->viewport(), at);
  Settle();
  EXPECT_EQ(window->FoundOnList(), nullptr);
  EXPECT_EQ(NamesSent(CommandId(Command::kGoToPlace)),
            (std::vector<std::string>{"Thorax 3 (Schema)"}));
}

TEST_F(ImageWindowTest, TheCloseBoxStandsOutOnTheTitleBar) {
  auto window = LoadedWindow();
  window->ShowFoundOnList({"Thorax 1 (CT)"});
  const QToolButton* box = window->FoundOnList()->CloseBox();
  const QColor title(0, 0, 128);
  for (const QPalette::ColorRole role : {QPalette::ButtonText, QPalette::WindowText}) {
    EXPECT_GT(box->palette().color(role).lightness() - title.lightness(), 150) << role;
  }
}

}  // namespace
}  // namespace ostrelin::test
