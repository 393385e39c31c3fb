// lrntool: a learning record file through the desktop atlas's own reader and writer, so the
// browser tests can hold the web atlas's record files against the desktop's.
//
//   lrntool read FILE    prints every entry the desktop reads from FILE, one JSON line each:
//                        {"name", "box", "last", "right", "wrong", "confusedWith"} (UTF-8)
//   lrntool write FILE   answers as the desktop's quiz records them, one a line on standard
//                        input, fields separated by tabs: NAME RIGHT(1/0) YYYY-MM-DD [CONFUSED]
//                        (UTF-8), then writes FILE as the desktop writes it
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/file_replace.h"
#include "quiz/core/learning_record.h"
#include "web/core/json_writer.h"

namespace {

using ostrelin::Day;

std::string Date(Day day) {
  const std::chrono::year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(date.year()), unsigned(date.month()),
                unsigned(date.day()));
  return text;
}

bool ParseDate(const std::string& text, Day& day) {
  int y = 0;
  unsigned m = 0, d = 0;
  if (std::sscanf(text.c_str(), "%d-%u-%u", &y, &m, &d) != 3) return false;
  const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(m),
                                         std::chrono::day(d)};
  if (!date.ok()) return false;
  day = Day(date);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string op = argc == 3 ? argv[1] : "";
  if (op != "read" && op != "write") {
    std::cerr << "Aufruf: lrntool read DATEI | lrntool write DATEI < Antworten\n";
    return 2;
  }
  ostrelin::LearningRecordFile file(argv[2], ostrelin::ReplaceFileContents, nullptr);
  if (op == "read") {
    file.Load();
    for (const ostrelin::LearningEntry& e : file.Record().Entries()) {
      ostrelin::web::JsonWriter w;
      w.BeginObject().Key("name").String(e.name).Key("box").Int(e.box);
      w.Key("last").Utf8(Date(e.last)).Key("right").Int(e.right).Key("wrong").Int(e.wrong);
      w.Key("confusedWith").String(e.confusedWith).EndObject();
      std::cout << w.str() << "\n";
    }
    return 0;
  }
  std::string line;
  while (std::getline(std::cin, line)) {
    std::vector<std::string> f;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
      f.push_back(line.substr(start, tab - start));
    }
    f.push_back(line.substr(start));
    f.resize(std::max<size_t>(f.size(), 4));
    Day day;
    if (f[0].empty() || !ParseDate(f[2], day)) {
      std::cerr << "lrntool: unlesbare Zeile: " << line << "\n";
      return 2;
    }
    file.Record().Answer(ostrelin::Utf8ToCp1252(f[0]), f[1] == "1", day,
                         ostrelin::Utf8ToCp1252(f[3]));
  }
  return file.Save() ? 0 : 1;
}
