// The main menu's structure, the history menu, the bookmark menu and the bookmark file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/core/scripted_message_service.h"
#include "platform/core/text_file.h"
#include "shell/core/bookmark_menu.h"
#include "shell/core/commands.h"
#include "shell/core/history_menu.h"
#include "shell/core/main_menu.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using Texts = std::vector<std::string>;
using test::TempTree;
// The numbers of the bookmark menu's "setzen" and "löschen".
constexpr int kSet = CommandId(Command::kSetBookmark);
constexpr int kDelete = CommandId(Command::kDeleteBookmark);

// The menu's items from `first` on as "id text" lines.
Texts Items(const Menu& menu, size_t first) {
  Texts lines;
  for (size_t i = first; i < menu.items.size(); ++i) {
    lines.push_back(std::to_string(menu.items[i].id) + " " + menu.items[i].text);
  }
  return lines;
}

TEST(MainMenu, SixMenusInOrderWithHistoryAndBookmarksAtThreeAndFour) {
  const MainMenu model;
  const auto& menus = model.menus();
  ASSERT_EQ(menus.size(), 6u);
  Texts titles;
  for (const Menu& menu : menus) titles.push_back(menu.title);
  EXPECT_EQ(titles, (Texts{"&Modus", "&Text",
                           "&Schriftgr\xF6\xDF"
                           "e",
                           "Hist&ory", "&Lesezeichen", "&Hilfe"}));
  for (size_t i = 0; i < 5; ++i) EXPECT_FALSE(menus[i].atRightEnd);
  EXPECT_TRUE(menus[5].atRightEnd);

  // "&Modus": "&Lernen" checked and without a command, the quiz submenu, "Lernstand...", a
  // separator, "&Ende".
  const Menu& modus = menus[0];
  ASSERT_EQ(modus.items.size(), 5u);
  EXPECT_EQ(modus.items[0], MenuItem::Command(Command::kLearn, "&Lernen", true, false));
  ASSERT_EQ(modus.items[1].kind, MenuItem::Kind::Submenu);
  EXPECT_EQ(modus.items[1].text, "Abfrage");
  EXPECT_EQ(Items(Menu{"", modus.items[1].submenu}, 0),
            (Texts{"1125 Name --> Struktur", "1126 Struktur --> Name", "1127 Name <--> Struktur",
                   "1128 Ganze Serie"}));
  EXPECT_EQ(modus.items[2], MenuItem::Command(Command::kLearningState, "Lernstand..."));
  EXPECT_TRUE(modus.items[3].IsSeparator());
  EXPECT_EQ(modus.items[4], MenuItem::Command(Command::kEnd, "&Ende"));

  EXPECT_EQ(Items(menus[1], 0), (Texts{"1134 &sichtbar", "1135 &unsichtbar"}));
  EXPECT_TRUE(menus[1].items[0].checked && !menus[1].items[0].enabled);
  EXPECT_EQ(Items(menus[2], 0), (Texts{"1144 &klein", "1145 &mittel", "1146 &gro\xDF"}));
  EXPECT_TRUE(menus[2].items[1].checked && !menus[2].items[1].enabled);
  EXPECT_EQ(Items(menus[3], 0), (Texts{"1149 (G) Start", "0 "}));
  EXPECT_EQ(Items(menus[4], 0), (Texts{"1174 setzen", "1173 l\xF6schen", "0 "}));
  EXPECT_EQ(Items(menus[5], 0), (Texts{"1304 &Index\tF1", "0 ",
                                       "1307 \xDC"
                                       "ber &Karvolen"}));
  EXPECT_TRUE(menus[3].items[1].IsSeparator() && menus[4].items[2].IsSeparator());

  EXPECT_EQ(model.Find(CommandId(Command::kQuizAlternating))->text, "Name <--> Struktur");
  EXPECT_EQ(model.Find(9999), nullptr);
}

class HistoryTest : public testing::Test {
 protected:
  MainMenu model_;
  Menu& menu_ = model_.history();
  HistoryMenu history_{menu_};
};

TEST_F(HistoryTest, TheFirstAdditionOnlyCountsThenSameEntriesInARowAreRecordedOnce) {
  int changes = 0;
  history_.onChanged = [&] { ++changes; };
  history_.AddHistory(kSchema, "START");
  EXPECT_EQ(history_.count(), 1);
  EXPECT_EQ(menu_.items.size(), 2u);
  EXPECT_TRUE(menu_.items[0].enabled);
  EXPECT_EQ(changes, 1);

  history_.AddHistory(kSchema, "START");
  history_.AddHistory(kSchema, "START");
  history_.AddHistory(kCT, "Herz");
  history_.AddHistory(kSchnitt, "Herz");  // another type is another entry
  history_.AddHistory(kCT, "Herz");       // alternating pages add one each time
  history_.AddHistory(kNoImageType, "Lunge");
  EXPECT_EQ(Items(menu_, 2), (Texts{"1150 (G) START", "1151 (C) Herz", "1152 (S) Herz",
                                    "1153 (C) Herz", "1154 Lunge"}));
  EXPECT_EQ(history_.count(), 6);
  EXPECT_EQ(changes, 6);
  EXPECT_TRUE(menu_.items.back().literal);
}

