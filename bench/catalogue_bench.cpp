// Loading a large catalogue from memory, and the lookups of the search window and of requests.
//
// Yardstick: scanning the same bytes into lines and counting them, the least any line-by-line
// reader has to do. "x_line_scan" is the loading time as a multiple of that scan.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/catalogue.h"

namespace {

using ostrelin::Catalogue;
using Clock = std::chrono::steady_clock;

constexpr int kPages = 50000;
constexpr int kStructureLines = 300000;
constexpr int kStructures = 12007;  // coprime to 10: every name has its own lines

struct Lists {
  std::string index;
  std::string structures;
};

std::string PageName(int i) {
  return "Ebene " + std::to_string(i / 40) + " Schnitt " + std::to_string(i % 40);
}
std::string StructureName(int i) { return "N. structura " + std::to_string(i) + " dextra"; }

// Lines as the data tree has them: CR LF, Windows-1252, a comment head, the structure list padded
// by the link-list builder; one page line in 50 and one structure line in 10 repeat an earlier
// name in other case, to be dropped or merged.
const Lists& MakeLists() {
  static const Lists lists = [] {
    Lists l;
    l.index =
        "/ Seitenliste\r\n/ Name # Text # Schnitt # CT # MR # Schema # Struktur # Typ # "
        "Geschlecht # Region # Ebene\r\n";
    char line[512];
    for (int i = 0; i < kPages; ++i) {
      const std::string name = PageName(i);
      std::snprintf(line, sizeof line,
                    "%s#T%06d.TXT#S%06d.JPG#C%06d.JPG# #P%06d.JPG#Gro\xDF"
                    "e Zehe#S#%c#%c#%s %d\r\n",
                    name.c_str(), i, i, i, i, i % 2 ? 'M' : 'W', "UKABR"[i % 5], "Ebene", i % 40);
      l.index += line;
      if (i % 50 == 49) {
        std::string upper = PageName(i - 7);
        std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
        l.index += upper + "#dup.txt# # # # # #C#M#K#x\r\n";
      }
    }
    for (int i = 0; i < kStructureLines; ++i) {
      const bool repeat = i % 10 == 9;  // the pair of the line nine above, in upper case
      const int from = repeat ? i - 9 : i;
      std::string structure = StructureName(from % kStructures);
      std::string page = PageName((from * 13) % kPages);
      if (repeat) {
        std::transform(structure.begin(), structure.end(), structure.begin(), ::toupper);
        std::transform(page.begin(), page.end(), page.begin(), ::toupper);
      }
      std::snprintf(line, sizeof line, "%-40s # %-30s # %s\r\n", structure.c_str(), page.c_str(),
                    (i % 3 == 0) ? "S C M" : (i % 3 == 1 ? "S" : "P"));
      l.structures += line;
    }
    return l;
  }();
  return lists;
}

size_t CountLines(std::string_view bytes) {
  size_t lines = 0;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    if (lf == std::string_view::npos) lf = bytes.size();
    std::string_view line = bytes.substr(pos, lf - pos);
    benchmark::DoNotOptimize(line);
    ++lines;
    pos = lf + 1;
  }
  return lines;
}

// Best of several rounds of the yardstick over both lists, in seconds.
double LineScanSeconds() {
  static const double seconds = [] {
    const Lists& lists = MakeLists();
    double best = 1e9;
    for (int round = 0; round < 20; ++round) {
      const auto start = Clock::now();
      size_t n = CountLines(lists.index) + CountLines(lists.structures);
      benchmark::DoNotOptimize(n);
      best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
  }();
  return seconds;
}

// The catalogue as the atlas loads it at start: the index list, then the structure list.
Catalogue Loaded(const Lists& lists) {
  Catalogue catalogue;
  catalogue.AddIndexList(lists.index);
  catalogue.AddStructureList(lists.structures);
  return catalogue;
}

void BM_LineScan(benchmark::State& state) {
  const Lists& lists = MakeLists();
  for (auto _ : state) {
    size_t n = CountLines(lists.index) + CountLines(lists.structures);
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) *
                          int64_t(lists.index.size() + lists.structures.size()));
}
BENCHMARK(BM_LineScan)->Unit(benchmark::kMillisecond);

void BM_LoadLists(benchmark::State& state) {
  const Lists& lists = MakeLists();
  const double yardstick = LineScanSeconds();
  double best = 1e9;
  size_t pages = 0;
  size_t locations = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const Catalogue catalogue = Loaded(lists);
    pages = catalogue.PageCount();
    locations = catalogue.LocationCount();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.counters["pages"] = double(pages);
  state.counters["locations"] = double(locations);
  state.counters["x_line_scan"] = best / yardstick;
  state.SetBytesProcessed(int64_t(state.iterations()) *
                          int64_t(lists.index.size() + lists.structures.size()));
}
BENCHMARK(BM_LoadLists)->Unit(benchmark::kMillisecond);

// What the search window does when it fills its list: every page name and every structure name.
void BM_ListAllNames(benchmark::State& state) {
  const Lists& lists = MakeLists();
  const Catalogue catalogue = Loaded(lists);
  for (auto _ : state) {
    size_t bytes = 0;
    for (size_t i = 0; i < catalogue.PageCount(); ++i)
      bytes += catalogue.PageAt(long(i)).name.size();
    for (size_t i = 0; i < catalogue.LocationCount(); ++i) {
      bytes += catalogue.LocationAt(long(i)).structure.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) *
                          int64_t(catalogue.PageCount() + catalogue.LocationCount()));
}
BENCHMARK(BM_ListAllNames)->Unit(benchmark::kMicrosecond);

// One request: a name that is not a page, then its places, then the page of the first place.
void BM_ResolveStructure(benchmark::State& state) {
  const Lists& lists = MakeLists();
  const Catalogue catalogue = Loaded(lists);
  std::vector<std::string> names;
  for (int i = 0; i < 1024; ++i) names.push_back(StructureName((i * 4099) % kStructures));
  ostrelin::IndexEntry page;
  size_t next = 0;
  for (auto _ : state) {
    const std::string& name = names[next++ & 1023];
    benchmark::DoNotOptimize(catalogue.FindPage(name, page));
    std::vector<std::string> places;
    if (catalogue.PagesOfStructure(name, places) == 0) {
      state.SkipWithError("a structure without places");
      break;
    }
    const ostrelin::TaggedName first = Catalogue::SplitTaggedName(places.front());
    benchmark::DoNotOptimize(catalogue.FindPage(first.name, page));
  }
}
BENCHMARK(BM_ResolveStructure)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
