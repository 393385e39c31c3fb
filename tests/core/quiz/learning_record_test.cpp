// The learning record: card-file boxes over simulated days, the order of due questions, the
// record file, the typed-answer spelling and the quiz's score.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/core/scripted_message_service.h"
#include "platform/core/text_file.h"
#include "platform/core/file_replace.h"
#include "quiz/core/learning_record.h"
#include "quiz/core/learning_state_layout.h"
#include "quiz/core/typed_answer.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using std::chrono::days;
constexpr Day kMonday = Day(std::chrono::year(2026) / 3 / 2);

TEST(LearningRecordTest, BoxesRiseOnRightFallOnWrongAndComeDueAfterBoxSquaredDays) {
  LearningRecord record;
  Day today = kMonday;
  // Right answers each on the day the structure comes due: 4, 9, 16, 25, 25 days apart.
  record.Answer("Herz", true, today);  // box 2
  int box = 2;
  for (int step = 0; step < 5; ++step) {
    const LearningEntry& e = *record.Find("HERZ");
    ASSERT_EQ(e.box, box);
    const int gap = box * box;
    EXPECT_EQ(DueDay(e.box, e.last), today + days(gap));
    EXPECT_FALSE(IsDue(e, today + days(gap - 1))) << "box " << box;
    EXPECT_TRUE(IsDue(e, today + days(gap))) << "box " << box;
    today += days(gap);
    record.Answer("herz", true, today);
    box = std::min(box + 1, kHighestBox);
  }
  EXPECT_EQ(record.Find("Herz")->box, kHighestBox);  // never above the last box
  EXPECT_EQ(record.Find("Herz")->right, 6);
  record.Answer("Herz", false, today, "Lunge");
  const LearningEntry& e = *record.Find("Herz");
  EXPECT_EQ(e.box, kLowestBox);
  EXPECT_EQ(e.wrong, 1);
  EXPECT_EQ(e.confusedWith, "Lunge");
  EXPECT_TRUE(IsDue(e, today + days(1)));
  EXPECT_EQ(record.Entries().size(), 1u);  // one line per structure, case aside
}

TEST(LearningRecordTest, DueStructuresComeFirstLowBoxFirstAndNothingDueKeepsTheOrder) {
  LearningRecord record;
  const Day today = kMonday;
  const std::vector<std::string> names = {"A", "B", "C", "D", "E", "F"};
  auto nameOf = [&](int i) { return std::string_view(names[size_t(i)]); };
  std::vector<std::uint16_t> questions = {5, 4, 3, 2, 1, 0};
  PutDueFirst(questions, record, today, nameOf);
  EXPECT_EQ(questions, (std::vector<std::uint16_t>{5, 4, 3, 2, 1, 0}));  // no record

  record.Answer("B", true, today - days(30));  // box 2, due
  record.Answer("D", false, today - days(1));  // box 1, due
  record.Answer("E", true, today);             // box 2, not due
  record.Answer("F", false, today - days(2));  // box 1, due
  PutDueFirst(questions, record, today, nameOf);
  EXPECT_EQ(questions, (std::vector<std::uint16_t>{5, 3, 1, 4, 2, 0}));

  std::vector<std::uint16_t> later = {4, 2, 0};
  PutDueFirst(later, record, today, nameOf);  // only E is recorded among them, and not due
  EXPECT_EQ(later, (std::vector<std::uint16_t>{4, 2, 0}));
}

