#include "authoring/core/atlas_check.h"

#include <filesystem>
#include <map>
#include <set>

#include "authoring/core/series_tree.h"
#include "authoring/core/tree_layout.h"
#include "authoring/core/tree_transaction.h"
#include "catalogue/core/catalogue.h"
#include "platform/core/cp1252.h"
#include "platform/core/list_file.h"
#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"
#include "platform/core/wave_file.h"
#include "shell/core/commands.h"
#include "shell/core/request_probe.h"
#include "structures/core/outline_file.h"

namespace ostrelin {

namespace {

struct Checker {
  std::string dataPath;
  std::vector<std::string> problems;
  Catalogue catalogue;
  std::set<std::string> structureNames;  // upper case
  // Outline structures by image path (upper case names).
  std::map<std::string, std::set<std::string>> outlines;
  // Gathered from the pages for the later checks.
  std::map<std::string, std::set<std::string>> textStructures;  // text path -> structures
  std::set<std::string> used;           // upper-case data-tree paths the pages use
  std::set<std::string> outlinedPages;  // upper case: pages whose outlines hold a structure
  std::map<std::string, std::set<std::string>> seriesOnPlaneLists;  // upper series -> planes

  void Problem(std::string text) { problems.push_back(Cp1252ToUtf8(text)); }

  std::optional<std::string> Read(const std::string& relative) {
    return ReadFileBytes(ResolvePath(dataPath + relative));
  }

  // The structures of the outline file of an image, or nothing when it cannot be read.
  const std::set<std::string>* Outline(const std::string& imagePath) {
    auto it = outlines.find(imagePath);
    if (it != outlines.end()) return &it->second;
    const std::string dat = imagePath.substr(0, imagePath.size() - 3) + "dat";
    const std::optional<std::string> bytes = Read(dat);
    if (!bytes) return nullptr;
    std::set<std::string> names;
    OutlineReader reader(*bytes);
    reader.ReadTitle();
    const int count = reader.ReadCount();
    for (int i = 0; i < count && !reader.AtEnd(); ++i) {
      const OutlineRecordHead head = reader.ReadRecordHead();
      names.insert(Upper(head.name));
      reader.SkipColumns(head);
    }
    return &outlines.emplace(imagePath, std::move(names)).first->second;
  }

  // Where a page link or a related entry leads, found by the atlas's own request processing: a
  // link is sound when it shows a page in an image type the page has (a missing image file is
  // reported with its page), shows a page without images, or offers a structure's places.
  // Empty when it is sound, else what is wrong.
  std::string WhereLinkFails(const std::string& name) {
    const RequestOutcome outcome = ProbeRequest(catalogue, Command::kPageLink, name);
    if (outcome.kind == RequestOutcome::Kind::Unknown) return "which is no page or structure";
    IndexEntry page;
    if (outcome.kind == RequestOutcome::Kind::Places || !IsImageType(outcome.type) ||
        !catalogue.FindPage(outcome.page, page) || !ImageFile(page, outcome.type).empty()) {
      return {};
    }
    bool anyImage = false;
    for (const ImageType type : kImageTypesInOfferOrder) anyImage |= !ImageFile(page, type).empty();
    if (!anyImage) return {};  // its text is shown beside the image before
    const std::string_view suffix = TypeSuffix(outcome.type);
    return "which opens \"" + outcome.page + "\" as " +
           std::string(suffix.substr(2, suffix.size() - 3)) + " image, and the page has none";
  }

