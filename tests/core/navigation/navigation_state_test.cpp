#include "navigation/core/navigation_state.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "navigation/core/panel_layout.h"
#include "resources/core/string_table.h"
#include "shell/core/commands.h"
#include "shell/core/transfer_buffer.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::TempTree;
using test::WithCrLf;

// The panel window as a log of what the state asked of it.
class FakeWindow : public NavigationWindow {
 public:
  std::vector<std::string> log;
  std::map<std::string, Size> sizes;  // pictograms that load; the rest are missing

  Size LoadPictogram(const std::string& name) override {
    log.push_back("pictogram " + name);
    const auto it = sizes.find(name);
    return it == sizes.end() ? Size() : it->second;
  }
  void ShowSexButtonFor(Sex sex) override { log.push_back("sex-button " + std::to_string(sex)); }
  void SetStepOrientation(bool horizontal) override {
    log.push_back(horizontal ? "arrows up-down" : "arrows left-right");
  }
  void Invalidate(bool erase) override { log.push_back(erase ? "invalidate erase" : "invalidate"); }
  void RedrawNow() override { log.push_back("redraw"); }
};

// The main window: records each command with the buffer's name and frees the buffer, as it does
// at the end of every request.
class FakeMainWindow : public CommandTarget {
 public:
  explicit FakeMainWindow(TransferBuffer& buffer) : buffer_(buffer) {}
  std::vector<std::string> sent;
  void SendCommand(int command) override {
    sent.push_back(std::to_string(command) + (buffer_.busy ? " " + buffer_.name : ""));
    buffer_.Release();
  }

 private:
  TransferBuffer& buffer_;
};

class NavigationStateTest : public ::testing::Test {
 protected:
  NavigationStateTest() {
    tree_.Write("Daten/SM_AUSW.POS", WithCrLf("Kopf#10\nBrust#40\nBecken#60\n"));
    tree_.Write("Daten/SM_KOPF.POS", WithCrLf("Scheitel#20\nAuge#50\n"));
    tree_.Write("Daten/SM_RUMPF.POS", WithCrLf("Hals#10\nHerz#30\nLeber#50\nNiere#70\n"));
    tree_.Write("Daten/SF_RUMPF.POS", WithCrLf("Brust w#20\nBauch w#50\nBecken w#80\n"));
    tree_.Write("Daten/SM_ARM.POS", WithCrLf("VERTICAL\nElle#50\nSpeiche#60\n"));
    // SM_BEIN.POS is missing.
    for (const char* name : {"SM_AUSW", "SM_KOPF", "SM_RUMPF", "SF_RUMPF", "SM_ARM", "SM_BEIN"}) {
      window_.sizes[name] = {192, 355};
    }
    state_.SetClientSize(205, 549, DesignScale());  // Wd 205, Hd 411
  }

  std::vector<std::string> TakeSent() { return std::exchange(main_.sent, {}); }

  TempTree tree_;
  TransferBuffer buffer_;
  FakeMainWindow main_{buffer_};
  FakeWindow window_;
  NavigationState state_{tree_.DataPath(), buffer_, main_, window_};
};

TEST_F(NavigationStateTest, SelectFromPageShowsThePictogramOfEachSexAndRegion) {
  struct Case {
    Sex sex;
    BodyRegion region;
    const char* plane;
    const char* pictogram;
    int selected;
  };
  for (const Case& c : {Case{0, 1, "Auge", "SM_KOPF", 1}, Case{0, 2, "speiche", "SM_ARM", 1},
                        Case{0, 3, "", "SM_BEIN", -1}, Case{0, 4, "Leber", "SM_RUMPF", 2},
                        Case{0, 0, "Becken", "SM_AUSW", 2}, Case{1, 4, "Bauch w", "SF_RUMPF", 1},
                        Case{1, 2, "Elle", "SM_ARM", 0}}) {
    SCOPED_TRACE(c.pictogram);
    state_.SelectFromPage(c.sex, c.region, c.plane);
    EXPECT_EQ(state_.PictogramResource(), c.pictogram);
    EXPECT_EQ(state_.CurrentSex(), c.region == 4 ? c.sex : 0);
    EXPECT_EQ(state_.SelectedIndex(), c.selected);
    EXPECT_TRUE(state_.SelectionShown());
  }
  EXPECT_TRUE(TakeSent().empty());  // following a page announces nothing
}

TEST_F(NavigationStateTest, FemaleTrunkFromTheMaleHeadSwitchesTheSexButton) {
  state_.SelectFromPage(0, 1, "Auge");
  window_.log.clear();
  state_.SelectFromPage(1, 4, "Becken w");
  EXPECT_EQ(window_.log, (std::vector<std::string>{"sex-button 1", "pictogram SF_RUMPF",
                                                   "arrows up-down", "invalidate erase"}));
  EXPECT_EQ(state_.SelectedName(), "Becken w");
  EXPECT_EQ(state_.Steps().Maximum(), 2);
  const PanelPicture picture = state_.Picture();
  EXPECT_TRUE(picture.captionIsSelection);
  EXPECT_EQ(picture.caption, "Becken w");
  ASSERT_TRUE(picture.selectedLine);
  EXPECT_EQ(picture.selectedLine->from, (BitmapPoint{20, 80 * 353 / 100}));
}