TEST(LearningRecordTest, FileRoundTripKeepsCp1252AndCrLfAndSkipsDamagedLines) {
  const std::string text =
      "Gro\xDF"
      "hirn # 3 # 2026-02-27 # 4 # 1 # Kleinhirn\r\n"
      "kaputt\r\n"
      "Herz # 6 # 2026-02-27 # 1 # 0 # \r\n"       // box out of range
      "Lunge # 2 # 2026-02-30 # 1 # 0 # \r\n"      // no such day
      "Aorta # 2 # 2026-02-27 # x # 0 # \r\n"      // count not a number
      "Vene # 2 # 2026-02-27 # 1 # 0\r\n"          // a field missing
      "Milz # 1 # 2026-03-01 # 0 # 2 # Leber\n"    // LF alone is read too
      "GROSSHIRN # 1 # 2026-03-01 # 0 # 0 # \r\n"  // not the same name: stays its own
      "gro\xDF"
      "hirn # 1 # 2026-03-01 # 0 # 0 # \r\n";  // the same name again: the first counts
  LearningRecord record;
  record.Parse(text);
  ASSERT_EQ(record.Entries().size(), 3u);
  const LearningEntry& first = record.Entries()[0];
  EXPECT_EQ(first.name,
            "Gro\xDF"
            "hirn");
  EXPECT_EQ(first.box, 3);
  EXPECT_EQ(first.last, Day(std::chrono::year(2026) / 2 / 27));
  EXPECT_EQ(first.right, 4);
  EXPECT_EQ(first.wrong, 1);
  EXPECT_EQ(first.confusedWith, "Kleinhirn");
  EXPECT_EQ(record.Encode(),
            "Gro\xDF"
            "hirn # 3 # 2026-02-27 # 4 # 1 # Kleinhirn\r\n"
            "Milz # 1 # 2026-03-01 # 0 # 2 # Leber\r\n"
            "GROSSHIRN # 1 # 2026-03-01 # 0 # 0 # \r\n");
  LearningRecord again;
  again.Parse(record.Encode());
  EXPECT_EQ(again.Encode(), record.Encode());

  // A '#' in a name cannot break the line into other fields.
  record.Answer("A#B", false, kMonday, "C\r\nD");
  again.Parse(record.Encode());
  ASSERT_NE(again.Find("A B"), nullptr);
  EXPECT_EQ(again.Find("A B")->confusedWith, "C  D");
}

TEST(LearningRecordTest, AFailedWriteKeepsTheOldFileAndSaysSoOncePerRun) {
  test::TempTree tree;
  const std::string path =
      tree.Write("BENUTZER.LRN", "Herz # 2 # 2026-03-01 # 1 # 0 # \r\n").string();
  ScriptedMessageService messages;
  // The disk is full: the replacement's write fails half-way, as ReplaceFileContents reports it.
  bool full = true;
  LearningRecordFile file(
      path,
      [&](const std::filesystem::path& p, std::string_view bytes) {
        return !full && ReplaceFileContents(p, bytes);
      },
      &messages);
  file.Load();
  ASSERT_NE(file.Record().Find("Herz"), nullptr);
  file.Record().Answer("Lunge", true, kMonday);
  EXPECT_FALSE(file.Save());
  EXPECT_FALSE(file.Save());
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(*ReadFileBytes(path), "Herz # 2 # 2026-03-01 # 1 # 0 # \r\n");
  full = false;
  EXPECT_TRUE(file.Save());
  LearningRecordFile reread(path, nullptr, nullptr);
  reread.Load();
  EXPECT_EQ(reread.Record().Entries().size(), 2u);
  EXPECT_EQ(LearningRecordFile::FileName("BENUTZER"), "BENUTZER.LRN");

  // A missing file is an empty record.
  LearningRecordFile missing((tree.Root() / "NEU.LRN").string(), nullptr, nullptr);
  missing.Load();
  EXPECT_TRUE(missing.Record().Entries().empty());
}

TEST(LearningRecordTest, CountsPerBoxDueAndMostConfused) {
  LearningRecord record;
  record.Answer("Herz", true, kMonday);            // box 2
  record.Answer("Lunge", false, kMonday, "Herz");  // box 1, due tomorrow
  record.Answer("Lunge", false, kMonday, "Aorta");
  record.Answer("Milz", false, kMonday - days(3), "Leber");  // box 1, due
  record.Answer("Leber", false, kMonday);                    // wrong without confusion
  const BoxCounts all = record.Count(kMonday);
  EXPECT_EQ(all.inBox, (std::array<int, 5>{3, 1, 0, 0, 0}));
  EXPECT_EQ(all.due, 1);
  const BoxCounts some =
      record.Count(kMonday + days(1), [](const std::string& n) { return n != "Milz"; });
  EXPECT_EQ(some.inBox, (std::array<int, 5>{2, 1, 0, 0, 0}));
  EXPECT_EQ(some.due, 2);
  const auto confused = record.MostConfused(10);
  ASSERT_EQ(confused.size(), 2u);
  EXPECT_EQ(confused[0]->name, "Lunge");
  EXPECT_EQ(confused[0]->confusedWith, "Aorta");
  EXPECT_EQ(confused[1]->name, "Milz");
  EXPECT_EQ(record.MostConfused(1).size(), 1u);
}

