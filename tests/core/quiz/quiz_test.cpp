// The quiz's question order and answer checking, replayed with a seeded generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "platform/core/scripted_message_service.h"
#include "resources/core/ui_texts.h"
#include "quiz/core/quiz.h"
#include "quiz/core/quiz_session.h"
#include "tests/support/outline_testing.h"

namespace ostrelin {
namespace {

class QuizTest : public ::testing::Test {
 protected:
  // Structures without outline are enough: the quiz only looks at names and indices.
  std::unique_ptr<Objektliste> ListOf(std::initializer_list<const char*> names) {
    test::RawOutline raw;
    raw.Title("T").Int16(int(names.size()));
    int number = 1;
    for (const char* name : names) raw.Head(number++, name, -1, -1);
    bytes_ = raw.Data();
    return std::make_unique<Objektliste>(plotter_, OutlineBytes{bytes_}, messages_);
  }
  static HitList Hits(std::initializer_list<int> indices) {
    HitList hits;
    for (int i : indices) hits.Append(i);
    return hits;
  }

  std::string bytes_;
  test::RecordingPlotter plotter_;
  ScriptedMessageService messages_;
  RuntimeRandom random_{7};
};

TEST_F(QuizTest, ARunAsksEveryStructureOnceAndDoesNotStartOverByItself) {
  const auto list = ListOf({"A", "B", "C", "D", "E", "F"});
  Quiz quiz;
  for (int run = 0; run < 2; ++run) {
    quiz.Start(kQuizNameToStructure, false);
    std::set<int> asked;
    for (int i = 0; i < 6; ++i) {
      EXPECT_FALSE(quiz.Through());
      const QuizQuestion q = quiz.Next(*list, random_);
      EXPECT_TRUE(q.nameToStructure);
      EXPECT_EQ(q.name, std::string(1, char('A' + q.index)));
      EXPECT_EQ(quiz.TargetName(), q.name);
      asked.insert(q.index);
    }
    EXPECT_EQ(asked.size(), 6u) << "run " << run;
    EXPECT_TRUE(quiz.Through());
    EXPECT_EQ(quiz.Next(*list, random_).index, -1);  // through: nothing more is asked
    EXPECT_TRUE(quiz.Questions().empty());
  }
}

TEST_F(QuizTest, TheSameSeedAsksInTheSameOrderAndTheOrderIsShuffled) {
  const auto list = ListOf({"A", "B", "C", "D", "E", "F", "G", "H"});
  std::vector<int> first, second;
  for (std::vector<int>* order : {&first, &second}) {
    RuntimeRandom random(12345);
    Quiz quiz;
    quiz.Start(kQuizNameToStructure, false);
    for (int i = 0; i < 8; ++i) order->push_back(quiz.Next(*list, random).index);
  }
  EXPECT_EQ(first, second);
  std::vector<int> sorted = first;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_NE(first, sorted);
}

TEST_F(QuizTest, AlternateDrawsBothDirections) {
  const auto list = ListOf({"A", "B", "C"});
  Quiz quiz;
  quiz.Start(kQuizNameToStructure, true);
  int names = 0, structures = 0;
  for (int i = 0; i < 40; ++i) {
    if (quiz.Through()) quiz.Start(kQuizNameToStructure, true);
    const QuizQuestion q = quiz.Next(*list, random_);
    (q.nameToStructure ? names : structures)++;
    if (!q.nameToStructure) {
      EXPECT_EQ(quiz.ShownName(), q.name);
    }
  }
  EXPECT_GT(names, 5);
  EXPECT_GT(structures, 5);
}

TEST_F(QuizTest, StructureToNameAcceptsNoClicksAndShowsTheName) {
  const auto list = ListOf({"Herz", "Lunge"});
  Quiz quiz;
  quiz.Start(kQuizStructureToName, false);
  const QuizQuestion q = quiz.Next(*list, random_);
  EXPECT_FALSE(q.nameToStructure);
  EXPECT_FALSE(quiz.AcceptsClicks());
  EXPECT_TRUE(quiz.TargetName().empty());
  EXPECT_EQ(quiz.ShownName(), q.name);
}

TEST_F(QuizTest, ClicksAreAnswersUntilTheAnswerIsShown) {
  const auto list = ListOf({"Herz", "Lunge"});
  Quiz quiz;
  EXPECT_FALSE(quiz.AcceptsClicks());
  quiz.Start(kQuizNameToStructure, false);
  quiz.Next(*list, random_);
  EXPECT_TRUE(quiz.AcceptsClicks());
  quiz.SetAnswerShown();
  EXPECT_FALSE(quiz.AcceptsClicks());
  quiz.Next(*list, random_);
  EXPECT_TRUE(quiz.AcceptsClicks());
  quiz.Stop();
  EXPECT_FALSE(quiz.AcceptsClicks());
}

TEST_F(QuizTest, JudgingOneOrSeveralStructures) {
  const auto list = ListOf({"Herz", "Lunge", "Aorta", "Vene"});
  Quiz quiz;
  quiz.Start(kQuizNameToStructure, false);
  do {
    quiz.Next(*list, random_);
  } while (quiz.TargetName() != "Aorta");

  QuizAnswer a = quiz.Judge(Hits({0, 1, 2}), *list);  // three under the click, target among them
  EXPECT_TRUE(a.right);
  EXPECT_EQ(a.structure, 2);

  a = quiz.Judge(Hits({0, 1}), *list);
  EXPECT_FALSE(a.right);
  EXPECT_EQ(a.structure, 1);
  EXPECT_EQ(a.chosenText, quiz_text::kOverlapNoneRight);

  a = quiz.Judge(Hits({3}), *list);
  EXPECT_FALSE(a.right);
  EXPECT_EQ(a.chosenText, "Vene");

  const auto lower = ListOf({"aorta"});
  EXPECT_TRUE(quiz.Judge(Hits({0}), *lower).right);  // case does not matter
}

TEST_F(QuizTest, AMissedQuestionIsAskedOnceMoreAtTheEndAndOpenNeverGrows) {
  const auto list = ListOf({"A", "B", "C", "D"});
  Quiz quiz;
  quiz.Start(kQuizNameToStructure, false);
  const int wrong = quiz.Next(*list, random_).index;
  EXPECT_EQ(quiz.OpenCount(), 4);
  EXPECT_TRUE(quiz.Score(false));
  quiz.Requeue();
  quiz.Requeue();  // not twice
  EXPECT_EQ(quiz.Questions().back(), wrong);
  EXPECT_EQ(quiz.OpenCount(), 4);

  const int shown = quiz.Next(*list, random_).index;
  quiz.SetAnswerShown();
  EXPECT_TRUE(quiz.ScoreShown());
  quiz.Requeue();
  EXPECT_EQ(quiz.OpenCount(), 4);
  quiz.Next(*list, random_);
  EXPECT_TRUE(quiz.Score(true));
  EXPECT_EQ(quiz.OpenCount(), 3);
  quiz.Next(*list, random_);  // passed over with "Nächste Frage"
  EXPECT_EQ(quiz.OpenCount(), 3);

  // The last question was missed as well: it too is asked once more, after the others.
  EXPECT_EQ(quiz.Next(*list, random_).index, wrong);
  EXPECT_TRUE(quiz.AskedAgain());
  EXPECT_FALSE(quiz.Score(false));  // asked again: neither counted nor queued a third time
  quiz.Requeue();
  EXPECT_EQ(quiz.OpenCount(), 1);
  EXPECT_EQ(quiz.Next(*list, random_).index, shown);
  EXPECT_TRUE(quiz.Through());
  EXPECT_EQ(ScoreText(quiz), "Richtig: 1   Falsch: 1   Gezeigt: 1   Offen: 1");
  EXPECT_EQ(ResultText(quiz), "Ergebnis: 1 von 4 richtig, 1 falsch, 1 gezeigt");
}

TEST_F(QuizTest, QuestionsAreForgottenForAnotherImageAndKeptBetweenRuns) {
  const auto big = ListOf({"A", "B", "C", "D", "E"});
  Quiz quiz;
  quiz.Start(kQuizNameToStructure, false);
  quiz.Next(*big, random_);
  quiz.Stop();
  quiz.Start(kQuizNameToStructure, false);
  EXPECT_EQ(quiz.Questions().size(), 4u);  // a new run on the same image continues

  quiz.ResetQuestions();
  const auto small = ListOf({"X", "Y"});
  for (int i = 0; i < 2; ++i) {
    const QuizQuestion q = quiz.Next(*small, random_);
    EXPECT_LT(q.index, 2);
    EXPECT_FALSE(q.name.empty());
  }
}

TEST_F(QuizTest, AStructureWithoutNameAsksNothingAndKeepsTheTarget) {
  const auto list = ListOf({"Herz", ""});
  Quiz quiz;
  quiz.Start(kQuizNameToStructure, false);
  bool sawUnnamed = false;
  bool herzAsked = false;  // in this run
  for (int i = 0; i < 6; ++i) {
    if (quiz.Through()) {
      quiz.Start(kQuizNameToStructure, false);
      herzAsked = false;
    }
    const QuizQuestion q = quiz.Next(*list, random_);
    if (q.index == 1) {
      sawUnnamed = true;
      EXPECT_TRUE(q.name.empty());
      EXPECT_EQ(quiz.TargetName(), herzAsked ? "Herz" : "");
    }
    herzAsked = herzAsked || q.index == 0;
  }
  EXPECT_TRUE(sawUnnamed);
}

constexpr Day kToday = Day(std::chrono::year(2026) / 3 / 2);

TEST_F(QuizTest, OnlyTheFirstAnswerOfAQuestionCountsAndTheRecordOrdersARefill) {
  const auto list = ListOf({"A", "B", "C", "D"});
  RuntimeRandom random(3);
  Quiz quiz;
  quiz.Start(kQuizStructureToName, false);
  quiz.Next(*list, random);
  EXPECT_EQ(ScoreText(quiz), "Richtig: 0   Falsch: 0   Gezeigt: 0   Offen: 4");
  EXPECT_TRUE(quiz.Score(false));
  EXPECT_FALSE(quiz.Score(true));  // the right click after a wrong one
  EXPECT_FALSE(quiz.JudgeTyped("x", {}).right);
  EXPECT_TRUE(quiz.JudgeTyped(" " + quiz.ShownName() + " ", {}).right);
  EXPECT_EQ(quiz.JudgeTyped(" x ", {}).chosenText, "x");
  quiz.Next(*list, random);
  EXPECT_TRUE(quiz.Score(true));
  EXPECT_EQ(ScoreText(quiz), "Richtig: 1   Falsch: 1   Gezeigt: 0   Offen: 2");
  quiz.Start(kQuizStructureToName, false);
  // A new run, a new score.
  EXPECT_EQ(ScoreText(quiz), "Richtig: 0   Falsch: 0   Gezeigt: 0   Offen: 2");

  // A refill asks the due structure first; without a record the seeded order is unchanged.
  std::vector<int> plain, withRecord;
  LearningRecord record;
  record.Answer("C", false, kToday - std::chrono::days(1));
  for (auto* order : {&plain, &withRecord}) {
    RuntimeRandom seeded(99);
    Quiz q;
    q.Start(kQuizNameToStructure, false);
    for (int i = 0; i < 4; ++i) {
      order->push_back(q.Next(*list, seeded, order == &plain ? nullptr : &record, kToday).index);
    }
  }
  EXPECT_EQ(withRecord[0], 2);
  std::vector<int> expected = {2};
  for (int i : plain) {
    if (i != 2) expected.push_back(i);
  }
  EXPECT_EQ(withRecord, expected);
  EXPECT_EQ(ConfusionText("Herz", "Lunge"), "Gew\xE4hlt: Herz \xB7 Gesucht: Lunge");
}

TEST_F(QuizTest, TypedAnswersKeepAConfusionOnlyForAnotherStructure) {
  const auto list = ListOf({"Thalamus rechts"});
  Quiz quiz;
  quiz.Start(kQuizStructureToName, false);
  quiz.Next(*list, random_);
  const std::vector<std::string> atlas = {"Thalamus rechts", "Thalamus links"};
  const QuizAnswer other = quiz.JudgeTyped(" Thalamus li. ", {}, atlas);
  EXPECT_FALSE(other.right);
  EXPECT_EQ(other.chosenText, "Thalamus li.");
  EXPECT_EQ(other.confusedWith, "Thalamus links");
  const QuizAnswer miss = quiz.JudgeTyped("Talamus lings", {}, atlas);
  EXPECT_FALSE(miss.right);
  EXPECT_EQ(miss.confusedWith, "");
  const QuizAnswer misspelt = quiz.JudgeTyped("Thalamsu re", {}, atlas);
  EXPECT_TRUE(!misspelt.right && misspelt.confusedWith.empty());  // two letters swapped
  EXPECT_TRUE(quiz.JudgeTyped("Thalamu re", {}, atlas).misspelt);
}

TEST_F(QuizTest, ASeriesNamesThePlaneAskedInTheStrip) {
  Quiz quiz;
  quiz.StartSeries({"Kopf axial +0 mm", "Kopf axial +10 mm", "Kopf axial +20 mm"});
  EXPECT_EQ(PlaneText(quiz), "");
  quiz.NextPlane();
  EXPECT_EQ(quiz.NextPlane(), "Kopf axial +10 mm");
  EXPECT_EQ(PlaneText(quiz), "Ebene 2 von 3: Kopf axial +10 mm");
  EXPECT_EQ(QuizStripText(quiz, ""), "Ebene 2 von 3: Kopf axial +10 mm");
  EXPECT_EQ(QuizStripText(quiz, "x"), "x   Ebene 2 von 3: Kopf axial +10 mm");
  quiz.Stop();
  EXPECT_EQ(QuizStripText(quiz, "x"), "x");
}

// ---------------------------------------------------------------------------------------------
// A whole run: the session, as the quiz's window drives it.

using QuizSessionTest = QuizTest;

int IndexOf(const Objektliste& list, const std::string& name) { return list.FindByName(name); }

TEST_F(QuizSessionTest, AMissedStructureIsAskedOnceMoreLastAndTheRunEndsWithItsResult) {
  const auto list = ListOf({"Herz", "Lunge", "Aorta"});
  QuizSession session;
  ASSERT_TRUE(session.Start(kQuizNameToStructure, false, list.get()));
  ASSERT_EQ(session.Next(list.get(), random_).kind, QuizStep::Kind::Ask);
  const std::string missed = session.State().TargetName();
  const std::string wrong = missed == "Herz" ? "Lunge" : "Herz";
  const QuizReply miss = session.AnswerClick(Hits({IndexOf(*list, wrong)}), *list);
  EXPECT_FALSE(miss.right);
  EXPECT_EQ(miss.message, "Ihre Antwort ist leider falsch ! Sie haben gew\xE4hlt:\n" + wrong);
  EXPECT_EQ(session.Confusion().note, "Gew\xE4hlt: " + wrong + " \xB7 Gesucht: " + missed);
  EXPECT_EQ(session.Confusion().chosen, std::vector<int>{IndexOf(*list, wrong)});
  EXPECT_EQ(session.Confusion().asked, IndexOf(*list, missed));

  QuizStep step = session.Next(list.get(), random_);  // "N\xE4chste Frage"
  EXPECT_TRUE(session.Confusion().Empty());           // the next question clears it
  std::vector<std::string> asked = {missed};
  for (int i = 0; i < 3 && step.kind == QuizStep::Kind::Ask; ++i) {
    asked.push_back(session.State().TargetName());
    const QuizReply reply = session.AnswerClick(Hits({IndexOf(*list, asked.back())}), *list);
    EXPECT_TRUE(reply.right);
    EXPECT_EQ(reply.message, quiz_text::kRight);
    step = session.Next(list.get(), random_);
  }
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_EQ(asked.back(), missed);  // the missed one, once more, last
  EXPECT_FALSE(session.State().Running());
  EXPECT_EQ(step.kind, QuizStep::Kind::Done);
  EXPECT_EQ(step.message, "Ergebnis: 2 von 3 richtig, 1 falsch, 0 gezeigt");

  // "Test beenden" tells the result of the questions so far; a run that asked nothing, nothing.
  ASSERT_TRUE(session.Start(kQuizNameToStructure, false, list.get()));
  session.Next(list.get(), random_);
  EXPECT_TRUE(session.ShowAnswer(list.get()));
  EXPECT_EQ(session.End(), "Ergebnis: 0 von 1 richtig, 0 falsch, 1 gezeigt");
  EXPECT_EQ(session.End(), "");
  // An image without structures starts nothing.
  const auto empty = ListOf({});
  EXPECT_FALSE(session.Start(kQuizNameToStructure, false, empty.get()));
  EXPECT_FALSE(session.Start(kQuizNameToStructure, false, nullptr));
  EXPECT_FALSE(session.State().Running());
}

// A series as the main window plays it: each plane's page loads the plane's image, no image
// (a page without one), fails after the old image is gone, or is the page on screen already.
TEST_F(QuizSessionTest, ASeriesOpensEachPlaneAndAsksWhatItsImageHolds) {
  const auto brust = ListOf({"Herz", "Lunge", "Aorta"});
  const auto bauch = ListOf({"Leber", "Milz"});
  const auto leer = ListOf({});
  enum class Load { Image, NoImage, Fails, OnScreen };
  const std::map<std::string, std::pair<Load, Objektliste*>> pages = {
      {"Ebene 1", {Load::Image, brust.get()}}, {"Ebene 2", {Load::Image, leer.get()}},
      {"Ebene 3", {Load::Image, bauch.get()}}, {"Text", {Load::NoImage, nullptr}},
      {"Kaputt", {Load::Fails, nullptr}},      {"Gezeigt", {Load::OnScreen, nullptr}}};
  enum class Answer { ShowFirstThenPass, Right };
  struct Case {
    const char* title;
    std::vector<std::string> planes;
    Answer answer;
    std::vector<std::string> asked;  // sorted
    std::string end;
  };
  const std::string done = quiz_text::kSeriesDone;
  const Case cases[] = {
      {"the plane without structures is passed over",
       {"Ebene 1", "Ebene 2", "Ebene 3"},
       Answer::ShowFirstThenPass,
       {"Aorta", "Herz", "Leber", "Lunge", "Milz"},
       done + "Ergebnis: 0 von 5 richtig, 0 falsch, 1 gezeigt"},
      {"pages without an image or that fail are passed over",
       {"Text", "Ebene 3", "Kaputt"},
       Answer::Right,
       {"Leber", "Milz"},
       done + "Ergebnis: 2 von 2 richtig, 0 falsch, 0 gezeigt"},
      {"nothing to ask on any plane",
       {"Ebene 2", "Kaputt"},
       Answer::Right,
       {},
       quiz_text::kNoStructures},
      {"no planes", {}, Answer::Right, {}, quiz_text::kNoStructures},
      {"the plane on screen is asked on its image as it stands",
       {"Gezeigt", "Ebene 3"},
       Answer::Right,
       {"Aorta", "Herz", "Leber", "Lunge", "Milz"},
       done + "Ergebnis: 5 von 5 richtig, 0 falsch, 0 gezeigt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    QuizSession session;
    Objektliste* shown = brust.get();  // the image shown before: never asked
    std::vector<std::string> opened;
    // Opens planes as the steps say until the session asks or ends.
    const auto follow = [&](QuizStep step) {
      while (step.kind == QuizStep::Kind::OpenPlane) {
        opened.push_back(step.plane);
        EXPECT_TRUE(session.OpeningPlane());  // the run keeps its full view meanwhile
        const auto& [load, list] = pages.at(step.plane);
        if (load != Load::NoImage) session.ImageReplaced();
        if (load == Load::Fails) shown = nullptr;
        if (load == Load::Image) {
          shown = list;
          session.ImageLoaded(shown);
        }
        if (load == Load::OnScreen) session.PlaneOnScreen(shown);
        step = session.Next(shown, random_);
      }
      EXPECT_FALSE(session.OpeningPlane());
      return step;
    };
    session.StartSeries(c.planes);
    QuizStep step = follow(session.Next(shown, random_));
    std::vector<std::string> asked;
    for (int i = 0; i < 8 && step.kind == QuizStep::Kind::Ask; ++i) {
      ASSERT_FALSE(opened.empty()) << "asked before a plane was opened";
      EXPECT_EQ(session.StripText(), "Ebene " + std::to_string(session.State().PlaneIndex() + 1) +
                                         " von " + std::to_string(c.planes.size()) + ": " +
                                         opened.back());
      if (!session.State().AskedAgain()) asked.push_back(session.State().TargetName());
      if (c.answer == Answer::Right) {
        session.AnswerClick(Hits({shown->FindByName(session.State().TargetName())}), *shown);
      } else if (i == 0) {
        session.ShowAnswer(shown);  // one shown, asked again
      }
      step = follow(session.Next(shown, random_));
    }
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(opened, c.planes);
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(step.kind, QuizStep::Kind::Done);
    EXPECT_EQ(step.message, c.end);
    EXPECT_FALSE(session.State().Running());
  }
}

TEST_F(QuizSessionTest, TypedAnswersAreJudgedCountedAndRecordedWithTheirConfusion) {
  const auto list = ListOf({"Herz", "Lunge", "Aorta"});
  int writes = 0;
  LearningRecordFile record(
      "BENUTZER.LRN", [&](const std::filesystem::path&, std::string_view) { return ++writes > 0; },
      &messages_);
  const Day today = Day(std::chrono::year(2026) / 3 / 2);
  const CrossReferenceList noCrossReferences;
  QuizSession session;
  session.SetLearningRecord(&record, [today] { return today; });
  session.SetSynonyms({{"HERZMUSKEL", "HERZ"}});
  ASSERT_TRUE(session.Start(kQuizStructureToName, false, list.get()));
  ASSERT_EQ(session.Next(list.get(), random_).kind, QuizStep::Kind::Ask);
  const auto typed = [&](std::string_view text) {
    return session.AnswerTyped(text, list.get(), noCrossReferences);
  };
  EXPECT_FALSE(typed(" \t ").has_value());  // nothing typed is no answer

  // A name that is no structure: wrong, the note tells what was asked, the record a plain miss.
  const std::string first = session.State().ShownName();
  std::optional<QuizReply> reply = typed("Milz");
  ASSERT_TRUE(reply.has_value());
  EXPECT_FALSE(reply->right);
  EXPECT_EQ(reply->message, "Ihre Antwort ist leider falsch ! Sie haben gew\xE4hlt:\nMilz");
  EXPECT_FALSE(session.State().AnswerShown());
  EXPECT_EQ(session.Score(), "Richtig: 0   Falsch: 1   Gezeigt: 0   Offen: 3");
  EXPECT_EQ(session.Confusion().note, "Gew\xE4hlt: Milz \xB7 Gesucht: " + first);
  EXPECT_TRUE(session.Confusion().chosen.empty());
  EXPECT_EQ(session.Confusion().asked, IndexOf(*list, first));  // outlined green
  ASSERT_NE(record.Record().Find(first), nullptr);
  EXPECT_EQ(record.Record().Find(first)->confusedWith, "");
  EXPECT_EQ(writes, 1);

  // Right, written another way: upper case with blanks, or the synonym.
  reply = typed(first == "Herz" ? " HERZ MUSKEL " : " " + first + " ");
  ASSERT_TRUE(reply.has_value());
  EXPECT_TRUE(reply->right);
  EXPECT_EQ(reply->message, quiz_text::kRight);
  session.Next(list.get(), random_);
  EXPECT_TRUE(session.Confusion().Empty());

  // Another structure of the atlas: the record keeps the confusion, and it is outlined red.
  const std::string second = session.State().ShownName();
  const std::string other = second == "Herz" ? "Lunge" : "Herz";
  typed(other);
  EXPECT_EQ(session.Confusion().note, "Gew\xE4hlt: " + other + " \xB7 Gesucht: " + second);
  EXPECT_EQ(session.Confusion().chosen, std::vector<int>{IndexOf(*list, other)});
  ASSERT_NE(record.Record().Find(second), nullptr);
  EXPECT_EQ(record.Record().Find(second)->confusedWith, other);

  // Shown in the dialog: counted as shown; nothing typed counts after that.
  session.Next(list.get(), random_);
  EXPECT_TRUE(session.NameShown(list.get()));
  EXPECT_EQ(session.Score(), "Richtig: 0   Falsch: 2   Gezeigt: 1   Offen: 3");
  EXPECT_FALSE(typed(session.State().ShownName()).has_value());
  // A question naming a structure to find takes no typed answer.
  ASSERT_TRUE(session.Start(kQuizNameToStructure, false, list.get()));
  session.Next(list.get(), random_);
  EXPECT_FALSE(typed(session.State().TargetName()).has_value());
}

TEST_F(QuizSessionTest, EveryCountedAnswerIsWrittenAFailedWriteIsToldOnceAndDueOnesComeFirst) {
  const auto list = ListOf({"Herz", "Lunge", "Aorta"});
  const Day today = Day(std::chrono::year(2026) / 3 / 2);
  std::string written;
  bool writable = true;
  LearningRecordFile record(
      "BENUTZER.LRN",
      [&](const std::filesystem::path&, std::string_view bytes) {
        if (writable) written = bytes;
        return writable;
      },
      &messages_);
  QuizSession session;
  session.SetLearningRecord(&record, [today] { return today; });
  ASSERT_TRUE(session.Start(kQuizNameToStructure, false, list.get()));
  session.Next(list.get(), random_);
  const std::string target = session.State().TargetName();
  const std::string wrong = target == "Herz" ? "Lunge" : "Herz";
  session.AnswerClick(Hits({IndexOf(*list, wrong)}), *list);
  LearningRecord reread;
  reread.Parse(written);
  ASSERT_EQ(reread.Entries().size(), 1u);
  EXPECT_EQ(reread.Entries()[0].name, target);
  EXPECT_EQ(reread.Entries()[0].confusedWith, wrong);
  EXPECT_EQ(reread.Entries()[0].last, today);

  writable = false;
  // Right after the miss: not counted again, nothing written. Then two shown answers that
  // cannot be written: the user is told once, and the run goes on.
  EXPECT_TRUE(session.AnswerClick(Hits({IndexOf(*list, target)}), *list).right);
  for (int i = 0; i < 2; ++i) {
    session.Next(list.get(), random_);
    EXPECT_TRUE(session.ShowAnswer(list.get()));
  }
  int failures = 0;
  for (const auto& m : messages_.shown) failures += m.text.rfind("Lernstand-Datei", 0) == 0;
  EXPECT_EQ(failures, 1);
  EXPECT_TRUE(session.State().Running());
  EXPECT_EQ(record.Record().Entries().size(), 3u);  // kept in memory for the next write

  // The next run asks the structure that is due first.
  session.End();
  session.ImageReplaced();
  LearningRecordFile fresh("BENUTZER.LRN", nullptr, nullptr);
  fresh.Record().Parse(written);
  fresh.Record().Answer("Aorta", false, today - std::chrono::days(1));
  session.SetLearningRecord(&fresh, [today] { return today; });
  ASSERT_TRUE(session.Start(kQuizNameToStructure, false, list.get()));
  session.Next(list.get(), random_);
  EXPECT_EQ(session.State().TargetName(), "Aorta");
}

}  // namespace
}  // namespace ostrelin