TEST_F(HistoryTest, TheSixteenthEntryDropsTheOldestAndRenumbers) {
  history_.AddHistory(kSchema, "START");
  for (int i = 1; i <= 15; ++i) history_.AddHistory(kSchnitt, "Seite " + std::to_string(i));
  EXPECT_EQ(history_.count(), 16);
  ASSERT_EQ(menu_.items.size(), 17u);
  EXPECT_EQ(menu_.items.back().id, CommandId(Command::kLastHistoryEntry));

  history_.AddHistory(kCT, "Seite 16");
  history_.AddHistory(kCT, "Seite 16");  // the newest again: still nothing dropped twice
  EXPECT_EQ(history_.count(), 16);
  ASSERT_EQ(menu_.items.size(), 17u);
  EXPECT_EQ(menu_.items[0].text, "(G) Start");
  EXPECT_TRUE(menu_.items[1].IsSeparator());
  Texts expected;
  for (int i = 2; i <= 15; ++i) {
    expected.push_back(std::to_string(1148 + i) + " (S) Seite " + std::to_string(i));
  }
  expected.push_back("1164 (C) Seite 16");
  EXPECT_EQ(Items(menu_, 2), expected);
}

TEST_F(HistoryTest, ChoosingAnEntryRequestsItsNameInItsType) {
  history_.AddHistory(kSchema, "START");
  history_.AddHistory(kMR, "Herz");
  history_.AddHistory(kNoImageType, "Arm");  // untagged and shorter than a tag
  history_.AddHistory(kNoImageType, "Unterarm & Hand");

  TransferBuffer buffer;
  ASSERT_TRUE(history_.Choose(CommandId(Command::kHistoryStart), buffer));
  EXPECT_EQ(buffer.name, "Start");
  EXPECT_EQ(buffer.requestedType, kSchema);
  EXPECT_TRUE(buffer.busy);

  // A request is busy: choosing does nothing.
  EXPECT_FALSE(history_.Choose(1150, buffer));
  EXPECT_EQ(buffer.name, "Start");

  buffer.Release();
  buffer.requestedType = kNoImageType;
  ASSERT_TRUE(history_.Choose(1150, buffer));
  EXPECT_EQ(buffer.name, "Herz");
  EXPECT_EQ(buffer.requestedType, kMR);

  // An entry without a tag requests its whole text and leaves the type alone.
  for (const auto& [command, name] : {std::pair{1151, "Arm"}, {1152, "Unterarm & Hand"}}) {
    buffer.Release();
    buffer.requestedType = kNoImageType;
    ASSERT_TRUE(history_.Choose(command, buffer));
    EXPECT_EQ(buffer.name, name);
    EXPECT_EQ(buffer.requestedType, kNoImageType);
  }

  buffer.Release();
  EXPECT_FALSE(history_.Choose(1153, buffer));  // no such entry yet
  EXPECT_FALSE(history_.Choose(kSet, buffer));
  EXPECT_FALSE(buffer.busy);
}

class BookmarkTest : public testing::Test {
 protected:
  BookmarkTest() { savePath_ = tree_.DataPath() + "Sicherung\\"; }

  std::filesystem::path FilePath() const { return tree_.Root() / "Sicherung" / "BENUTZER.BKM"; }
  std::string FileOnDisk() const { return ReadFileBytes(FilePath()).value_or("<none>"); }

  TempTree tree_;
  std::string savePath_;
  ScriptedMessageService messages_;
  MainMenu model_;
  Menu& menu_ = model_.bookmarks();
  BookmarkMenu bookmarks_{menu_, messages_};
};

