// The outline file: run packing, the exact layout the writer produces, and how the reader copes
// with damaged files.
#include <gtest/gtest.h>

#include <string>

#include "structures/core/outline_file.h"
#include "tests/support/outline_testing.h"

namespace ostrelin {
namespace {

using test::RawOutline;

OutlineRecord Record(int number, std::string name, int first,
                     std::vector<std::vector<OutlineRun>> columns) {
  OutlineRecord record;
  record.number = std::uint8_t(number);
  record.name = std::move(name);
  record.first = first;
  record.last = first + int(columns.size()) - 1;
  record.columns = std::move(columns);
  return record;
}

OutlineRecord WithoutOutline(int number, std::string name) {
  OutlineRecord record;
  record.number = std::uint8_t(number);
  record.name = std::move(name);
  return record;
}

std::string Encode(const OutlineFile& file) {
  std::string bytes;
  std::string error;
  EXPECT_TRUE(EncodeOutline(file, bytes, error)) << error;
  return bytes;
}

TEST(OutlineRunTest, TwelveBitRowsPackedInThreeBytes) {
  EXPECT_EQ(DecodeRun(0x10, 0x20, 0xA3), (OutlineRun{0x310, 0xA20}));
  EXPECT_EQ(DecodeRun(0x10, 0x20, 0xA3), (OutlineRun{784, 2592}));
  EXPECT_EQ(DecodeRun(0xFF, 0xFF, 0xFF), (OutlineRun{4095, 4095}));

  std::string bytes;
  AppendRun(bytes, {784, 2592});
  AppendRun(bytes, {4095, 0});
  EXPECT_EQ(bytes, std::string("\x10\x20\xA3\xFF\x00\x0F", 6));
}

TEST(OutlineWriterTest, ProducesTheExactLayout) {
  OutlineFile file;
  file.title = "Thorax 12";
  file.records.push_back(Record(7, "Leber", 3, {{{1, 2}, {5, 784}}, {}}));
  file.records.push_back(WithoutOutline(9, "M\xFCller"));
  file.records.push_back(Record(255, "X", -2, {{{4095, 4095}}}));

  const std::string expected = RawOutline()
                                   .Title("Thorax 12")
                                   .Int16(3)
                                   .Byte(7)
                                   .Int16(6)
                                   .Bytes("Leber")
                                   .Byte(0)
                                   .Int16(3)
                                   .Int16(4)
                                   .Column({{1, 2}, {5, 784}})
                                   .Column({})
                                   .Byte(9)
                                   .Int16(7)
                                   .Bytes("M\xFCller")
                                   .Byte(0)
                                   .Int16(-1)
                                   .Int16(-1)
                                   .Byte(255)
                                   .Int16(2)
                                   .Bytes("X")
                                   .Byte(0)
                                   .Int16(-2)
                                   .Int16(-2)
                                   .Column({{4095, 4095}})
                                   .Data();
  EXPECT_EQ(Encode(file), expected);
  // 20 title bytes, 2 count bytes, and the name lengths count the zero byte.
  EXPECT_EQ(expected.substr(20, 2), std::string("\x03\x00", 2));
  EXPECT_EQ(expected.substr(23, 2), std::string("\x06\x00", 2));

  OutlineDamage damage;
  EXPECT_EQ(DecodeOutline(expected, &damage), file);
  EXPECT_FALSE(damage.truncated);
  EXPECT_EQ(damage.completeRecords, 3);
  EXPECT_EQ(damage.trailingBytes, 0u);
}

TEST(OutlineWriterTest, TitleIsCutOrPaddedToTwentyBytes) {
  OutlineFile file;
  file.title = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const std::string bytes = Encode(file);
  ASSERT_EQ(bytes.size(), 22u);
  EXPECT_EQ(bytes.substr(0, 20), "ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(DecodeOutline(bytes).title, "ABCDEFGHIJKLMNOPQRST");

  file.title = "";
  EXPECT_EQ(Encode(file), std::string(22, '\0'));
}

TEST(OutlineWriterTest, RefusesWhatTheFormatCannotHold) {
  std::string bytes = "untouched";
  std::string error;
  OutlineFile file;
  file.records.push_back(WithoutOutline(1, std::string(259, 'a')));
  EXPECT_FALSE(EncodeOutline(file, bytes, error));
  EXPECT_NE(error.find("258"), std::string::npos) << error;
  file.records[0].name = std::string(258, 'a');
  EXPECT_TRUE(EncodeOutline(file, bytes, error)) << error;

  file.records[0] = WithoutOutline(1, std::string("a\0b", 3));
  EXPECT_FALSE(EncodeOutline(file, bytes, error));

  file.records[0] = Record(1, "Row", 0, {{{0, 4096}}});
  EXPECT_FALSE(EncodeOutline(file, bytes, error));
  EXPECT_NE(error.find("4095"), std::string::npos) << error;

  file.records[0] = Record(1, "Columns", 0, {{}, {}});
  file.records[0].last = 5;
  EXPECT_FALSE(EncodeOutline(file, bytes, error));

  file.records[0] = Record(1, "Range", 32767, {{}, {}});
  EXPECT_FALSE(EncodeOutline(file, bytes, error));
  EXPECT_EQ(bytes.size(), 22u + 1 + 2 + 259 + 4);  // still the last good result
}

TEST(OutlineReaderTest, NamesAreTrimmedCStringsCutToTheField) {
  const std::string bytes =
      RawOutline()
          .Title("T")
          .Int16(6)
          // "  Leber\t" and its zero byte: L = 9.
          .Byte(1)
          .Int16(9)
          .Bytes("  Leber\t")
          .Byte(0)
          .Int16(-1)
          .Int16(-1)
          // No zero byte: the field ends the name.
          .Byte(2)
          .Int16(4)
          .Bytes("Herz")
          .Int16(-1)
          .Int16(-1)
          // A zero byte inside: the name ends there, the rest of the field is skipped.
          .Byte(3)
          .Int16(8)
          .Bytes("Le")
          .Byte(0)
          .Bytes(std::string_view("ber\0\0", 5))
          .Int16(-1)
          .Int16(-1)
          // 300 bytes without zero: 258 are kept, the rest is read past.
          .Byte(4)
          .Int16(300)
          .Bytes(std::string(300, 'x'))
          .Int16(-1)
          .Int16(-1)
          // A negative length reads no name bytes.
          .Byte(5)
          .Int16(-3)
          .Int16(-1)
          .Int16(-1)
          .Byte(6)
          .Int16(5)
          .Bytes("Milz")
          .Byte(0)
          .Int16(2)
          .Int16(2)
          .Column({{1, 1}})
          .Data();
  OutlineDamage damage;
  const OutlineFile file = DecodeOutline(bytes, &damage);
  ASSERT_EQ(file.records.size(), 6u);
  EXPECT_EQ(file.records[0].name, "Leber");
  EXPECT_EQ(file.records[1].name, "Herz");
  EXPECT_EQ(file.records[2].name, "Le");
  EXPECT_EQ(file.records[3].name, std::string(258, 'x'));
  EXPECT_EQ(file.records[4].name, "");
  EXPECT_EQ(file.records[5].name, "Milz");
  EXPECT_EQ(file.records[5].number, 6);
  EXPECT_EQ(file.records[5].columns, (std::vector<std::vector<OutlineRun>>{{{1, 1}}}));
  EXPECT_FALSE(damage.truncated);
}

TEST(OutlineReaderTest, RecordShapes) {
  // (-1, -1) has no column data; last < first has no column entries either; an empty column
  // has no run bytes.
  const std::string bytes = RawOutline()
                                .Title("")
                                .Int16(4)
                                .Head(1, "A", -1, -1)
                                .Head(2, "B", 5, 4)
                                .Head(3, "C", 8, 8)
                                .Column({{2, 3}})
                                .Head(4, "D", 0, 2)
                                .Column({})
                                .Column({{7, 9}})
                                .Column({})
                                .Bytes("trailing")
                                .Data();
  OutlineDamage damage;
  const OutlineFile file = DecodeOutline(bytes, &damage);
  ASSERT_EQ(file.records.size(), 4u);
  EXPECT_FALSE(file.records[0].HasOutline());
  EXPECT_TRUE(file.records[0].columns.empty());
  EXPECT_TRUE(file.records[1].HasOutline());
  EXPECT_TRUE(file.records[1].columns.empty());
  EXPECT_EQ(file.records[2].columns.size(), 1u);
  EXPECT_EQ(file.records[3].columns, (std::vector<std::vector<OutlineRun>>{{}, {{7, 9}}, {}}));
  EXPECT_EQ(damage.trailingBytes, 8u);
  EXPECT_FALSE(damage.truncated);

  for (int count : {0, -5}) {
    const std::string none = RawOutline().Title("x").Int16(count).Head(1, "A", -1, -1).Data();
    EXPECT_TRUE(DecodeOutline(none).records.empty()) << count;
  }
}

TEST(OutlineReaderTest, MissingBytesReadAsZero) {
  const std::string whole = RawOutline()
                                .Title("Cut")
                                .Int16(3)
                                .Head(1, "Lunge", 10, 11)
                                .Column({{100, 200}, {300, 400}})
                                .Column({{5, 6}})
                                .Data();
  // Cut inside the second run of column 10: one whole run, then the bytes left and zeros.
  const size_t secondRun = 22 + 1 + 2 + 6 + 4 + 2 + 3;
  OutlineDamage damage;
  OutlineFile file = DecodeOutline(std::string_view(whole).substr(0, secondRun + 1), &damage);
  // Reading stops at the end of the data: the two records that would begin after it are not
  // there.
  ASSERT_EQ(file.records.size(), 1u);
  EXPECT_EQ(file.records[0].columns, (std::vector<std::vector<OutlineRun>>{{{100, 200}, {44, 0}}}));
  EXPECT_TRUE(damage.truncated);
  EXPECT_EQ(damage.completeRecords, 0);
  EXPECT_EQ(damage.declaredCount, 3);

  // The same cut with a third run declared: the run cut off, then rows 0..0 for the run missing
  // entirely, whose bytes read as zero too.
  const std::string three = RawOutline()
                                .Title("Cut")
                                .Int16(1)
                                .Head(1, "Lunge", 10, 10)
                                .Column({{100, 200}, {300, 400}, {500, 600}})
                                .Data();
  file = DecodeOutline(std::string_view(three).substr(0, secondRun + 1), &damage);
  ASSERT_EQ(file.records.size(), 1u);
  EXPECT_EQ(file.records[0].columns,
            (std::vector<std::vector<OutlineRun>>{{{100, 200}, {44, 0}, {0, 0}}}));

  // Cut right after the first record.
  file = DecodeOutline(whole, &damage);
  EXPECT_EQ(file.records.size(), 1u);
  EXPECT_TRUE(damage.truncated);
  EXPECT_EQ(damage.completeRecords, 1);
  EXPECT_EQ(file.records[0].columns.size(), 2u);

  // Cut inside the name: the name ends where the data does, the column pair reads as (0, 0).
  file = DecodeOutline(std::string_view(whole).substr(0, 22 + 1 + 2 + 3), &damage);
  ASSERT_EQ(file.records.size(), 1u);
  EXPECT_EQ(file.records[0].name, "Lun");
  EXPECT_EQ(file.records[0].first, 0);
  EXPECT_EQ(file.records[0].last, 0);
  EXPECT_TRUE(file.records[0].columns.empty());

  // Cut inside the count.
  file = DecodeOutline(std::string_view(whole).substr(0, 21), &damage);
  EXPECT_TRUE(file.records.empty());
  EXPECT_EQ(damage.declaredCount, 3);
}

TEST(OutlineReaderTest, DamagedCountsCostOnlyWhatTheDataHolds) {
  // A count of 32767 and a column range of 65536 columns with ten bytes behind them, then a run
  // count of 32767 with three runs: all bounded by the bytes that are there.
  const std::string bytes = RawOutline()
                                .Title("")
                                .Int16(32767)
                                .Head(0, "Gross", -32768, 32767)
                                .Column({})
                                .Column({})
                                .Column({})
                                .Column({})
                                .Int16(32767)
                                .Bytes(std::string(9, '\x01'))
                                .Data();
  OutlineDamage damage;
  const OutlineFile file = DecodeOutline(bytes, &damage);
  ASSERT_EQ(file.records.size(), 1u);
  const OutlineRecord& big = file.records[0];
  ASSERT_EQ(big.columns.size(), 5u);
  EXPECT_EQ(big.columns[4].size(), 4u);  // three whole runs and one for all that are missing
  EXPECT_EQ(big.columns[4][3], (OutlineRun{0, 0}));
  EXPECT_TRUE(damage.truncated);
  EXPECT_EQ(damage.declaredCount, 32767);
}

}  // namespace
}  // namespace ostrelin