TEST(LearningRecordTest, MergeKeepsPerStructureTheLaterAnswer) {
  // Per structure: our line, theirs, the line that stays, whether it changed.
  struct Case {
    const char* title;
    const char* ours;
    const char* theirs;
    const char* merged;
    int changed;
  };
  const Case cases[] = {
      {"new there", "", "Herz # 2 # 2026-03-02 # 1 # 0 # ", "Herz # 2 # 2026-03-02 # 1 # 0 # ", 1},
      {"later there, our spelling stays", "Herz # 3 # 2026-03-01 # 2 # 0 # ",
       "HERZ # 1 # 2026-03-04 # 2 # 1 # Lunge", "Herz # 1 # 2026-03-04 # 2 # 1 # Lunge", 1},
      {"later here", "Herz # 3 # 2026-03-05 # 2 # 0 # ", "Herz # 1 # 2026-03-04 # 2 # 1 # Lunge",
       "Herz # 3 # 2026-03-05 # 2 # 0 # ", 0},
      {"same day, more answers there", "Herz # 2 # 2026-03-04 # 1 # 0 # ",
       "Herz # 3 # 2026-03-04 # 2 # 0 # ", "Herz # 3 # 2026-03-04 # 2 # 0 # ", 1},
      {"same day, as many", "Herz # 2 # 2026-03-04 # 1 # 0 # ", "Herz # 1 # 2026-03-04 # 0 # 1 # ",
       "Herz # 2 # 2026-03-04 # 1 # 0 # ", 0},
  };
  const std::string onlyHere = "Milz # 5 # 2026-01-01 # 9 # 0 # \r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    LearningRecord ours, theirs;
    ours.Parse(onlyHere + c.ours + "\r\n");
    theirs.Parse(std::string(c.theirs) + "\r\n");
    EXPECT_EQ(ours.Merge(theirs), c.changed);
    // What only this record knows stays, first; the structure merged follows it.
    EXPECT_EQ(ours.Encode(), onlyHere + c.merged + "\r\n");
  }
}

TEST(LearningStateLayoutTest, TheWindowStandsBesideTheImageCentreOnTheScreen) {
  const Rect screen{0, 0, 1024, 768};
  struct Case {
    Rect image;
    int width, height;
    Rect placed;
  };
  const Case cases[] = {
      {{0, 20, 1024, 700}, 300, 400, {528, 36, 300, 400}},    // right of the centre
      {{600, 20, 424, 700}, 300, 400, {496, 36, 300, 400}},   // no room right: left of it
      {{0, 20, 1024, 700}, 600, 400, {528, 36, 496, 400}},    // narrowed to the room there
      {{0, 500, 1024, 268}, 300, 400, {528, 368, 300, 400}},  // moved up onto the screen
  };
  for (const Case& c : cases) {
    const Rect placed = PlaceBesideCentre(c.image, c.width, c.height, screen);
    EXPECT_EQ(placed, c.placed) << c.image.left << "," << c.image.top << " " << c.width;
    const int centreX = c.image.left + c.image.width / 2;
    EXPECT_TRUE(placed.left > centreX || placed.left + placed.width < centreX);
  }
}