TEST_F(BookmarkTest, SetAndDeleteActOnTheShownTypeAndRenumber) {
  TransferBuffer buffer;
  EXPECT_FALSE(bookmarks_.Command(kSet, kCT, "", buffer));  // nothing requested yet
  EXPECT_EQ(bookmarks_.count(), 1);

  bookmarks_.Command(kSet, kCT, "Herz", buffer);
  bookmarks_.Command(kSet, kCT, "Herz", buffer);  // the same once only
  bookmarks_.Command(kSet, kMR, "Herz", buffer);  // another type: a second one
  bookmarks_.Command(kSet, kSchnitt, "Lunge", buffer);
  EXPECT_EQ(Items(menu_, 3), (Texts{"1175 (C) Herz", "1176 (M) Herz", "1177 (S) Lunge"}));
  EXPECT_EQ(bookmarks_.count(), 4);

  bookmarks_.Command(kDelete, kSchnitt, "Herz", buffer);  // no "(S) Herz": nothing
  EXPECT_EQ(bookmarks_.count(), 4);
  bookmarks_.Command(kDelete, kMR, "Herz", buffer);  // the second of three
  EXPECT_EQ(Items(menu_, 3), (Texts{"1175 (C) Herz", "1176 (S) Lunge"}));
  EXPECT_EQ(bookmarks_.count(), 3);
  EXPECT_EQ(bookmarks_.FileBytes(), "(C) Herz\r\n(S) Lunge\r\n");

  // A new one takes the next command after the renumbered ones.
  bookmarks_.AddBookmark(kSchema, "Arm");
  EXPECT_EQ(Items(menu_, 3), (Texts{"1175 (C) Herz", "1176 (S) Lunge", "1177 (G) Arm"}));

  EXPECT_TRUE(bookmarks_.Command(1176, kCT, "Herz", buffer));
  EXPECT_EQ(buffer.name, "Lunge");
  EXPECT_EQ(buffer.requestedType, kSchnitt);
  EXPECT_FALSE(bookmarks_.Command(1175, kCT, "Herz", buffer));  // busy
  buffer.Release();
  EXPECT_FALSE(bookmarks_.Command(1178, kCT, "Herz", buffer));  // no such bookmark
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(BookmarkTest, TheSixteenthBookmarkIsRefusedWithAMessage) {
  for (int i = 1; i <= 15; ++i) bookmarks_.AddBookmark(kSchnitt, "Seite " + std::to_string(i));
  EXPECT_EQ(bookmarks_.count(), 16);
  EXPECT_EQ(menu_.items.back().id, CommandId(Command::kLastBookmark));
  EXPECT_TRUE(messages_.shown.empty());

  bookmarks_.AddBookmark(kSchnitt, "Seite 3");  // already there: no message either
  EXPECT_TRUE(messages_.shown.empty());
  bookmarks_.AddBookmark(kSchnitt, "Seite 16");
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, "Maximale Anzahl von Bookmarks erreicht !");
  EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(bookmarks_.count(), 16);
  EXPECT_EQ(menu_.items.size(), 18u);
}

TEST_F(BookmarkTest, TheFileGivesAtMostFifteenSkipsCommentsAndKeepsBlanks) {
  std::string file = "/ Lesezeichen von BENUTZER\r\n\r\n(S) Herz\r\n(S) Herz \r\n(S) Herz\r\n";
  for (int i = 1; i <= 20; ++i) file += "(C) Seite " + std::to_string(i) + "\r\n";
  tree_.Write("sicherung/benutzer.bkm", file);  // names on disk match in any case

  int changes = 0;
  bookmarks_.onChanged = [&] { ++changes; };
  bookmarks_.LoadBookmarks(savePath_, "BENUTZER");
  // Taken: three lines of "(S) Herz" (the repeated one is not added twice) and twelve pages.
  const Texts loaded = bookmarks_.Bookmarks();
  ASSERT_EQ(loaded.size(), 14u);
  EXPECT_EQ(loaded[0], "(S) Herz");
  EXPECT_EQ(loaded[1], "(S) Herz ");
  EXPECT_EQ(loaded[2], "(C) Seite 1");
  EXPECT_EQ(loaded.back(), "(C) Seite 12");
  EXPECT_EQ(changes, 14);
  EXPECT_TRUE(messages_.shown.empty());

  // Twenty plain lines give fifteen.
  MainMenu other;
  BookmarkMenu full(other.bookmarks(), messages_);
  std::string twenty;
  for (int i = 1; i <= 20; ++i) twenty += "(M) Seite " + std::to_string(i) + "\n";
  full.AddFromFileBytes(twenty);
  EXPECT_EQ(full.count(), 16);
  EXPECT_EQ(full.Bookmarks().back(), "(M) Seite 15");
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(BookmarkTest, AMissingFileGivesNoBookmarksSilently) {
  bookmarks_.LoadBookmarks(savePath_, "BENUTZER");
  bookmarks_.LoadBookmarks("\\gibt\\es\\nicht\\", "BENUTZER");
  EXPECT_EQ(bookmarks_.count(), 1);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(BookmarkTest, SavingWritesEveryBookmarkWithCrLfAndReadsBackTheSame) {
  tree_.MakeDir("Sicherung");
  tree_.Write("Sicherung/BENUTZER.BKM", "(S) Alt\r\n");
  bookmarks_.AddBookmark(kSchnitt, "Herz ");
  bookmarks_.AddBookmark(kNoImageType, "Ohne Typ");
  bookmarks_.AddBookmark(kSchema, "\xC4rmel");  // Windows-1252 stays as it is
  ASSERT_TRUE(bookmarks_.SaveBookmarks(savePath_, "BENUTZER"));
  EXPECT_EQ(FileOnDisk(), "(S) Herz \r\nOhne Typ\r\n(G) \xC4rmel\r\n");
  EXPECT_TRUE(messages_.shown.empty());
  // Nothing is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree_.Root() / "Sicherung"),
                          std::filesystem::directory_iterator()),
            1);

  MainMenu other;
  BookmarkMenu again(other.bookmarks(), messages_);
  again.LoadBookmarks(savePath_, "BENUTZER");
  EXPECT_EQ(again.Bookmarks(), bookmarks_.Bookmarks());

  // No bookmarks: an empty file.
  MainMenu empty;
  BookmarkMenu none(empty.bookmarks(), messages_);
  ASSERT_TRUE(none.SaveBookmarks(savePath_, "BENUTZER"));
  EXPECT_EQ(FileOnDisk(), "");
}

