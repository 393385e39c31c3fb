// The request processing, driven end to end through recording windows: what each window is asked,
// in which order, for every kind of request.
#include <gtest/gtest.h>

#include "catalogue/core/catalogue.h"
#include "platform/core/wait_cursor.h"
#include "shell/core/atlas_requests.h"
#include "shell/core/commands.h"
#include "shell/core/history_menu.h"
#include "shell/core/main_menu.h"
#include "shell/core/request_processor.h"
#include "tests/support/recording_cursor.h"
#include "tests/support/recording_views.h"

namespace ostrelin {
namespace {

using Lines = std::vector<std::string>;
using test::CallLog;
using test::RecordingViews;

// Fields: name, text, Schnitt, CT, MR, Schema, default structure, preferred type, sex, region,
// plane ("" is a blank field).
constexpr const char* kPages =
    "START#start.txt# # # #start.jpg# #P#M#U#Gesamt\n"
    "Herz#herz.txt#herz_s.jpg#herz_c.jpg#herz_m.jpg# #Ventrikel#S#M#R#Herz\n"
    "Lunge#lunge.txt#lunge_s.jpg# #lunge_m.jpg# # #C#W#R#Lunge\n"
    "Knie#knie.txt# #knie_c.jpg#knie_m.jpg# # #S#M#B#Knie\n"
    "Thorax#thorax.txt# #herz_c.jpg# # # #C#M#R#Thorax\n"
    "Kopf#kopf.txt#kopf_s.jpg# #kopf_m.jpg# # #-#M#K#Kopf\n"
    "Leer#leer.txt# # # # # #S#M#R#Leer\n"
    "Blank# #blank_s.jpg# # # # #S#M#R#Blank\n"
    "Skizze#skizze.txt# # # #skizze.jpg# #P#M#A#Arm\n"
    "Hand (CT)#hand.txt#hand_s.jpg# # # # #S#M#A#Hand\n";  // a page named like a tagged one
constexpr const char* kStructures =
    "Aorta # Herz # M\n"   // one place, MR only
    "Vene  # Herz # SC\n"  // two image types of one page
    "Nerv  # Herz # S\n"
    "Nerv  # Lunge # S\n"   // two pages
    "Loop  # Loop # S\n"    // its page is missing and is named like itself
    "Ghost # Fehlt # S\n";  // its page is missing

class RequestTest : public testing::Test {
 protected:
  RequestTest() : waitCursor_(cursors_), views_(log_), processor_(catalogue_, Views(), Services()) {
    catalogue_.AddIndexList(kPages);
    catalogue_.AddStructureList(kStructures);
  }

  RequestViews Views() { return {&views_, &views_, &views_, &views_, &views_, &views_}; }
  RequestServices Services() {
    return {&waitCursor_, [this](bool on) { log_.Add(on ? "wait+" : "wait-"); }, &views_};
  }

  // A window's request: takes the buffer and sends the command, as the senders do.
  void Request(Command command, std::string_view name) {
    ASSERT_TRUE(processor_.buffer().Take(name));
    processor_.Handle(command);
  }
  // Shows `page` by a text-panel link and forgets what that logged.
  void Show(std::string_view page) {
    Request(Command::kPageLink, page);
    log_.Clear();
  }
  void ExpectIdle() {
    EXPECT_FALSE(processor_.buffer().busy);
    EXPECT_EQ(processor_.buffer().name, "");
    EXPECT_EQ(processor_.buffer().structureToSelect, "");
    EXPECT_EQ(processor_.buffer().requestedType, -1);
  }