TEST_F(NavigationStateTest, SelectWithoutSexOrRegionOnlyMovesTheSelection) {
  state_.SelectFromPage(0, 4, "Leber");
  window_.log.clear();
  state_.SelectFromPage(-1, -1, "Niere");
  EXPECT_EQ(state_.SelectedIndex(), 3);
  EXPECT_EQ(window_.log, std::vector<std::string>{"invalidate"});  // no reload

  state_.SelectFromPage(-1, -1, "Milz");  // unknown: plane 0
  EXPECT_EQ(state_.SelectedIndex(), 0);

  state_.Steps().SetPos(2);
  state_.MarkShown(true);
  state_.SelectFromPage(-1, -1, "");  // back to the remembered plane, shown again
  EXPECT_EQ(state_.SelectedIndex(), 0);
  EXPECT_TRUE(state_.SelectionShown());
}

TEST_F(NavigationStateTest, ARequestWithoutRegionKeepsTheRegionShown) {
  state_.SelectFromPage(0, 4, "Herz");
  state_.SelectFromPage(1, -1, "Bauch w");
  EXPECT_EQ(state_.PictogramResource(), "SF_RUMPF");
  EXPECT_EQ(state_.CurrentRegion(), 4);
  EXPECT_EQ(state_.SelectedName(), "Bauch w");

  state_.SelectFromPage(0, 1, "");
  state_.SelectFromPage(1, -1, "Auge");  // the head has no female series
  EXPECT_EQ(state_.PictogramResource(), "SM_KOPF");
  EXPECT_EQ(state_.CurrentSex(), 0);
  EXPECT_EQ(state_.SelectedName(), "Auge");
}

TEST_F(NavigationStateTest, SexButtonSwitchesTheTrunkSeriesAndAnnounces) {
  state_.SelectFromPage(0, 4, "Leber");  // index 2; the female trunk has three planes
  state_.HandleCommand(NavigationState::kSexButton);
  EXPECT_EQ(state_.PictogramResource(), "SF_RUMPF");
  EXPECT_EQ(state_.SelectedIndex(), 2);
  EXPECT_FALSE(state_.SelectionShown());
  EXPECT_EQ(state_.Picture().caption, LoadText(text::kChoosePlane));
  EXPECT_FALSE(state_.Picture().selectedLine);
  EXPECT_EQ(TakeSent(), std::vector<std::string>{"9059 Becken w"});

  // Back to male with the fourth plane remembered; the female trunk has no fourth: plane 0.
  state_.HandleCommand(NavigationState::kSexButton);
  state_.Steps().StepDown();  // plane 1
  state_.HandleCommand(NavigationState::kStepNotification);
  state_.HandleCommand(NavigationState::kStepNotification);
  TakeSent();
  state_.SelectFromPage(0, 4, "Niere");
  state_.HandleCommand(NavigationState::kSexButton);
  EXPECT_EQ(state_.SelectedIndex(), 0);

  // On the head the sex button keeps the male series and only resets the display.
  state_.HandleCommand(NavigationState::kHeadButton);
  window_.log.clear();
  state_.HandleCommand(NavigationState::kSexButton);
  EXPECT_EQ(state_.CurrentSex(), 0);
  EXPECT_EQ(window_.log.front(), "pictogram SM_KOPF");
}

TEST_F(NavigationStateTest, RegionButtons) {
  state_.SelectFromPage(1, 4, "Bauch w");
  // Trunk while female keeps the female trunk: same sex, same region, no reload.
  window_.log.clear();
  state_.HandleCommand(NavigationState::kTrunkButton);
  EXPECT_EQ(state_.PictogramResource(), "SF_RUMPF");
  EXPECT_EQ(window_.log, std::vector<std::string>{"invalidate"});
  EXPECT_FALSE(state_.SelectionShown());
  EXPECT_EQ(TakeSent(), std::vector<std::string>{"9059 Bauch w"});

  // Any other region while female goes to the male series.
  state_.HandleCommand(NavigationState::kArmButton);
  EXPECT_EQ(state_.PictogramResource(), "SM_ARM");
  EXPECT_EQ(state_.CurrentSex(), 0);
  EXPECT_EQ(state_.SelectedIndex(), 1);  // the remembered index 1 exists here too
  EXPECT_EQ(TakeSent(), std::vector<std::string>{"9059 Speiche"});

  // Pressing the head button twice: the second press does not reload, still announces.
  state_.HandleCommand(NavigationState::kHeadButton);
  window_.log.clear();
  state_.HandleCommand(NavigationState::kHeadButton);
  EXPECT_EQ(window_.log, std::vector<std::string>{"invalidate"});
  EXPECT_EQ(TakeSent(), (std::vector<std::string>{"9059 Auge", "9059 Auge"}));

  // The leg has no plane list: nothing to announce.
  state_.HandleCommand(NavigationState::kLegButton);
  EXPECT_EQ(state_.Planes().Count(), 0);
  EXPECT_TRUE(TakeSent().empty());
  EXPECT_FALSE(state_.HandleCommand(9999));
}

