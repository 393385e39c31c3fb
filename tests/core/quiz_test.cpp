// The quiz's question order and answer checking, replayed with a seeded generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/core/scripted_message_service.h"
#include "structures/core/image_window_texts.h"
#include "structures/core/quiz.h"
#include "tests/core/outline_testing.h"

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

TEST_F(QuizTest, EveryStructureIsAskedOnceBeforeTheListRefills) {
  const auto list = ListOf({"A", "B", "C", "D", "E", "F"});
  Quiz quiz;
  quiz.Start(kQuizNameToStructure, false);
  for (int round = 0; round < 2; ++round) {
    std::set<int> asked;
    for (int i = 0; i < 6; ++i) {
      const QuizQuestion q = quiz.Next(*list, random_);
      EXPECT_TRUE(q.nameToStructure);
      EXPECT_EQ(q.name, std::string(1, char('A' + q.index)));
      EXPECT_EQ(quiz.TargetName(), q.name);
      asked.insert(q.index);
    }
    EXPECT_EQ(asked.size(), 6u) << "round " << round;
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
  EXPECT_EQ(a.chosenText, image_window_text::kOverlapNoneRight);

  a = quiz.Judge(Hits({3}), *list);
  EXPECT_FALSE(a.right);
  EXPECT_EQ(a.chosenText, "Vene");

  const auto lower = ListOf({"aorta"});
  EXPECT_TRUE(quiz.Judge(Hits({0}), *lower).right);  // case does not matter
}

TEST_F(QuizTest, AWrongAnswerComesBackUnlessItWasTheLastQuestion) {
  const auto list = ListOf({"A", "B", "C"});
  Quiz quiz;
  quiz.Start(kQuizNameToStructure, false);
  const int first = quiz.Next(*list, random_).index;
  quiz.Requeue();
  ASSERT_EQ(quiz.Questions().size(), 3u);
  EXPECT_EQ(quiz.Questions().back(), first);
  quiz.Requeue();  // already last: not twice
  EXPECT_EQ(quiz.Questions().size(), 3u);

  quiz.Next(*list, random_);
  quiz.Next(*list, random_);
  quiz.Next(*list, random_);
  ASSERT_TRUE(quiz.Questions().empty());
  quiz.Requeue();  // the last remaining question is not re-queued
  EXPECT_TRUE(quiz.Questions().empty());
  quiz.Next(*list, random_);  // refills the whole list
  EXPECT_EQ(quiz.Questions().size(), 2u);
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
  for (int i = 0; i < 4; ++i) {
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
  for (int i = 0; i < 6; ++i) {
    const QuizQuestion q = quiz.Next(*list, random_);
    if (q.index == 1) {
      sawUnnamed = true;
      EXPECT_TRUE(q.name.empty());
      if (i > 0) {
        EXPECT_EQ(quiz.TargetName(), "Herz");
      }
    }
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
  EXPECT_EQ(ScoreText(quiz), "Richtig: 0   Falsch: 0   Offen: 3");
  EXPECT_TRUE(quiz.Score(false));
  EXPECT_FALSE(quiz.Score(true));  // the right click after a wrong one
  EXPECT_FALSE(quiz.JudgeTyped("x", {}).right);
  EXPECT_TRUE(quiz.JudgeTyped(" " + quiz.ShownName() + " ", {}).right);
  EXPECT_EQ(quiz.JudgeTyped(" x ", {}).chosenText, "x");
  quiz.Next(*list, random);
  EXPECT_TRUE(quiz.Score(true));
  EXPECT_EQ(ScoreText(quiz), "Richtig: 1   Falsch: 1   Offen: 2");
  quiz.Start(kQuizStructureToName, false);
  EXPECT_EQ(ScoreText(quiz), "Richtig: 0   Falsch: 0   Offen: 2");  // a new run, a new score

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

}  // namespace
}  // namespace ostrelin