TEST_F(BookmarkTest, ASaveFolderThatDoesNotExistShowsTheMessageWithThePath) {
  bookmarks_.AddBookmark(kSchnitt, "Herz");
  EXPECT_FALSE(bookmarks_.SaveBookmarks(savePath_, "BENUTZER"));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text,
            "Bookmark-Datei kann nicht gespeichert werden:\n" + savePath_ + "BENUTZER.BKM");
  EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Exclamation);
}

TEST_F(BookmarkTest, AnUnwritableSaveFolderKeepsTheOldFile) {
  if (geteuid() == 0)
    GTEST_SKIP() << "permissions do not stop root; the write limit test covers it";
  tree_.Write("Sicherung/BENUTZER.BKM", "(S) Alt\r\n");
  ASSERT_EQ(chmod((tree_.Root() / "Sicherung").c_str(), 0555), 0);
  bookmarks_.AddBookmark(kSchnitt, "Neu");
  EXPECT_FALSE(bookmarks_.SaveBookmarks(savePath_, "BENUTZER"));
  chmod((tree_.Root() / "Sicherung").c_str(), 0755);
  EXPECT_EQ(FileOnDisk(), "(S) Alt\r\n");
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text,
            "Bookmark-Datei kann nicht gespeichert werden:\n" + savePath_ + "BENUTZER.BKM");
}

TEST_F(BookmarkTest, AWriteProtectedFileKeepsItsContentsAndTheMessageIsShown) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  tree_.Write("Sicherung/BENUTZER.BKM", "(S) Alt\r\n");
  ASSERT_EQ(chmod(FilePath().c_str(), 0444), 0);
  bookmarks_.AddBookmark(kSchnitt, "Neu");
  EXPECT_FALSE(bookmarks_.SaveBookmarks(savePath_, "BENUTZER"));
  EXPECT_EQ(FileOnDisk(), "(S) Alt\r\n");
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text,
            "Bookmark-Datei kann nicht gespeichert werden:\n" + savePath_ + "BENUTZER.BKM");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree_.Root() / "Sicherung"),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(BookmarkTest, ABookmarkFileThatIsALinkStaysALinkAndItsTargetIsWritten) {
  const std::filesystem::path target = tree_.Write("Anderswo/meine.bkm", "(S) Alt\r\n");
  tree_.MakeDir("Sicherung");
  std::filesystem::create_symlink(target, FilePath());
  bookmarks_.AddBookmark(kCT, "Neu");
  ASSERT_TRUE(bookmarks_.SaveBookmarks(savePath_, "BENUTZER"));
  EXPECT_TRUE(std::filesystem::is_symlink(FilePath()));
  EXPECT_EQ(ReadFileBytes(target), "(C) Neu\r\n");
}

TEST_F(BookmarkTest, AWriteThatFailsHalfwayKeepsTheOldFileAndLeavesNothingBehind) {
  const std::string old = "(S) Alt 1\r\n(S) Alt 2\r\n";
  tree_.Write("Sicherung/BENUTZER.BKM", old);
  for (int i = 1; i <= 15; ++i) bookmarks_.AddBookmark(kCT, "Neue Seite " + std::to_string(i));

  // Files may grow to 64 bytes only: the new contents no longer fit, as on a full disk.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved_ok = bookmarks_.SaveBookmarks(savePath_, "BENUTZER");
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(FileOnDisk(), old);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text.rfind("Bookmark-Datei kann nicht gespeichert werden:\n", 0),
            0u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree_.Root() / "Sicherung"),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace ostrelin