TEST_F(NavigationStateTest, StepsWrapRoundAndAnnounceEachPlane) {
  state_.SelectFromPage(0, 0, "Becken");  // three planes, position 2
  window_.log.clear();
  state_.Steps().StepUp();
  state_.HandleCommand(NavigationState::kStepNotification);
  EXPECT_EQ(state_.SelectedIndex(), 0);
  EXPECT_EQ(state_.RememberedPlane(), 0);
  EXPECT_EQ(window_.log, std::vector<std::string>{"redraw"});
  state_.Steps().StepDown();
  state_.HandleCommand(NavigationState::kStepNotification);
  EXPECT_EQ(state_.SelectedIndex(), 2);
  EXPECT_EQ(TakeSent(), (std::vector<std::string>{"9059 Kopf", "9059 Becken"}));

  // A busy buffer drops the announcement without a word.
  buffer_.Take("Anderes");
  state_.Steps().StepUp();
  state_.HandleCommand(NavigationState::kStepNotification);
  EXPECT_TRUE(TakeSent().empty());
  EXPECT_EQ(buffer_.name, "Anderes");
}

TEST_F(NavigationStateTest, PickingTakesTheNearestLineWithinFifteenUnits) {
  tree_.Write("Daten/SM_KOPF.POS", WithCrLf("A#20\nB#24\nC#50\n"));
  state_.SelectFromPage(0, 1, "C");  // Hd 411: lines at 82, 98 and 205
  TakeSent();

  state_.PickPlaneAt(10, 90, DesignScale());  // halfway between 82 and 98
  EXPECT_EQ(state_.SelectedName(), "A");
  EXPECT_EQ(TakeSent(), std::vector<std::string>{"9059 A"});

  state_.PickPlaneAt(10, 219, DesignScale());  // 14 from C
  EXPECT_EQ(state_.SelectedName(), "C");
  state_.MarkShown(true);
  state_.PickPlaneAt(10, 113, DesignScale());  // 15 from B: nothing new, selection still shown
  EXPECT_EQ(state_.SelectedName(), "C");
  EXPECT_TRUE(state_.SelectionShown());
  EXPECT_EQ(state_.RememberedPlane(), 2);  // the step control's plane, not the nearest line
  EXPECT_EQ(TakeSent(), (std::vector<std::string>{"9059 C", "9059 C"}));

  // Pixels are turned into design units first: at scale 2, pixel row 180 is unit 90.
  state_.PickPlaneAt(10, 180, DesignScale{2.0, 2.0});
  EXPECT_EQ(state_.SelectedName(), "A");
}

TEST_F(NavigationStateTest, VerticalLinesArePickedOnlyInsideTheBand) {
  state_.SelectFromPage(0, 2, "Speiche");  // Wd 205: lines at columns 102 and 123; Hd 411
  for (int y : {24, 387}) {
    state_.PickPlaneAt(102, y, DesignScale());
    EXPECT_EQ(state_.SelectedName(), "Speiche") << y;
  }
  for (int y : {25, 386}) {
    state_.Steps().SetPos(1);
    state_.PickPlaneAt(102, y, DesignScale());
    EXPECT_EQ(state_.SelectedName(), "Elle") << y;
  }
}

TEST_F(NavigationStateTest, OpeningNeedsAShownSelection) {
  state_.SelectFromPage(0, 4, "Herz");
  state_.HandleCommand(NavigationState::kHeadButton);
  TakeSent();
  state_.HandleCommand(NavigationState::kConfirmButton);
  EXPECT_TRUE(TakeSent().empty());
  EXPECT_EQ(state_.ShownMark(), NavigationState::Mark());

  state_.DoubleClickAt(0, 205, DesignScale());  // on "Auge"
  EXPECT_EQ(TakeSent(), (std::vector<std::string>{"9059 Auge", "9034 Auge"}));
  EXPECT_EQ(state_.ShownMark(), (NavigationState::Mark{1, 1, 0}));

  // An empty list opens nothing.
  state_.HandleCommand(NavigationState::kLegButton);
  state_.PickPlaneAt(0, 0, DesignScale());
  state_.OpenSelected();
  EXPECT_TRUE(TakeSent().empty());
  EXPECT_FALSE(state_.Picture().selectedLine);
}