TEST(TypedAnswerTest, WhatStudentsWriteAndWhatStaysWrong) {
  const SynonymPairs synonyms = {{"HERZMUSKEL", "MYOKARD"},
                                 {"BALKEN", "CORPUS CALLOSUM"},
                                 {"REN", "NIERE"},
                                 {"HEPAR", "LEBER"}};
  const std::vector<std::string> atlas = {"Thalamus rechts",
                                          "Thalamus links",
                                          "Niere rechts",
                                          "Niere links",
                                          "Corpus callosum",
                                          "Nucleus caudatus",
                                          "Nucleus caudatus (Schweifkern)",
                                          "Leber (Hepar)"};
  using V = TypedVerdict;
  struct Case {
    const char* typed;
    const char* name;
    V verdict;
    const char* other = "";  // the structure a wrong answer stands for
  };
  const Case cases[] = {
      {"thalamus", "Thalamus", V::Right},
      {"  Corpus   callosum ", "Corpus callosum", V::Right},
      {"corpuscallosum", "Corpus callosum", V::Right},
      {"Gyrus praecentralis",
       "Gyrus pr\xE4"
       "centralis",
       V::Right},
      {"GYRUS PR\xC4"
       "CENTRALIS",
       "Gyrus praecentralis", V::Right},
      {"Fuss", "Fu\xDF", V::Right},
      {"Ruecken",
       "R\xFC"
       "cken",
       V::Right},
      // Sides, however written and wherever they stand.
      {"Thalamus li.", "Thalamus links", V::Right},
      {"Thalamus li", "Thalamus links", V::Right},
      {"Thalamus rechts", "Thalamus re.", V::Right},
      {"re. Thalamus", "Thalamus rechts", V::Right},
      {"Thalamus dext.", "Thalamus rechts", V::Right},
      {"Thalamus, sin.", "Thalamus links", V::Right},
      {"Thalamus links", "Thalamus rechts", V::Wrong, "Thalamus links"},
      {"Thalamus li.", "Thalamus rechts", V::Wrong, "Thalamus links"},
      {"Thalamus", "Thalamus links", V::Wrong},
      // Synonyms, alone and with a side.
      {"Balken", "Corpus callosum", V::Right},
      {"herzmuskel", "Myokard", V::Right},
      {"Ren re.", "Niere rechts", V::Right},
      {"Ren rechts", "Niere rechts", V::Right},
      {"Ren li", "Niere rechts", V::Wrong, "Niere links"},
      {"Balken", "Myokard", V::Wrong, "Corpus callosum"},
      // Short forms, point or not.
      {"A. carotis int.", "Arteria carotis int.", V::Right},
      {"Aa. cerebri", "Arteriae cerebri", V::Right},
      {"V cava superior", "Vena cava superior", V::Right},
      {"Vv. pulmonales", "Venae pulmonales", V::Right},
      {"M. biceps brachii", "Musculus biceps brachii", V::Right},
      {"Mm intercostales", "Musculi intercostales", V::Right},
      {"N. opticus", "Nervus opticus", V::Right},
      {"Nn. craniales", "Nervi craniales", V::Right},
      {"Lig. teres", "Ligamentum teres", V::Right},
      {"Proc mastoideus", "Processus mastoideus", V::Right},
      {"Nucl. ruber", "Nucleus ruber", V::Right},
      {"Nervus opticus", "N. opticus", V::Right},
      // Commas, hyphens and parentheses; either part of a name with a part in parentheses.
      {"Gyrus-praecentralis", "Gyrus praecentralis", V::Right},
      {"Capsula interna, Crus anterius", "Capsula interna (Crus anterius)", V::Right},
      {"Leber", "Leber (Hepar)", V::Right},
      {"hepar", "Leber (Hepar)", V::Right},
      {"Schweifkern", "Nucleus caudatus (Schweifkern)", V::Right},
      {"Hepar links", "Leber (Hepar)", V::Wrong},
      // One typing error in a word of six letters or more.
      {"Thalamsu", "Thalamus", V::Wrong},  // two letters swapped are two edits
      {"Thalamu", "Thalamus", V::Misspelt},
      {"Nucleus caudatis", "Nucleus caudatus", V::Misspelt},
      {"Nucleus cuadatis", "Nucleus caudatus", V::Wrong},
      {"Nukleus kaudatus", "Nucleus caudatus", V::Wrong},  // one error in each of two words
      {"Leberr", "Leber", V::Wrong},                       // a word of five letters
      {"Schweifkerm", "Nucleus caudatus (Schweifkern)", V::Misspelt},
      {"Nucleus caudatus", "Nucleus caudata", V::Wrong, "Nucleus caudatus"},  // another structure
      {"Herzmuskel", "Herzmuskel x", V::Wrong},
      {"", "Thalamus", V::Wrong},
      {"  .  ", "", V::Wrong},
  };
  for (const Case& c : cases) {
    const TypedJudgement j = JudgeTypedName(c.typed, c.name, synonyms, atlas);
    EXPECT_EQ(j.verdict, c.verdict) << "'" << c.typed << "' for '" << c.name << "'";
    EXPECT_EQ(j.otherStructure, c.other) << "'" << c.typed << "' for '" << c.name << "'";
  }
}

}  // namespace
}  // namespace ostrelin