  Catalogue catalogue_;
  test::RecordingCursorService cursors_;
  WaitCursor waitCursor_;
  CallLog log_;
  RecordingViews views_;
  RequestProcessor processor_;
};

TEST_F(RequestTest, TheStartPageIsShownStepByStep) {
  processor_.PostStartRequest();
  EXPECT_TRUE(processor_.buffer().busy);
  EXPECT_EQ(processor_.buffer().name, "START");
  processor_.ProcessStartRequest();

  EXPECT_EQ(
      log_.lines(),
      (Lines{"stop", "wait+", "close-lists", "enable 0=0", "enable 1=0", "enable 2=0", "enable 3=1",
             // the image begins decoding while the text and the panels are brought up
             "expect Bilder\\Schema\\start.jpg", "leave-full-view", "text start.txt v1 t3",
             "history 3 START", "select-page 0 0 Gesamt", "search START",
             // the Schema command, sent to itself; the text of that type is on the panel
             // already and is not loaded again
             "stop", "wait+", "mark-shown 1", "load Bilder\\Schema\\start.jpg", "rehighlight",
             "history 3 START", "wait-", "rehighlight", "expect-nothing", "wait-"}));
  EXPECT_EQ(processor_.currentType(), kSchema);
  EXPECT_EQ(processor_.currentPage().name, "START");
  EXPECT_EQ(processor_.lastRequestedName(), "START");
  EXPECT_EQ(processor_.lastImagePath(), "Bilder\\Schema\\start.jpg");
  ExpectIdle();
  EXPECT_EQ(cursors_.current, CursorShape::Arrow);
}

TEST_F(RequestTest, TheImageTypeIsThePreferredOneOrTheFirstInTheOrderSchnittCtMrSchema) {
  struct Case {
    const char* before;  // page shown first, sets the current type
    const char* page;
    const char* load;
    ImageType type;
  };
  const Case cases[] = {
      {"START", "Herz", "Bilder\\Schnitt\\herz_s.jpg", kSchnitt},   // preferred and present
      {"Herz", "Lunge", "Bilder\\Schnitt\\lunge_s.jpg", kSchnitt},  // prefers CT, has none
      {"Herz", "Knie", "Bilder\\CT\\knie_c.jpg", kCT},              // prefers Schnitt: CT before MR
      {"START", "Kopf", "Bilder\\Schnitt\\kopf_s.jpg", kSchnitt},   // no preference, no Schema
      {"Aorta", "Kopf", "Bilder\\MRT\\kopf_m.jpg", kMR},            // no preference: MR stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.before) + " then " + c.page);
    Show(c.before);
    Request(Command::kPageLink, c.page);
    EXPECT_EQ(log_.Only({"load", "expect"}),
              (Lines{std::string("expect ") + c.load, std::string("load ") + c.load}));
    EXPECT_EQ(processor_.currentType(), c.type);
    ExpectIdle();
  }
}

TEST_F(RequestTest, EveryRequestCommandStopsMediaFirstAndTheOwnSenderIsNotFollowedBack) {
  struct Case {
    Command command;
    bool panelFollows;
    bool searchFollows;
    bool historyAtLookup;
  };
  const Case cases[] = {
      {Command::kOpenPlane, false, true, true},      {Command::kPageLink, true, true, true},
      {Command::kGoToPlace, true, true, true},       {Command::kHistoryRequest, true, true, false},
      {Command::kBookmarkRequest, true, true, true}, {Command::kSearchOpen, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CommandId(c.command));
    Show("START");
    Request(c.command, "Herz");
    ASSERT_FALSE(log_.lines().empty());
    EXPECT_EQ(log_.lines().front(), "stop");
    EXPECT_EQ(log_.Only({"select-page"}).size(), c.panelFollows ? 1u : 0u);
    EXPECT_EQ(log_.Only({"search"}), c.searchFollows ? Lines{"search Herz"} : Lines{});
    // The image change records the page in every case; the lookup only when not from the history.
    const Lines history = log_.Only({"history"});
    EXPECT_EQ(history, c.historyAtLookup ? (Lines{"history 0 Herz", "history 0 Herz"})
                                         : (Lines{"history 0 Herz"}));
    ExpectIdle();
  }
}

TEST_F(RequestTest, AStructureOnOnePageOpensItInTheTypeItIsOutlinedOn) {
  Show("START");
  Request(Command::kSearchOpen, "Aorta");  // Herz prefers Schnitt; Aorta is outlined on MR only
  EXPECT_EQ(
      log_.lines(),
      (Lines{"stop", "wait+", "close-lists",
             // the page, requested from inside with 1276
             "stop", "wait+", "close-lists", "enable 0=1", "enable 1=1", "enable 2=1", "enable 3=0",
             // the type the structure is outlined on, not the page's preferred one
             "expect Bilder\\MRT\\herz_m.jpg", "leave-full-view", "text herz.txt v1 t0",
             "history 0 Herz", "select-page 0 4 Herz",
             // the search window is not moved to the page: the structure is selected below
             "stop", "wait+", "mark-shown 0", "load Bilder\\MRT\\herz_m.jpg", "rehighlight",
             "text herz.txt v1 t1", "history 1 Herz", "wait-", "highlight Aorta c1 k1",
             "search Aorta", "expect-nothing", "wait-",
             // the outer run ends
             "wait-"}));
  EXPECT_EQ(processor_.currentType(), kMR);
  EXPECT_EQ(processor_.lastRequestedName(), "Herz");
  ExpectIdle();
}

TEST_F(RequestTest, AStructureInSeveralPlacesOffersThemAndWaitsForTheChoice) {
  for (const char* structure : {"Vene", "Nerv"}) {
    SCOPED_TRACE(structure);
    Show("START");
    Request(Command::kPageLink, structure);
    const Lines offered = std::string(structure) == "Vene"
                              ? Lines{"found-on Herz (Schnitt)|Herz (CT)"}
                              : Lines{"found-on Herz (Schnitt)|Lunge (Schnitt)"};
    EXPECT_EQ(log_.lines(), (Lines{"stop", "wait+", "close-lists", offered[0], "wait-"}));
    EXPECT_FALSE(processor_.buffer().busy);
    EXPECT_EQ(processor_.buffer().structureToSelect, structure);
    EXPECT_EQ(processor_.currentPage().name, "START");
  }
  // The choice comes back as a tagged request from the found-on list.
  log_.Clear();
  Request(Command::kGoToPlace, "Lunge (Schnitt)");
  EXPECT_EQ(log_.Only({"load", "highlight", "search"}),
            (Lines{"load Bilder\\Schnitt\\lunge_s.jpg", "highlight Nerv c1 k1", "search Nerv"}));
  ExpectIdle();
}

TEST_F(RequestTest, AnUnknownNameShowsTheNoObjectTextAndNothingElse) {
  Show("Knie");
  Request(Command::kPageLink, "Milz");
  EXPECT_EQ(log_.lines(), (Lines{"stop", "wait+", "close-lists", "leave-full-view",
                                 "text-with-name _KEINOBJ.TXT v1 Milz t2", "wait-"}));
  EXPECT_EQ(processor_.currentPage().name, "Knie");
  EXPECT_EQ(processor_.lastRequestedName(), "Milz");
  ExpectIdle();
}

TEST_F(RequestTest, AStructureWhosePageIsMissingEndsInTheNoObjectText) {
  // "Loop" names itself as its page: looked up as a structure again, it would never end.
  for (const char* structure : {"Loop", "Ghost"}) {
    SCOPED_TRACE(structure);
    Show("Herz");
    Request(Command::kPageLink, structure);
    const std::string page = std::string(structure) == "Loop" ? "Loop" : "Fehlt";
    EXPECT_EQ(log_.Only({"text-with-name", "found-on", "load"}),
              Lines{"text-with-name _KEINOBJ.TXT v1 " + page + " t0"});
    ExpectIdle();
    // The next structure resolves again as usual.
    log_.Clear();
    Request(Command::kPageLink, "Aorta");
    EXPECT_EQ(log_.Only({"load"}), Lines{"load Bilder\\MRT\\herz_m.jpg"});
  }
}

TEST_F(RequestTest, ATaggedRequestForcesItsTypeEvenWithoutAnImage) {
  Show("Herz");
  Request(Command::kBookmarkRequest, "Lunge (CT)");
  EXPECT_EQ(log_.Only({"load", "mark-shown"}), (Lines{"mark-shown 0", "load Bilder\\CT\\"}));
  EXPECT_EQ(processor_.currentType(), kCT);
  EXPECT_EQ(processor_.lastImagePath(), "Bilder\\CT\\");
  ExpectIdle();
  // The next plain request for the page falls back to its own types again.
  log_.Clear();
  Request(Command::kPageLink, "Lunge");
  EXPECT_EQ(log_.Only({"load"}), Lines{"load Bilder\\Schnitt\\lunge_s.jpg"});
}

TEST_F(RequestTest, EverySenderMayTagAPageWithItsImageType) {
  // A text link, the found-on list, the index, the panel, a bookmark, the history: each may send
  // "page (type)", and each opens the page in that type.
  for (const Command command :
       {Command::kPageLink, Command::kGoToPlace, Command::kSearchOpen, Command::kOpenPlane,
        Command::kBookmarkRequest, Command::kHistoryRequest}) {
    SCOPED_TRACE(CommandId(command));
    Show("Knie");
    Request(command, "Herz (MR)");
    EXPECT_EQ(log_.Only({"load", "text-with-name"}), Lines{"load Bilder\\MRT\\herz_m.jpg"});
    EXPECT_EQ(processor_.currentType(), kMR);
    EXPECT_EQ(processor_.lastRequestedName(), "Herz");
    ExpectIdle();
  }
  // A page named like a tagged one stays whole; a tag on a name that is no page is not taken off.
  Show("Knie");
  Request(Command::kPageLink, "Hand (CT)");
  EXPECT_EQ(log_.Only({"load"}), Lines{"load Bilder\\Schnitt\\hand_s.jpg"});
  log_.Clear();
  Request(Command::kPageLink, "Milz (MR)");
  EXPECT_EQ(log_.Only({"text-with-name"}), Lines{"text-with-name _KEINOBJ.TXT v1 Milz (MR) t0"});
}

TEST_F(RequestTest, TwoPagesSharingAnImageShowTheSecondTextWithoutReloading) {
  Request(Command::kPageLink, "Herz (CT)");
  log_.Clear();
  Request(Command::kPageLink, "Thorax");
  EXPECT_EQ(log_.Only({"load", "expect", "text", "history", "mark-shown"}),
            (Lines{"text thorax.txt v1 t2", "history 2 Thorax"}));
  EXPECT_EQ(processor_.currentPage().name, "Thorax");
  EXPECT_EQ(processor_.currentType(), kCT);
}

TEST_F(RequestTest, AButtonOfTheTypeShownDoesNothingAnotherShowsItsImage) {
  Show("Herz");
  processor_.Handle(Command::kShowSchnitt);
  EXPECT_EQ(log_.lines(), (Lines{"stop", "wait+", "wait-"}));
  EXPECT_EQ(processor_.currentType(), kSchnitt);

  log_.Clear();
  processor_.Handle(Command::kShowCT);
  EXPECT_EQ(log_.lines(), (Lines{"stop", "wait+", "mark-shown 0", "load Bilder\\CT\\herz_c.jpg",
                                 "rehighlight", "text herz.txt v1 t2", "history 2 Herz", "wait-"}));
  EXPECT_EQ(processor_.currentType(), kCT);
}

TEST_F(RequestTest, ThePlaneIsMarkedOnlyForAnImageThatHasOne) {
  Show("Herz");
  for (const auto& [page, clear] : {std::pair{"Skizze", "1"}, {"Lunge", "0"}}) {
    SCOPED_TRACE(page);
    Request(Command::kPageLink, page);  // Skizze has a Schema image only
    EXPECT_EQ(log_.Only({"mark-shown"}), Lines{std::string("mark-shown ") + clear});
    log_.Clear();
  }
}

TEST_F(RequestTest, APageWithoutTextShowsTheCurrentTextAgainAndHighlightsTheDefault) {
  Show("Herz");
  Request(Command::kPageLink, "Blank");
  EXPECT_EQ(log_.Only({"leave-full-view", "text", "highlight", "rehighlight"}),
            (Lines{"rehighlight", "text  v1 t0", "rehighlight"}));
  log_.Clear();
  Request(Command::kPageLink, "Herz");
  EXPECT_EQ(log_.Only({"highlight"}), Lines{"highlight Ventrikel c1 k1"});
}

TEST_F(RequestTest, APageWithoutImagesShowsItsTextAndKeepsTheImage) {
  Show("Herz");
  Request(Command::kPageLink, "Leer");
  EXPECT_EQ(log_.Only({"enable", "load", "text"}),
            (Lines{"enable 0=0", "enable 1=0", "enable 2=0", "enable 3=0", "text leer.txt v1 t0"}));
  EXPECT_EQ(processor_.lastImagePath(), "Bilder\\Schnitt\\herz_s.jpg");
  ExpectIdle();
}

TEST_F(RequestTest, AnnouncingMakesThePageCurrentWithoutShowingItThenAButtonShowsIt) {
  Show("Herz");
  Request(Command::kAnnouncePage, "Knie");
  EXPECT_EQ(log_.lines(), (Lines{"enable 0=0", "enable 1=1", "enable 2=1", "enable 3=0"}));
  EXPECT_EQ(processor_.currentPage().name, "Knie");
  ExpectIdle();

  log_.Clear();
  Request(Command::kAnnouncePage, "Milz");  // unknown: nothing changes
  EXPECT_TRUE(log_.lines().empty());
  EXPECT_EQ(processor_.currentPage().name, "Knie");
  ExpectIdle();

  processor_.Handle(Command::kShowMR);
  EXPECT_EQ(log_.Only({"load", "text", "history"}),
            (Lines{"load Bilder\\MRT\\knie_m.jpg", "text knie.txt v1 t1", "history 1 Knie"}));
}

TEST_F(RequestTest, AStructureLinkMovesTheHighlightAndTheSearchWindowFollowsTheImageWindow) {
  Request(Command::kStructureLink, "Aorta");
  EXPECT_EQ(log_.lines(), (Lines{"clear-highlight", "highlight Aorta c1 k0", "search Aorta"}));
  ExpectIdle();

  log_.Clear();
  Request(Command::kStructureLink, "");  // an empty link only frees the buffer
  Request(Command::kStructureHighlighted, "Vene");
  EXPECT_EQ(log_.lines(), Lines{"search Vene"});
  ExpectIdle();
}

TEST_F(RequestTest, CommandsWithoutARequestLeaveEverythingAlone) {
  processor_.Handle(Command::kPageLink);
  EXPECT_EQ(log_.lines(), (Lines{"stop", "wait+", "close-lists", "wait-"}));
  log_.Clear();
  for (Command command :
       {Command::kAnnouncePage, Command::kStructureHighlighted, Command::kStructureLink}) {
    EXPECT_TRUE(processor_.Handle(command));
  }
  EXPECT_TRUE(log_.lines().empty());
  EXPECT_EQ(processor_.lastRequestedName(), "");
  EXPECT_FALSE(processor_.Handle(Command::kTogglePanel));
  EXPECT_FALSE(processor_.Handle(Command::kHistoryStart));
}

TEST_F(RequestTest, AWindowThatAsksWhileARequestIsBusyIsTurnedAway) {
  // The search window announces every selection it is given, as the real one does.
  struct Self : CommandTarget {
    RequestProcessor* processor;
    void SendCommand(int id) override { processor->Handle(AsCommand(id)); }
  } self;
  self.processor = &processor_;
  int dropped = 0;
  views_.onSelectName = [&](const std::string& name) {
    if (!AtlasRequests(processor_.buffer(), self).AnnouncePage(name)) ++dropped;
  };
  Request(Command::kPageLink, "Knie");
  EXPECT_EQ(dropped, 1);
  EXPECT_EQ(processor_.currentPage().name, "Knie");
  ExpectIdle();
  // Once idle, the same announcement goes through.
  EXPECT_TRUE(AtlasRequests(processor_.buffer(), self).AnnouncePage("Herz"));
  EXPECT_EQ(processor_.currentPage().name, "Herz");
  ExpectIdle();
}

TEST_F(RequestTest, TextVisibilityIsPassedOnAndMediaMayBeAbsent) {
  RequestProcessor silent(catalogue_, Views(), {&waitCursor_, nullptr, nullptr});
  silent.SetTextVisible(false);
  ASSERT_TRUE(silent.buffer().Take("Milz"));
  silent.Handle(Command::kPageLink);
  ASSERT_TRUE(silent.buffer().Take("Herz"));
  silent.Handle(Command::kPageLink);
  EXPECT_EQ(log_.Only({"stop", "wait+", "text", "text-with-name"}),
            (Lines{"text-with-name _KEINOBJ.TXT v0 Milz t-1", "text herz.txt v0 t0"}));
}

TEST(TransferBuffer, SendersAreTurnedAwayWhileBusyAndLongNamesAreCut) {
  TransferBuffer buffer;
  EXPECT_TRUE(buffer.Take("Herz (MR)"));
  EXPECT_FALSE(buffer.Take("Lunge"));
  EXPECT_EQ(buffer.name, "Herz (MR)");
  buffer.Release();
  EXPECT_TRUE(buffer.Take(std::string(600, 'x')));
  EXPECT_EQ(buffer.name.size(), 511u);
}

TEST(AtlasRequests, EachRequestSendsItsNumberWithTheNameAndNoneOverwritesABusyOne) {
  struct Recorder : CommandTarget {
    explicit Recorder(TransferBuffer& b) : buffer(b) {}
    void SendCommand(int id) override { sent.push_back(std::to_string(id) + " " + buffer.name); }
    TransferBuffer& buffer;
    std::vector<std::string> sent;
  };
  using Ask = bool (AtlasRequests::*)(std::string_view);
  const std::pair<Ask, const char*> requests[] = {
      {&AtlasRequests::GoToPlace, "1276 Lunge (CT)"},
      {&AtlasRequests::OpenPlane, "9034 Lunge (CT)"},
      {&AtlasRequests::OpenPage, "1274 Lunge (CT)"},
      {&AtlasRequests::OpenFound, "9054 Lunge (CT)"},
      {&AtlasRequests::AnnouncePage, "9059 Lunge (CT)"},
      {&AtlasRequests::StructureHighlighted, "9060 Lunge (CT)"},
      {&AtlasRequests::StructureLink, "1275 Lunge (CT)"},
  };
  for (const auto& [ask, expected] : requests) {
    SCOPED_TRACE(expected);
    TransferBuffer buffer;
    Recorder main(buffer);
    AtlasRequests atlas(buffer, main);
    EXPECT_TRUE((atlas.*ask)("Lunge (CT)"));
    EXPECT_EQ(main.sent, std::vector<std::string>{expected});
    // Nobody released the buffer: the next request is dropped and the name stays.
    EXPECT_TRUE(atlas.Busy());
    EXPECT_FALSE((atlas.*ask)("Herz"));
    EXPECT_EQ(buffer.name, "Lunge (CT)");
    EXPECT_EQ(main.sent.size(), 1u);
  }
}

TEST(RequestsAndHistory, AfterStartUpTheHistoryHoldsStartAndTheStartPage) {
  Catalogue catalogue;
  catalogue.AddIndexList(kPages);
  test::RecordingCursorService cursors;
  WaitCursor waitCursor(cursors);
  CallLog log;
  RecordingViews views(log);
  MainMenu menu;
  HistoryMenu history(menu.history());
  RequestProcessor processor(catalogue, {&views, &views, &views, &views, &views, &history},
                             {&waitCursor, nullptr, nullptr});
  processor.PostStartRequest();
  processor.ProcessStartRequest();
  ASSERT_EQ(menu.history().items.size(), 3u);
  EXPECT_EQ(menu.history().items[0].text, "(G) Start");
  EXPECT_EQ(menu.history().items[2].text, "(G) START");

  // Choosing "(G) Start" asks for "Start" in Schema, found in any ASCII case; the history entry
  // of the lookup is skipped and the image is the one shown already.
  ASSERT_TRUE(history.Choose(CommandId(Command::kHistoryStart), processor.buffer()));
  EXPECT_EQ(processor.buffer().name, "Start");
  EXPECT_EQ(processor.buffer().requestedType, kSchema);
  processor.Handle(Command::kHistoryRequest);
  EXPECT_EQ(menu.history().items.size(), 3u);
  EXPECT_EQ(processor.currentPage().name, "START");

  ASSERT_TRUE(processor.buffer().Take("Herz"));
  processor.Handle(Command::kPageLink);
  ASSERT_EQ(menu.history().items.size(), 4u);
  EXPECT_EQ(menu.history().items[3].text, "(S) Herz");
}

}  // namespace
}  // namespace ostrelin