TEST_F(NavigationStateTest, TheShownPlaneIsGreenOnlyAwayFromTheSelectionAndOnItsOwnPictogram) {
  state_.SelectFromPage(1, 4, "Brust w");
  state_.MarkShown(false);  // the remembered plane 0 is now shown
  PanelPicture picture = state_.Picture();
  EXPECT_FALSE(picture.shownLine);  // same line as the selection
  EXPECT_FALSE(picture.shownCaption);

  state_.Steps().StepUp();
  state_.HandleCommand(NavigationState::kStepNotification);
  picture = state_.Picture();
  ASSERT_TRUE(picture.shownLine);
  EXPECT_EQ(*picture.shownLine, (BitmapLine{{20, 70}, {172, 70}}));
  EXPECT_EQ(picture.shownCaption, "Brust w");
  EXPECT_EQ(picture.selectedLine->from.y, 176);

  // The mark survives the male trunk but is not drawn there, and is back on the female one.
  state_.HandleCommand(NavigationState::kSexButton);
  EXPECT_FALSE(state_.Picture().shownLine);
  state_.HandleCommand(NavigationState::kSexButton);
  picture = state_.Picture();
  EXPECT_TRUE(picture.shownLine);  // with the selection hidden even on the same line

  state_.MarkShown(true);
  EXPECT_FALSE(state_.Picture().shownLine);
  EXPECT_EQ(state_.ShownMark(), NavigationState::Mark());
}

TEST_F(NavigationStateTest, DotsRunAcrossThePictogramEveryFourPixels) {
  state_.SelectFromPage(0, 1, "");
  PanelPicture picture = state_.Picture();
  // Two planes, x = 20, 24, ... < 172: 38 dots each.
  ASSERT_EQ(picture.dots.size(), 76u);
  EXPECT_EQ(picture.dots.front(), (BitmapPoint{20, 70}));
  EXPECT_EQ(picture.dots[37], (BitmapPoint{168, 70}));
  EXPECT_EQ(picture.dots[38], (BitmapPoint{20, 176}));

  state_.SelectFromPage(0, 2, "");
  picture = state_.Picture();
  // y = 25, 29, ... < 330: 77 dots a plane, at columns 95 and 114.
  ASSERT_EQ(picture.dots.size(), 154u);
  EXPECT_EQ(picture.dots.front(), (BitmapPoint{95, 25}));
  EXPECT_EQ(picture.dots.back(), (BitmapPoint{114, 329}));
  EXPECT_EQ(*picture.selectedLine, (BitmapLine{{95, 25}, {95, 330}}));
}

TEST_F(NavigationStateTest, RightClickShowsTheSelectionAndAsksForTheIndex) {
  state_.MarkShown(true);
  state_.RightClick();  // before any pictogram, without a plane
  EXPECT_TRUE(state_.SelectionShown());
  EXPECT_EQ(TakeSent(), std::vector<std::string>{std::to_string(CommandId(Command::kTogglePanel))});
}

TEST_F(NavigationStateTest, MissingPictogramMeansNoPictogramButTheNextSelectTriesAgain) {
  window_.sizes.erase("SM_KOPF");
  state_.SelectFromPage(0, 1, "Auge");
  EXPECT_FALSE(state_.HasPictogram());
  EXPECT_EQ(state_.SelectedName(), "Auge");
  window_.log.clear();
  state_.SelectFromPage(0, 1, "Auge");
  EXPECT_EQ(window_.log.front(), "pictogram SM_KOPF");
}

TEST(PanelLayoutTest, ButtonsOfTheDesignPanel) {
  const PanelLayout l = ComputePanelLayout(205, 549);
  EXPECT_EQ(l.buttonWidth, 48);
  EXPECT_EQ(l.buttonHeight, 51);
  EXPECT_EQ(l.margin, 6);
  EXPECT_EQ(l.head, (Rect{6, 437, 48, 51}));
  EXPECT_EQ(l.trunk, (Rect{54, 437, 48, 51}));
  EXPECT_EQ(l.arm, (Rect{102, 437, 48, 51}));
  EXPECT_EQ(l.leg, (Rect{150, 437, 48, 51}));
  EXPECT_EQ(l.sex, (Rect{6, 493, 48, 51}));
  EXPECT_EQ(l.steps, (Rect{78, 493, 48, 51}));
  EXPECT_EQ(l.confirm, (Rect{150, 493, 48, 51}));

  const ArrowLayout arrows = ComputeArrowLayout(48, 51);
  EXPECT_EQ(arrows.upper, (Rect{0, 0, 48, 25}));
  EXPECT_EQ(arrows.lower, (Rect{0, 26, 48, 25}));
}

}  // namespace
}  // namespace ostrelin
