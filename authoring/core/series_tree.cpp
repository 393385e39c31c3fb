// Writing a series into a data tree, and taking one out: its files and its lines in the lists,
// which replace the lines an earlier run of the same series wrote and leave every other line as it
// was, all in one transaction.
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "authoring/core/linklist.h"
#include "authoring/core/media.h"
#include "authoring/core/series.h"
#include "authoring/core/series_parallel.h"
#include "authoring/core/series_tree.h"
#include "authoring/core/tree_layout.h"
#include "authoring/core/tree_transaction.h"
#include "catalogue/core/image_type.h"
#include "platform/core/cp1252.h"
#include "platform/core/list_file.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"

namespace ostrelin {

namespace {

namespace fs = std::filesystem;

ImageType TypeOf(SeriesType type) {
  switch (type) {
    case SeriesType::kSchnitt: return 0;
    case SeriesType::kMr: return 1;
    case SeriesType::kCt: return 2;
    case SeriesType::kSchema: return 3;
  }
  return 1;
}

// A data-tree path ("Bilder\MRT\x.jpg") below the tree as a Linux path.
fs::path Local(const fs::path& tree, std::string_view relative) {
  std::string p(relative);
  std::replace(p.begin(), p.end(), '\\', '/');
  return tree / p;
}

std::string Lf(std::string_view text) {  // LF -> CR LF
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// A list file as its lines, each with its own line break, so untouched lines stay byte for byte.
struct ListLines {
  std::vector<std::string> lines;

  static ListLines Parse(const std::string& bytes) {
    ListLines l;
    size_t at = 0;
    while (at < bytes.size()) {
      size_t end = bytes.find('\n', at);
      end = end == std::string::npos ? bytes.size() : end + 1;
      l.lines.push_back(bytes.substr(at, end - at));
      at = end;
    }
    if (!l.lines.empty() && !l.lines.back().ends_with('\n')) l.lines.back() += "\r\n";
    return l;
  }
  static std::string Content(std::string_view line) {
    std::string_view c = line;
    while (!c.empty() && (c.back() == '\n' || c.back() == '\r')) c.remove_suffix(1);
    return std::string(c);
  }
  // Replaces the lines `drop` says are the series' by `fresh`, at the place of the first of them
  // (at the end when there was none).
  template <class Drop>
  void Replace(Drop drop, const std::vector<std::string>& fresh) {
    std::vector<std::string> out;
    bool placed = false;
    for (const std::string& line : lines) {
      if (!drop(Content(line))) {
        out.push_back(line);
        continue;
      }
      if (!placed) {
        for (const std::string& f : fresh) out.push_back(Lf(f + "\n"));
        placed = true;
      }
    }
    if (!placed) {
      for (const std::string& f : fresh) out.push_back(Lf(f + "\n"));
    }
    lines = std::move(out);
  }
  std::string Bytes() const {
    std::string out;
    for (const std::string& l : lines) out += l;
    return out;
  }
};

// Whether a page name is one of the series': the series name, a blank, a signed position, " mm".
bool IsSeriesPage(std::string_view page, const std::string& seriesName) {
  page = Trimmed(page);
  if (page.size() <= seriesName.size() + 1 ||
      !EqualsAsciiNoCase(page.substr(0, seriesName.size()), seriesName) ||
      page[seriesName.size()] != ' ' || !page.ends_with(" mm")) {
    return false;
  }
  std::string_view number = page.substr(seriesName.size() + 1);
  number.remove_suffix(3);
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) number.remove_prefix(1);
  const size_t comma = number.find(',');
  const std::string_view whole = number.substr(0, comma);
  const std::string_view tenths =
      comma == std::string_view::npos ? std::string_view() : number.substr(comma + 1);
  auto digits = [](std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  return digits(whole) && (comma == std::string_view::npos || digits(tenths));
}

std::string Pictogram(char region, char sex) {
  switch (region) {
    case 'K': return "SM_KOPF";
    case 'A': return "SM_ARM";
    case 'B': return "SM_BEIN";
    case 'R': return sex == 'W' || sex == 'F' ? "SF_RUMPF" : "SM_RUMPF";
    default: return "SM_AUSW";
  }
}

// The files a page line refers to (data-tree paths, upper case for comparison).
std::set<std::string> FilesOfPage(const std::vector<std::string>& f) {
  std::set<std::string> files;
  if (f.size() != 11) return files;
  static const ImageType kField[] = {0, 2, 1, 3};  // fields 2..5: Schnitt, CT, MR, Schema
  for (int k = 0; k < 4; ++k) {
    const std::string& image = f[size_t(2 + k)];
    if (image.size() < 4) continue;
    files.insert(ImageDirectory(kField[k]) + image);
    files.insert(ImageDirectory(kField[k]) + image.substr(0, image.size() - 3) + "dat");
    if (!f[1].empty()) files.insert(TextDirectory(kField[k]) + f[1]);
  }
  return files;
}

// Files every tree needs (data-tree paths and bytes), written only where they are missing.
std::vector<std::pair<std::string, std::string>> SkeletonFiles(const std::string& firstPage) {
  std::vector<std::pair<std::string, std::string>> files = {
      {"Daten\\Index.LST",
       W("/ Seiten: Name # Text # Schnitt # CT # MR # Schema # Struktur # Typ # Geschlecht # "
         "Region # Ebene\n"
         "START # start.txt # # # # # # # M # U # START\n"
         "Hilfe-Übersicht # hilfe.txt # # # # # # # - # - # Hilfe-Übersicht\n"
         "Hilfe-Kontextmenü # hilfe_menue.txt # # # # # # # - # - # Hilfe-Kontextmenü\n")},
      {"Daten\\Struktur.LST", W("/ Strukturen: Struktur # Seite # Bildtypen\n")},
      {"Texte\\Other\\_KEINTXT.TXT", HiddenTextNote()},
      {"Texte\\Other\\Info.TXT", W("Ostrelin - Atlas der Schnittanatomie\n\nGebaut mit atlasbau "
                                   "series aus Schnittbildern und "
                                   "ihrer Segmentierung.\n")},
      {"KARVOLEN.INI", SettingsFile()},
  };
  const std::string start =
      W("#/H:Willkommen#\nDieser Atlas wurde mit atlasbau aus Schnittbildern und ihrer "
        "Segmentierung gebaut. Die erste Serie beginnt mit #/L:") +
      firstPage + W("#.$\n#/L:So bedienen Sie den Atlas{Hilfe-Übersicht}#\n");
  for (const char* folder : kTextFolders) {
    std::string f(folder);
    std::replace(f.begin(), f.end(), '/', '\\');
    files.push_back({f + "\\start.txt", start});
    files.push_back({f + "\\hilfe.txt", HelpOverviewText()});
    files.push_back({f + "\\hilfe_menue.txt", HelpMenuText()});
    files.push_back({f + "\\_KEINOBJ.TXT", NotFoundText()});
  }
  for (auto& [relative, bytes] : files) bytes = Lf(bytes);
  return files;
}

bool IsComment(const std::string& content) { return Trimmed(content).starts_with("/"); }

// The lists of a tree with the lines of one series taken out (and, for writing, new ones put in),
// the files the series' pages used and the files the remaining pages use.
struct TreeLists {
  fs::path tree;
  std::string seriesName;
  ListLines index, structures;
  std::set<std::string> oldFiles, oldPages;  // of the series

  TreeLists(const fs::path& root, std::string name) : tree(root), seriesName(std::move(name)) {}

  bool OfSeriesPage(const std::string& content, size_t field) const {
    const std::vector<std::string> f = SplitListFields(content);
    return !IsComment(content) && f.size() > field && IsSeriesPage(f[field], seriesName);
  }
  void Read(const std::string& indexBytes, const std::string& structureBytes) {
    index = ListLines::Parse(indexBytes);
    structures = ListLines::Parse(structureBytes);
    for (const std::string& line : index.lines) {
      const std::string content = ListLines::Content(line);
      if (!OfSeriesPage(content, 0)) continue;
      const std::vector<std::string> f = SplitListFields(content);
      oldPages.insert(f[0]);
      const std::set<std::string> used = FilesOfPage(f);
      oldFiles.insert(used.begin(), used.end());
    }
  }
  // Upper-case data-tree path -> the page that uses it, for the pages of other series.
  std::map<std::string, std::string> FilesOfOthers() const {
    std::map<std::string, std::string> files;
    for (const std::string& line : index.lines) {
      const std::string content = ListLines::Content(line);
      if (IsComment(content) || OfSeriesPage(content, 0)) continue;
      const std::vector<std::string> f = SplitListFields(content);
      for (const std::string& file : FilesOfPage(f)) files.emplace(Upper(file), f[0]);
    }
    return files;
  }
  void ReplaceSeries(const std::vector<std::string>& indexLines,
                     const std::vector<std::string>& structureLines) {
    index.Replace([&](const std::string& c) { return OfSeriesPage(c, 0); }, indexLines);
    structures.Replace([&](const std::string& c) { return OfSeriesPage(c, 1); }, structureLines);
  }
  // The files of the series' earlier pages that no page uses any more, for removal.
  void DropUnused(TreeTransaction& tx) const {
    std::set<std::string> referenced;
    for (const std::string& line : index.lines) {
      for (const std::string& file : FilesOfPage(SplitListFields(ListLines::Content(line)))) {
        referenced.insert(Upper(file));
      }
    }
    std::error_code ec;
    for (const std::string& file : oldFiles) {
      if (referenced.count(Upper(file)) == 0 && !tx.Touches(file) &&
          fs::exists(Local(tree, file), ec)) {
        tx.Drop(file);
      }
    }
  }
};

constexpr const char* kPictograms[] = {"SM_AUSW",  "SM_KOPF", "SM_RUMPF",
                                       "SF_RUMPF", "SM_ARM",  "SM_BEIN"};

}  // namespace

std::string SeriesOfPage(std::string_view page) {
  page = Trimmed(page);
  if (!page.ends_with(" mm")) return {};
  const size_t blank = page.substr(0, page.size() - 3).rfind(' ');
  if (blank == std::string_view::npos || blank == 0) return {};
  const std::string series(page.substr(0, blank));
  return IsSeriesPage(page, series) ? series : std::string();
}

namespace {

// A series encoded before the first byte is written: its files and its lines in the lists.
struct EncodedSeries {
  struct File {
    std::string relative;  // data-tree path
    std::string bytes;
  };
  std::vector<File> files;
  std::vector<std::string> indexLines;
  std::vector<std::string> structureLines;  // of all its outline files, one a line
  std::vector<std::string> planeLines;      // in the order of the plane list
};

// The images of a page (its own, and the schematic drawing where the series has one): for each
// its type, whether it is a drawing, its JPEG and outline file and the structure lines of the
// latter.
struct PageImages {
  struct Image {
    ImageType type = 0;
    EncodedSeries::File jpg, dat;
    std::vector<std::string> structureLines;
  };
  std::vector<Image> images;
  std::string error;  // empty when all were encoded
};

std::vector<std::pair<ImageType, bool>> ImagesOfPage(const SeriesOptions& options) {
  std::vector<std::pair<ImageType, bool>> images = {
      {TypeOf(options.type), options.type == SeriesType::kSchema}};
  if (options.schema && options.type != SeriesType::kSchema) images.push_back({3, true});
  return images;
}

// The images of page `i`; on its own, so that pages are encoded a few at once.
PageImages EncodePageImages(const SeriesOptions& options, const SeriesPage& p) {
  PageImages out;
  std::string outline;  // the same for both images of a page
  for (const auto& [type, drawing] : ImagesOfPage(options)) {
    PageImages::Image image;
    image.type = type;
    image.jpg = {ImageDirectory(type) + p.stem + ".jpg", {}};
    image.dat = {ImageDirectory(type) + p.stem + ".dat", {}};
    const Raster picture = drawing ? DrawSchema(p.section) : p.section.grey;
    if (!EncodeJpeg(picture, drawing ? 92 : 90, image.jpg.bytes, out.error) ||
        (outline.empty() && !EncodeSectionOutline(p.section, p.name, outline, out.error))) {
      out.error = p.name + ": " + out.error;
      return out;
    }
    image.dat.bytes = outline;
    std::istringstream in(
        LinklistLines(image.dat.bytes, p.name, std::string(1, ImageTypeLetter(type))));
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) image.structureLines.push_back(line);
    }
    out.images.push_back(std::move(image));
  }
  return out;
}

// Page `i` into the series: its images, outline files and texts, and its structure lines; the
// image fields of its line in the page list.
void AddPage(const SeriesOptions& options, const std::vector<SeriesPage>& pages, size_t i,
             PageImages& encoded, EncodedSeries& series, std::string (&fields)[4]) {
  const SeriesPage& p = pages[i];
  const ImageType own = TypeOf(options.type);
  for (PageImages::Image& image : encoded.images) {
    for (std::string& line : image.structureLines) series.structureLines.push_back(std::move(line));
    static const int kField[] = {0, 2, 1, 3};  // image type -> field of the four
    fields[kField[image.type]] = p.stem + ".jpg";
    series.files.push_back(std::move(image.jpg));
    series.files.push_back(std::move(image.dat));
    const bool ownText = image.type == own;
    std::string text =
        options.text ? options.text(i, !ownText) : SeriesPageText(options, pages, i, !ownText);
    series.files.push_back({TextDirectory(image.type) + p.stem + ".txt", Lf(text)});
  }
}

bool EncodeSeries(const SeriesOptions& options, const std::vector<SeriesPage>& pages,
                  EncodedSeries& series, std::string& error) {
  const ImageType own = TypeOf(options.type);
  std::vector<std::pair<int, std::string>> planeLines;
  // The images a few pages at once; texts (which may come from the caller) and lists in order.
  std::vector<PageImages> encoded(pages.size());
  RunJobs(pages.size(), SeriesWorkers(),
          [&](size_t i) { encoded[i] = EncodePageImages(options, pages[i]); });
  for (size_t i = 0; i < pages.size(); ++i) {
    if (!encoded[i].error.empty()) {
      error = encoded[i].error;
      return false;
    }
  }
  for (size_t i = 0; i < pages.size(); ++i) {
    const SeriesPage& p = pages[i];
    std::string fields[4] = {" ", " ", " ", " "};  // Schnitt, CT, MR, Schema
    AddPage(options, pages, i, encoded[i], series, fields);
    encoded[i] = PageImages();
    const std::string largest = p.Largest();
    series.indexLines.push_back(p.name + " # " + p.stem + ".txt # " + fields[0] + " # " +
                                fields[1] + " # " + fields[2] + " # " + fields[3] + " # " +
                                (largest.empty() ? " " : largest) + " # " + ImageTypeLetter(own) +
                                " # " + options.sex + " # " + options.region + " # " + p.name);
    if (p.position >= 0) {
      planeLines.push_back({p.position, p.name + " # " + std::to_string(p.position)});
    }
  }
  // The upper arrow steps to the next plane of the list and must move up the pictogram (toward
  // the head, position 0), the left arrow of vertical planes to the left: the list runs from the
  // largest position to the smallest.
  std::stable_sort(planeLines.begin(), planeLines.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  for (auto& [position, line] : planeLines) series.planeLines.push_back(std::move(line));
  return true;
}

// The lists of the tree; a tree without a page list is new and gets its fixed files and folders.
void StartOrReadLists(const fs::path& tree, const std::string& firstPage, TreeTransaction& tx,
                      TreeLists& lists, std::ostream& log) {
  std::error_code ec;
  const std::optional<std::string> indexBytes = ReadFileBytes(Local(tree, "Daten\\Index.LST"));
  if (!indexBytes) {
    size_t written = 0;
    for (const auto& [relative, bytes] : SkeletonFiles(firstPage)) {
      if (relative == "Daten\\Index.LST" || relative == "Daten\\Struktur.LST") {
        (relative[6] == 'I' ? lists.index : lists.structures) = ListLines::Parse(bytes);
        ++written;
      } else if (!fs::exists(Local(tree, relative), ec)) {
        tx.Put(relative, bytes);
        ++written;
      }
    }
    if (!fs::exists(tree / "MultiMed" / "START.WAV", ec)) {
      tx.Put("MultiMed\\START.WAV", SynthesiseChime());
    }
    log << "a new data tree: its folders, the start and help pages and " << written
        << " fixed files\n";
  } else {
    lists.Read(*indexBytes, ReadFileBytes(Local(tree, "Daten\\Struktur.LST")).value_or(""));
  }
  for (const char* folder : kTreeFolders) tx.Folder(folder);
}

// Files of another series' pages are never written over ("Gehirn-axial" and "Gehirn axial" make
// the same file names).
bool CheckFileCollisions(const SeriesOptions& options, const EncodedSeries& series,
                         const TreeLists& lists, std::string& error) {
  const std::map<std::string, std::string> othersFiles = lists.FilesOfOthers();
  for (const EncodedSeries::File& f : series.files) {
    const auto it = othersFiles.find(Upper(f.relative));
    if (it == othersFiles.end()) continue;
    const std::string other = SeriesOfPage(it->second);
    error = "the series \"" + options.name + "\" would write over " + f.relative + " of " +
            (other.empty() ? "the page \"" + Cp1252ToUtf8(it->second) + "\""
                           : "the series \"" + Cp1252ToUtf8(other) + "\"") +
            "; give it other file names with --files (or another --name)";
    return false;
  }
  return true;
}

// The plane list of the region's pictogram with the series' planes in place of its earlier ones.
// A pictogram has one orientation: when planes of other series lie on it in the other
// orientation, it is left alone.
struct PlaneListUpdate {
  std::string file;                   // "Daten\SM_KOPF.POS"
  std::optional<std::string> before;  // its bytes, when it exists
  ListLines planes;
};

PlaneListUpdate UpdatePlaneList(const SeriesOptions& options, const EncodedSeries& series,
                                std::ostream& log) {
  const std::string seriesName = SeriesName(options);
  const std::string pictogram = Pictogram(options.region, options.sex);
  PlaneListUpdate update;
  update.file = "Daten\\" + pictogram + ".POS";
  update.before = ReadFileBytes(Local(options.tree, update.file));
  ListLines& planes = update.planes;
  planes = ListLines::Parse(update.before.value_or(""));
  bool vertical = false, others = false;
  for (const std::string& line : planes.lines) {
    const std::string content(Trimmed(ListLines::Content(line)));
    if (EqualsAsciiNoCase(content, "VERTICAL")) {
      vertical = true;
      continue;
    }
    const std::vector<std::string> f = SplitListFields(content);
    if (f.size() >= 2 && !IsSeriesPage(f[0], seriesName)) others = true;
  }
  const bool wantVertical = options.plane == PlaneOrientation::kSagittal;
  auto planeOfSeries = [&](const std::string& content) {
    const std::vector<std::string> f = SplitListFields(content);
    return !f.empty() && IsSeriesPage(f[0], seriesName);
  };
  if (series.planeLines.empty()) {
    planes.Replace(planeOfSeries, {});
  } else if (others && vertical != wantVertical) {
    planes.Replace(planeOfSeries, {});
    log << "note: " << pictogram << ".POS holds " << (vertical ? "vertical" : "horizontal")
        << " planes of other series; the " << (wantVertical ? "sagittal" : "axial")
        << " planes of this series go into no plane list (a pictogram has one orientation)\n";
  } else {
    if (!others) {
      // The pictogram is the series' own: its orientation follows the series.
      planes.Replace([](const std::string& c) { return EqualsAsciiNoCase(Trimmed(c), "VERTICAL"); },
                     {});
      if (wantVertical) planes.lines.insert(planes.lines.begin(), "VERTICAL\r\n");
    }
    planes.Replace(planeOfSeries, series.planeLines);
  }
  return update;
}

// An image, an outline file and a text a plane and image.
size_t StagedFilesOf(const SeriesOptions& options, size_t planes) {
  return planes * ImagesOfPage(options).size() * 3;
}

}  // namespace

size_t SeriesStagedFiles(const SeriesOptions& options) {
  return StagedFilesOf(options, options.positions.size());
}

bool WriteSeries(const SeriesOptions& options, const std::vector<SeriesPage>& pages,
                 std::ostream& log, std::string& error, TreeTransaction* begun) {
  const fs::path& tree = options.tree;
  std::error_code ec;
  if (fs::exists(tree, ec) && !fs::is_directory(tree, ec)) {
    error = tree.string() + " is no folder";
    return false;
  }
  if (pages.empty()) {
    error = "the series has no planes";
    return false;
  }
  // Without a transaction begun ahead, the staging files of the pages' images, outline files
  // and texts are made while the pages are encoded.
  std::optional<TreeTransaction> own;
  if (!begun) {
    own.emplace(tree);
    own->Reserve(StagedFilesOf(options, pages.size()));
  }
  TreeTransaction& tx = begun ? *begun : *own;
  EncodedSeries series;
  if (!EncodeSeries(options, pages, series, error)) return false;
  TreeLists lists(tree, SeriesName(options));
  StartOrReadLists(tree, pages.front().name, tx, lists, log);
  if (!CheckFileCollisions(options, series, lists, error)) return false;
  // The lists: the series' lines in place of the earlier ones; files of earlier pages that no
  // line names any more are removed.
  lists.ReplaceSeries(series.indexLines, series.structureLines);
  const PlaneListUpdate planes = UpdatePlaneList(options, series, log);

  // Everything goes in at once: the files, the lists, the removal of unused files.
  for (EncodedSeries::File& f : series.files) tx.Put(f.relative, std::move(f.bytes));
  tx.Put("Daten\\Index.LST", lists.index.Bytes());
  tx.Put("Daten\\Struktur.LST", lists.structures.Bytes());
  if ((planes.before || !series.planeLines.empty()) &&
      planes.planes.Bytes() != planes.before.value_or("")) {
    tx.Put(planes.file, planes.planes.Bytes());
  }
  lists.DropUnused(tx);
  if (!tx.Commit(error)) return false;
  log << pages.size() << " pages of \"" << options.name << "\" written to " << tree.string()
      << (lists.oldPages.empty()
              ? ""
              : " (" + std::to_string(lists.oldPages.size()) + " earlier pages replaced)")
      << "\n";
  return true;
}

bool RemoveSeries(const fs::path& tree, const std::string& name, std::ostream& log,
                  std::string& error) {
  SeriesOptions options;
  options.name = name;
  const std::string seriesName = SeriesName(options);
  if (!RecoverTree(tree, log, error)) return false;
  const std::optional<std::string> indexBytes = ReadFileBytes(Local(tree, "Daten\\Index.LST"));
  if (!indexBytes) {
    error = tree.string() + ": no data tree (Daten/Index.LST cannot be read)";
    return false;
  }
  TreeLists lists(tree, seriesName);
  lists.Read(*indexBytes, ReadFileBytes(Local(tree, "Daten\\Struktur.LST")).value_or(""));
  if (lists.oldPages.empty()) {
    std::set<std::string> series;
    for (const std::string& line : lists.index.lines) {
      const std::vector<std::string> f = SplitListFields(ListLines::Content(line));
      if (!f.empty() && !IsComment(ListLines::Content(line))) {
        const std::string s = SeriesOfPage(f[0]);
        if (!s.empty()) series.insert("\"" + Cp1252ToUtf8(s) + "\"");
      }
    }
    error = tree.string() + " holds no series \"" + name + "\"";
    if (!series.empty()) {
      error += "; its series are";
      for (const std::string& s : series) error += (s == *series.begin() ? " " : ", ") + s;
    }
    return false;
  }
  lists.ReplaceSeries({}, {});
  TreeTransaction tx(tree);
  tx.Put("Daten\\Index.LST", lists.index.Bytes());
  tx.Put("Daten\\Struktur.LST", lists.structures.Bytes());
  for (const char* pictogram : kPictograms) {
    const std::string posFile = std::string("Daten\\") + pictogram + ".POS";
    const std::optional<std::string> bytes = ReadFileBytes(Local(tree, posFile));
    if (!bytes) continue;
    ListLines planes = ListLines::Parse(*bytes);
    planes.Replace(
        [&](const std::string& c) {
          const std::vector<std::string> f = SplitListFields(c);
          return !f.empty() && IsSeriesPage(f[0], seriesName);
        },
        {});
    if (planes.Bytes() == *bytes) continue;
    // A list left without planes goes with them.
    const bool empty =
        std::all_of(planes.lines.begin(), planes.lines.end(), [](const std::string& l) {
          const std::string c(Trimmed(ListLines::Content(l)));
          return c.empty() || EqualsAsciiNoCase(c, "VERTICAL");
        });
    if (empty) {
      tx.Drop(posFile);
    } else {
      tx.Put(posFile, planes.Bytes());
    }
  }
  lists.DropUnused(tx);
  if (!tx.Commit(error)) return false;
  log << lists.oldPages.size() << " pages of \"" << name << "\" removed from " << tree.string()
      << "\n";
  return true;
}

}  // namespace ostrelin