  // Links of one text file; `structures` are the names a structure link may highlight.
  void CheckText(const std::string& relative, const std::set<std::string>* structures) {
    const std::optional<std::string> bytes = Read(relative);
    if (!bytes) return;
    TextReader reader(*bytes);
    std::string line;
    int number = 0;
    while (reader.ReadLine(line)) {
      ++number;
      size_t at = 0;
      while ((at = line.find('#', at)) != std::string::npos) {
        ++at;
        const std::string_view rest = std::string_view(line).substr(at);
        char kind = 0;
        for (char k : {'L', 'P', 'M'}) {
          if (rest.size() >= 3 && rest[0] == '/' && rest[1] == k && rest[2] == ':') kind = k;
        }
        if (kind == 0) continue;
        const size_t end = line.find('#', at + 3);
        std::string segment =
            line.substr(at + 3, end == std::string::npos ? std::string::npos : end - at - 3);
        std::string target = segment;
        const size_t open = segment.find('{');
        if (open != std::string::npos) {
          const size_t close = segment.find('}', open);
          target = segment.substr(
              open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        }
        const std::string where = relative + " line " + std::to_string(number) + ": ";
        if (const std::string fault = kind == 'L' ? WhereLinkFails(target) : std::string();
            !fault.empty()) {
          Problem(where + "page link to \"" + target + "\", " + fault);
        } else if (kind == 'P' && structures != nullptr && structures->count(Upper(target)) == 0) {
          Problem(where + "structure link to \"" + target + "\", which the images do not show");
        } else if (kind == 'M' && !Read("MultiMed\\" + target)) {
          Problem(where + "media link to \"" + target + "\", which is not in MultiMed");
        }
      }
    }
  }
};

namespace fs = std::filesystem;

const std::string kOther = "Texte\\Other\\";

// Lines the atlas passes over without a word: a wrong number of fields, a page named twice.
void CheckListLines(Checker& c) {
  for (const auto& [list, wanted] :
       {std::pair{"Daten\\Index.LST", size_t(11)}, std::pair{"Daten\\Struktur.LST", size_t(3)}}) {
    const std::optional<std::string> bytes = c.Read(list);
    if (!bytes) continue;
    TextReader reader(*bytes);
    std::vector<std::string> fields;
    std::set<std::string> pages;
    while (ReadListLine(reader, fields)) {
      if (fields.empty()) {
        c.Problem(std::string(list) + ": a line without fields is ignored");
      } else if (fields.size() != wanted) {
        c.Problem(std::string(list) + ": the line of \"" + fields.front() + "\" has " +
                  std::to_string(fields.size()) + " fields instead of " + std::to_string(wanted) +
                  " and is ignored");
      } else if (wanted == 11 && !pages.insert(Upper(fields.front())).second) {
        c.Problem(std::string(list) + ": page \"" + fields.front() +
                  "\" is listed twice; the second line is ignored");
      }
    }
  }
}

// The images, outline files and texts of a page's image types; the structures of its outlines
// into `all`. False for a page without images.
bool CheckPageImages(Checker& c, const IndexEntry& page, std::set<std::string>& all) {
  bool anyImage = false;
  for (ImageType type : {0, 1, 2, 3}) {
    const std::string& file = ImageFile(page, type);
    if (file.empty()) continue;
    anyImage = true;
    const std::string image = ImageDirectory(type) + file;
    c.used.insert(Upper(image));
    if (file.size() >= 4) c.used.insert(Upper(image.substr(0, image.size() - 3) + "dat"));
    if (!page.textFile.empty()) c.used.insert(Upper(TextDirectory(type) + page.textFile));
    if (!c.Read(image)) c.Problem("page \"" + page.name + "\": image " + image + " is missing");
    const std::set<std::string>* names = file.size() < 4 ? nullptr : c.Outline(image);
    if (names == nullptr) {
      c.Problem("page \"" + page.name + "\": outline file of " + image + " is missing");
    } else {
      all.insert(names->begin(), names->end());
      if (!page.textFile.empty()) {
        c.textStructures[TextDirectory(type) + page.textFile].insert(names->begin(), names->end());
      }
    }
    if (!page.textFile.empty() && !c.Read(TextDirectory(type) + page.textFile)) {
      c.Problem("page \"" + page.name + "\": text " + TextDirectory(type) + page.textFile +
                " is missing");
    }
  }
  return anyImage;
}

void CheckPages(Checker& c) {
  // Pages: images, outline files, texts.
  for (size_t i = 0; i < c.catalogue.PageCount(); ++i) {
    const IndexEntry& page = c.catalogue.PageAt(long(i));
    std::set<std::string> all;
    const bool anyImage = CheckPageImages(c, page, all);
    // A page without images keeps the image type shown before it, and its text is looked up in
    // that type's directory: it needs one in each.
    for (ImageType type : {0, 1, 2, 3, -1}) {
      if (anyImage || page.textFile.empty()) break;
      const std::string text = (type < 0 ? kOther : TextDirectory(type)) + page.textFile;
      c.used.insert(Upper(text));
      c.textStructures.emplace(text, std::set<std::string>{});
      if (!c.Read(text)) c.Problem("page \"" + page.name + "\": text " + text + " is missing");
    }
    if (!all.empty()) c.outlinedPages.insert(Upper(page.name));
    if (!page.defaultStructure.empty() && all.count(Upper(page.defaultStructure)) == 0) {
      c.Problem("page \"" + page.name + "\": default structure \"" + page.defaultStructure +
                "\" is on none of its images");
    }
  }
}

void CheckStructureList(Checker& c) {
  // Structure list against pages and outline files.
  for (size_t i = 0; i < c.catalogue.LocationCount(); ++i) {
    const StructureLocation& l = c.catalogue.LocationAt(long(i));
    IndexEntry page;
    if (!c.catalogue.FindPage(l.page, page)) {
      c.Problem("structure list: \"" + l.structure + "\" on \"" + l.page + "\", no such page");
      continue;
    }
    for (ImageType type : {0, 1, 2, 3}) {
      if (!IsOutlinedOn(l, type)) continue;
      const std::string& file = ImageFile(page, type);
      const std::set<std::string>* names =
          file.size() < 4 ? nullptr : c.Outline(ImageDirectory(type) + file);
      if (names == nullptr || names->count(Upper(l.structure)) == 0) {
        c.Problem("structure list: \"" + l.structure + "\" is not outlined on the " +
                  std::string(TypeSuffix(type).substr(2, TypeSuffix(type).size() - 3)) +
                  " image of \"" + l.page + "\"");
      }
    }
  }
}

void CheckTextsAndSound(Checker& c) {
  // Texts: links.
  for (const auto& [path, names] : c.textStructures) c.CheckText(path, &names);
  for (const char* fixed : {"_KEINTXT.TXT", "Info.TXT"}) {
    if (!c.Read(kOther + fixed)) c.Problem(kOther + fixed + " is missing");
  }
  for (ImageType type : {0, 1, 2, 3, -1}) {
    const std::string dir = type < 0 ? kOther : TextDirectory(type);
    if (!c.Read(dir + "_KEINOBJ.TXT")) c.Problem(dir + "_KEINOBJ.TXT is missing");
  }
  const std::optional<std::string> wave = c.Read("MultiMed\\START.WAV");
  if (!wave || !ParseWave(*wave)) c.Problem("MultiMed\\START.WAV is missing or no wave file");
}

// The planes of a series run from the largest position to the smallest; one message a series.
void CheckPlaneOrder(Checker& c, const std::string& file,
                     const std::vector<std::pair<std::string, long>>& planes, bool vertical) {
  for (size_t i = 0; i + 1 < planes.size(); ++i) {
    const auto& [name, position] = planes[i];
    const auto& [next, nextPosition] = planes[i + 1];
    const std::string series = SeriesOfPage(name);
    if (!EqualsAsciiNoCase(series, SeriesOfPage(next)) || nextPosition <= position) continue;
    c.Problem(file + ": \"" + next + "\" (at " + std::to_string(nextPosition) + " %) follows \"" +
              name + "\" (at " + std::to_string(position) + " %), so the " +
              (vertical ? "left arrow moves to the right" : "upper arrow moves down") +
              " the pictogram; list the planes from the " +
              (vertical ? "rightmost to the leftmost" : "lowest to the highest"));
    // One message a series (or a run of hand-made planes) is enough.
    while (i + 1 < planes.size() && EqualsAsciiNoCase(SeriesOfPage(planes[i + 1].first), series)) {
      ++i;
    }
  }
}

void CheckPlaneLists(Checker& c) {
  // Plane lists: every plane is a page of the pictogram's region, and the arrows move the way
  // they point. The upper arrow steps to the next plane of the list, the lower one to the
  // previous; positions count from the top (the head) or from the left: so the planes of a series
  // run from the largest position to the smallest. Series that follow each other in a list are
  // judged each on its own (the step from one to the next is like the step round at the end).
  const std::pair<const char*, char> pictograms[] = {{"SM_AUSW", 'U'},  {"SM_KOPF", 'K'},
                                                     {"SM_RUMPF", 'R'}, {"SF_RUMPF", 'R'},
                                                     {"SM_ARM", 'A'},   {"SM_BEIN", 'B'}};
  for (const auto& [pictogram, region] : pictograms) {
    const std::string file = std::string("Daten\\") + pictogram + ".POS";
    const std::optional<std::string> bytes = c.Read(file);
    if (!bytes) continue;
    TextReader reader(*bytes, 512);
    std::string line;
    bool vertical = false;
    std::vector<std::pair<std::string, long>> planes;  // accepted planes in list order
    while (reader.ReadLine(line)) {
      if (EqualsAsciiNoCase(Trimmed(line), "VERTICAL")) vertical = true;
      const std::vector<std::string> fields = SplitListFields(line);
      if (fields.size() < 2 || EqualsAsciiNoCase(Trimmed(line), "VERTICAL")) continue;
      const std::string& position = fields[1];
      const size_t digits = position.find_first_not_of("0123456789");
      if (position.empty() || digits == 0 ||
          std::stol(position.substr(0, std::min<size_t>(digits, 4))) > 100) {
        c.Problem(file + ": plane \"" + fields[0] + "\" has the position \"" + position +
                  "\", not a percentage from 0 to 100");
      } else {
        planes.push_back({fields[0], std::stol(position.substr(0, std::min<size_t>(digits, 4)))});
      }
      IndexEntry page;
      if (!c.catalogue.FindPage(fields[0], page)) {
        c.Problem(file + ": plane \"" + fields[0] + "\" is no page");
      } else if (RegionFromLetter(std::string(1, region)) != page.region) {
        c.Problem(file + ": plane \"" + fields[0] + "\" belongs to another region");
      }
      const std::string series = SeriesOfPage(fields[0]);
      if (!series.empty()) c.seriesOnPlaneLists[Upper(series)].insert(Upper(fields[0]));
    }
    CheckPlaneOrder(c, file, planes, vertical);
  }
}

void CheckHalfWrittenSeries(Checker& c) {
  // Half-written series: a run stopped between the lists leaves pages whose structures the
  // structure list does not know, or a series only partly on its pictogram.
  std::set<std::string> listedPages;  // upper case
  for (size_t i = 0; i < c.catalogue.LocationCount(); ++i) {
    listedPages.insert(Upper(c.catalogue.LocationAt(long(i)).page));
  }
  std::map<std::string, std::pair<std::string, std::vector<std::string>>> series;  // upper ->
  for (size_t i = 0; i < c.catalogue.PageCount(); ++i) {
    const std::string& name = c.catalogue.PageAt(long(i)).name;
    const std::string s = SeriesOfPage(name);
    if (s.empty()) continue;
    auto& entry = series[Upper(s)];
    entry.first = s;
    entry.second.push_back(Upper(name));
  }
  for (const auto& [key, entry] : series) {
    const auto& [name, pages] = entry;
    size_t unknown = 0;
    std::string first;
    for (const std::string& page : pages) {
      if (c.outlinedPages.count(page) != 0 && listedPages.count(page) == 0 && unknown++ == 0) {
        first = page;
      }
    }
    if (unknown != 0) {
      c.Problem("series \"" + name +
                "\" is half-written: the structure list names none of the "
                "structures of " +
                std::to_string(unknown) + " of its " + std::to_string(pages.size()) +
                " pages (the first: \"" + first +
                "\"); run atlasbau series for it again or atlasbau remove");
    }
    const auto planes = c.seriesOnPlaneLists.find(key);
    if (planes != c.seriesOnPlaneLists.end() && planes->second.size() < pages.size()) {
      c.Problem("series \"" + name + "\" is half-written: " +
                std::to_string(planes->second.size()) + " of its " + std::to_string(pages.size()) +
                " pages are planes of a plane list, the others "
                "of none; run atlasbau series for it again or atlasbau remove");
    }
  }
}

void CheckOrphans(Checker& c, const fs::path& root) {
  // Orphan files: images, outline files and texts of the image types that no page uses.
  auto childNamed = [](const fs::path& folder, std::string_view name) -> fs::path {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
      if (EqualsAsciiNoCase(e.path().filename().string(), name)) return e.path();
    }
    return {};
  };
  // The files the pages' names lead to, found as the atlas finds them (any case, Windows-1252
  // names stored as UTF-8 on disk).
  std::set<fs::path> usedFiles;
  for (const std::string& relative : c.used) {
    std::error_code ec;
    const fs::path file = ResolvePath(c.dataPath + relative);
    if (fs::exists(file, ec)) usedFiles.insert(fs::weakly_canonical(file, ec));
  }
  for (const char* top : {"Bilder", "Texte"}) {
    const fs::path topFolder = childNamed(root, top);
    if (topFolder.empty()) continue;
    for (const char* sub : {"Schnitt", "CT", "MRT", "Schema"}) {
      const fs::path folder = childNamed(topFolder, sub);
      if (folder.empty()) continue;
      std::error_code ec;
      std::set<std::string> orphans;
      for (const auto& e : fs::directory_iterator(folder, ec)) {
        if (!e.is_regular_file(ec)) continue;
        const std::string relative =
            std::string(top) + "\\" + sub + "\\" + Utf8ToCp1252(e.path().filename().string());
        if (usedFiles.count(fs::weakly_canonical(e.path(), ec)) == 0 &&
            !Upper(relative).ends_with("\\_KEINOBJ.TXT")) {
          orphans.insert(relative);
        }
      }
      for (const std::string& o : orphans) c.Problem(o + " is an orphan: no page uses it");
    }
  }
}

void CheckStaging(Checker& c, const fs::path& root) {
  // What an interrupted run of atlasbau left.
  const fs::path staging = root / kStagingFolder;
  std::error_code ec;
  if (fs::exists(staging / "journal", ec)) {
    c.Problem(std::string(kStagingFolder) +
              "/journal: a run of atlasbau stopped half-way "
              "through changing the tree; atlasbau check rolls it back");
  } else if (fs::exists(staging, ec)) {
    c.Problem(std::string(kStagingFolder) +
              ": the staging folder of an earlier run of atlasbau "
              "is left over; atlasbau check removes it");
  }
}

void CheckRelatedEntries(Checker& c) {
  if (const std::optional<std::string> bytes = c.Read("Daten\\Objekte.LST")) {
    TextReader reader(*bytes);
    std::string line;
    while (reader.ReadLine(line)) {
      const size_t hash = line.find('#');
      if (line.empty() || line[0] == '/' || hash == std::string::npos || hash == 0) continue;
      std::string_view entries = Trimmed(std::string_view(line).substr(hash + 1));
      while (!entries.empty()) {
        const size_t amp = entries.find('&');
        const std::string entry(Trimmed(entries.substr(0, amp)));
        if (const std::string fault = entry.empty() ? std::string() : c.WhereLinkFails(entry);
            !fault.empty()) {
          c.Problem("Daten\\Objekte.LST: related entry \"" + entry + "\" leads nowhere, " + fault);
        }
        entries = amp == std::string_view::npos ? std::string_view() : entries.substr(amp + 1);
      }
    }
  }
}

void CheckSynonyms(Checker& c) {
  if (const std::optional<std::string> bytes = c.Read("Daten\\SYNONYMS.LST")) {
    std::vector<std::string> names;
    for (size_t i = 0; i < c.catalogue.PageCount(); ++i) {
      names.push_back(Upper(c.catalogue.PageAt(long(i)).name));
    }
    names.insert(names.end(), c.structureNames.begin(), c.structureNames.end());
    TextReader reader(*bytes);
    std::string line;
    while (reader.ReadLine(line)) {
      const std::vector<std::string> fields = SplitListFields(line);
      if (fields.size() < 2 || fields[0].empty() || fields[1].empty()) continue;
      for (char ch : fields[0]) {
        const unsigned char u = static_cast<unsigned char>(ch);
        if (u >= 0xE0 && u != 0xF7 && u != 0xFF) {
          c.Problem("Daten\\SYNONYMS.LST: \"" + fields[0] +
                    "\" has a small umlaut, which typed capitals never match");
          break;
        }
      }
      // Typed text that begins a name selects that name: such a synonym never applies.
      const std::string synonym = Upper(fields[0]);
      for (const std::string& n : names) {
        if (n.starts_with(synonym)) {
          c.Problem("Daten\\SYNONYMS.LST: \"" + fields[0] + "\" begins the name \"" + n +
                    "\", which typing it selects, so the synonym never applies");
          break;
        }
      }
      const std::string prefix = Upper(fields[1]);
      bool found = false;
      for (const std::string& n : names) found = found || n.starts_with(prefix);
      if (!found) {
        c.Problem("Daten\\SYNONYMS.LST: \"" + fields[1] + "\" begins no name of the atlas");
      }
    }
  }
}

}  // namespace

std::vector<std::string> CheckAtlasTree(const std::filesystem::path& root) {
  Checker c;
  c.dataPath = Utf8ToCp1252(root.string());
  if (!c.dataPath.ends_with('/')) c.dataPath += '/';
  if (!c.catalogue.LoadLists(c.dataPath)) {
    c.Problem("Daten\\Index.LST or Daten\\Struktur.LST cannot be read");
    return c.problems;
  }
  for (size_t i = 0; i < c.catalogue.LocationCount(); ++i) {
    c.structureNames.insert(Upper(c.catalogue.LocationAt(long(i)).structure));
  }
  CheckListLines(c);
  for (const char* page : {"START",
                           "Hilfe-\xDC"
                           "bersicht",
                           "Hilfe-Kontextmen\xFC"}) {
    IndexEntry entry;
    if (!c.catalogue.FindPage(page, entry)) c.Problem(std::string("no page \"") + page + "\"");
  }
  CheckPages(c);
  CheckStructureList(c);
  CheckTextsAndSound(c);
  CheckPlaneLists(c);
  CheckHalfWrittenSeries(c);
  CheckOrphans(c, root);
  CheckStaging(c, root);
  // Related entries and synonyms lead somewhere.
  CheckRelatedEntries(c);
  CheckSynonyms(c);
  return c.problems;
}

}  // namespace ostrelin
