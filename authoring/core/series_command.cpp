#include "authoring/core/series_command.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "authoring/core/atlas_check.h"
#include "authoring/core/series.h"
#include "authoring/core/series_tree.h"
#include "authoring/core/tree_transaction.h"
#include "platform/core/cp1252.h"
#include "platform/core/text_file.h"

namespace ostrelin {

namespace {

namespace fs = std::filesystem;

bool Number(const std::string& text, double& value) {
  const char* begin = text.data();
  if (!text.empty() && text[0] == '+') ++begin;
  const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
         begin != end;
}

bool Pair(const std::string& text, std::pair<double, double>& value) {
  const size_t comma = text.find(',');
  return comma != std::string::npos && Number(text.substr(0, comma), value.first) &&
         Number(text.substr(comma + 1), value.second);
}

// The label names: from the table, else from the label map's header extension.
bool LoadNames(const std::optional<fs::path>& table, const Volume& labels,
               std::vector<LabelName>& names, std::ostream& out, std::string& error) {
  if (table) {
    const std::optional<std::string> bytes = ReadFileBytes(*table);
    if (!bytes) {
      error = table->string() + ": cannot be read";
      return false;
    }
    std::string format;
    if (!ParseLabelTable(*bytes, names, format, error)) {
      error = table->string() + ": " + error;
      return false;
    }
    out << "names: " << names.size() << " labels from " << table->filename().string() << " ("
        << format << ")\n";
    return true;
  }
  for (const std::string& extension : labels.extensions) {
    std::vector<LabelName> found = ParseCaretLabels(extension);
    if (!found.empty()) {
      names = std::move(found);
      out << "names: " << names.size() << " labels from the label map's header extension\n";
      return true;
    }
  }
  out << "names: none given, every structure is called \"Struktur <value>\" (see --table)\n";
  return true;
}

// The folders of the renaming tables that come with the atlas: the installed one, then the
// sources' (for a build run from the source tree).
#ifndef OSTRELIN_NAMES_INSTALLED
#define OSTRELIN_NAMES_INSTALLED "/usr/share/ostrelin/names"
#endif
#ifndef OSTRELIN_NAMES_SOURCE
#define OSTRELIN_NAMES_SOURCE ""
#endif
constexpr const char* kNameTableFolders[] = {OSTRELIN_NAMES_INSTALLED, OSTRELIN_NAMES_SOURCE};

// The shipped renaming table that knows most of the label names, when it knows at least half.
bool ShippedNameMap(const std::vector<LabelName>& names, std::vector<NameMapEntry>& map,
                    std::ostream& out) {
  size_t named = 0;
  for (const LabelName& n : names) named += n.name.empty() ? 0 : 1;
  if (named == 0) return false;
  std::error_code ec;
  size_t best = 0;
  std::string bestFile;
  std::set<std::string> seen;
  for (const char* folder : kNameTableFolders) {
    if (*folder == '\0') continue;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      if (entry.path().extension() == ".csv") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      if (!seen.insert(file.filename().string()).second) continue;
      const std::optional<std::string> bytes = ReadFileBytes(file);
      if (!bytes) continue;
      std::vector<std::string> problems;
      std::vector<NameMapEntry> candidate = ParseNameMap(*bytes, problems);
      const size_t matched = MatchedNames(names, candidate);
      if (matched > best) {
        best = matched;
        bestFile = file.string();
        map = std::move(candidate);
      }
    }
  }
  if (best == 0 || best * 2 < named) {
    map.clear();
    return false;
  }
  out << "names: " << best << " of " << named << " label names are in the table " << bestFile
      << ", which gives their atlas names (--names none keeps the label map's own)\n";
  return true;
}

bool ReadVolume(const char* role, const fs::path& path, Volume& volume, std::ostream& out,
                std::string& error) {
  if (!ReadNiftiFile(path, volume, error)) {
    error = path.string() + ": " + error;
    return false;
  }
  out << role << ": " << path.filename().string() << ", " << volume.nx << " x " << volume.ny
      << " x " << volume.nz << " voxels, world coordinates from the " << volume.orientation
      << "\n";
  if (volume.volumes > 1) {
    out << role << ": a 4-D file of " << volume.volumes << " volumes; the first is used\n";
  }
  return true;
}

}  // namespace

const char* SeriesUsage() {
  return "  atlasbau series BAUM --image SCAN.nii[.gz] --labels LABELS.nii[.gz] [--table TABELLE]\n"
         "                 --name \"Kopf sagittal\" --plane axial|coronal|sagittal\n"
         "                 --type schnitt|ct|mr|schema --region kopf|rumpf|arm|bein|uebersicht\n"
         "                 [--sex m|w] --from MM --to MM --step MM [--pixel MM]\n"
         "                 [--extent ERSTE,LETZTE]\n"
         "                 [--window ZENTRUM,BREITE | --preset weichteil|lunge|knochen|gehirn|auto]\n"
         "                 [--names ZUORDNUNG.csv|none] [--schema] [--files STAMM] [--min-pixels N]\n";
}

int RunSeriesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  auto usage = [&](const std::string& why) {
    err << "atlasbau series: " << why << "\nAufruf:\n" << SeriesUsage();
    return 2;
  };
  if (args.empty() || args[0].starts_with("--")) return usage("the data tree is missing");
  SeriesOptions options;
  options.tree = args[0];
  std::map<std::string, std::string> given;
  static const std::set<std::string> kValued = {
      "--image", "--labels", "--table", "--name",  "--plane",  "--type",  "--region",
      "--sex",   "--from",   "--to",    "--step",  "--pixel",  "--extent", "--window",
      "--preset", "--names", "--files", "--min-pixels"};
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--schema") {
      options.schema = true;
    } else if (kValued.count(args[i]) != 0 && i + 1 < args.size()) {
      given[args[i]] = args[i + 1];
      ++i;
    } else {
      return usage("unknown or incomplete option " + args[i]);
    }
  }
  for (const char* required : {"--image", "--labels", "--name", "--plane", "--type", "--region",
                               "--from", "--to", "--step"}) {
    if (given.count(required) == 0) return usage(std::string(required) + " is missing");
  }
  options.name = given["--name"];
  if (options.name.find('#') != std::string::npos || options.name.empty()) {
    return usage("--name must not be empty or hold \"#\"");
  }
  if (const std::string lost = UnholdableCharacters(options.name); !lost.empty()) {
    return usage("--name \"" + options.name + "\" holds " + lost +
                 ", which the atlas cannot store (Windows-1252): choose another name");
  }
  static const std::map<std::string, PlaneOrientation> kPlanes = {
      {"axial", PlaneOrientation::kAxial},
      {"coronal", PlaneOrientation::kCoronal},
      {"sagittal", PlaneOrientation::kSagittal}};
  static const std::map<std::string, SeriesType> kTypes = {{"schnitt", SeriesType::kSchnitt},
                                                           {"ct", SeriesType::kCt},
                                                           {"mr", SeriesType::kMr},
                                                           {"schema", SeriesType::kSchema}};
  static const std::map<std::string, char> kRegions = {
      {"kopf", 'K'}, {"rumpf", 'R'}, {"arm", 'A'}, {"bein", 'B'}, {"uebersicht", 'U'}};
  if (!kPlanes.count(given["--plane"])) return usage("--plane is axial, coronal or sagittal");
  if (!kTypes.count(given["--type"])) return usage("--type is schnitt, ct, mr or schema");
  if (!kRegions.count(given["--region"])) {
    return usage("--region is kopf, rumpf, arm, bein or uebersicht");
  }
  options.plane = kPlanes.at(given["--plane"]);
  options.type = kTypes.at(given["--type"]);
  options.region = kRegions.at(given["--region"]);
  if (given.count("--sex")) {
    if (given["--sex"] != "m" && given["--sex"] != "w") return usage("--sex is m or w");
    options.sex = given["--sex"] == "w" ? 'W' : 'M';
  }
  double from = 0, to = 0, step = 0;
  if (!Number(given["--from"], from) || !Number(given["--to"], to) ||
      !Number(given["--step"], step) || !(step > 0)) {
    return usage("--from, --to and --step are millimetres, --step above 0");
  }
  if (std::abs(to - from) / step > 2000) return usage("more than 2000 planes");
  const double direction = to >= from ? 1 : -1;
  for (long n = 0;; ++n) {
    const double mm = from + direction * double(n) * step;
    if (direction * (mm - to) > 1e-9) break;
    options.positions.push_back(std::round(mm * 1000) / 1000);
  }
  if (given.count("--pixel") && (!Number(given["--pixel"], options.pixel) || !(options.pixel > 0))) {
    return usage("--pixel is millimetres above 0");
  }
  if (given.count("--extent")) {
    std::pair<double, double> extent;
    if (!Pair(given["--extent"], extent) || extent.first == extent.second) {
      return usage("--extent is FIRST,LAST in millimetres, two different values");
    }
    options.extent = extent;
  }
  if (given.count("--window") && given.count("--preset")) {
    return usage("--window and --preset exclude each other");
  }
  if (given.count("--window")) {
    std::pair<double, double> window;
    if (!Pair(given["--window"], window) || !(window.second > 0)) {
      return usage("--window is CENTRE,WIDTH, the width above 0");
    }
    options.window = window;
  } else if (given.count("--preset") && given["--preset"] != "auto") {
    options.window = WindowPreset(given["--preset"]);
    if (!options.window) return usage("--preset is weichteil, lunge, knochen, gehirn or auto");
  } else if (!given.count("--preset") && options.type == SeriesType::kCt) {
    options.window = WindowPreset("weichteil");
  }
  if (given.count("--files")) {
    options.files = FileStemOf(given["--files"]);
  }
  if (given.count("--min-pixels")) {
    double n = 0;
    if (!Number(given["--min-pixels"], n) || n < 1 || n > 1e6) {
      return usage("--min-pixels is a number of pixels, 1 or more");
    }
    options.minPixels = size_t(n);
  }

  std::string error;
  auto fail = [&](const std::string& message) {
    err << "atlasbau series: " << message << "\n";
    return 1;
  };
  std::vector<std::string> warnings;
  auto warn = [&](const std::string& message) {
    err << "warning: " << message << "\n";
    warnings.push_back(message);
  };
  if (options.type == SeriesType::kCt && options.window && options.window->second < 10) {
    std::ostringstream text;
    text << "--window " << given["--window"] << " is CENTRE,WIDTH: a window "
         << options.window->second << " HU wide shows hardly more than black and white (did you "
         << "mean --window " << options.window->second << "," << options.window->first << "?)";
    warn(text.str());
  }
  std::error_code ec;
  if (fs::exists(options.tree, ec) && !fs::is_directory(options.tree, ec)) {
    return fail(options.tree.string() + " is a file, not the folder of a data tree");
  }
  Volume scan, labels;
  if (!ReadVolume("scan", given["--image"], scan, out, error) ||
      !ReadVolume("labels", given["--labels"], labels, out, error)) {
    return fail(error);
  }
  std::map<long, size_t> voxelsOfValue;
  if (!SurveyLabelMap(labels, voxelsOfValue, error)) {
    return fail(given["--labels"] + ": " + error);
  }
  // A scan of whole grey values (an 8-bit MR) passes the survey; its voxels do not form regions.
  if (const double agreement = NeighbourAgreement(labels); agreement < kMinLabelAgreement) {
    warn("the label map looks like a scan: only " + std::to_string(std::lround(agreement * 100)) +
         " % of its labelled voxels hold the value of their neighbour (in a segmentation, whose "
         "structures are regions, 70 % and more): are --image and --labels swapped?");
  }
  if (labels.orientation == "voxel sizes" && scan.orientation != "voxel sizes") {
    if (labels.nx == scan.nx && labels.ny == scan.ny && labels.nz == scan.nz) {
      labels.toWorld = scan.toWorld;
      warn("the label map has neither sform nor qform: it is assumed to lie on the scan's grid "
           "(same size, " + scan.orientation + " of the scan)");
    } else {
      warn("the label map has neither sform nor qform and another grid than the scan: its "
           "orientation is assumed from its voxel sizes alone and may not match the scan");
    }
  }
  std::vector<LabelName> names;
  const std::optional<fs::path> table =
      given.count("--table") ? std::optional<fs::path>(given["--table"]) : std::nullopt;
  if (!LoadNames(table, labels, names, out, error)) return fail(error);
  if (names.empty() && !voxelsOfValue.empty()) {
    warn("no name for any of the " + std::to_string(voxelsOfValue.size()) +
         " values of the label map: every structure is called \"Struktur <value>\" (see --table)");
  }
  if (!names.empty()) {
    std::string unnamed;
    size_t count = 0;
    for (const auto& [value, voxels] : voxelsOfValue) {
      if (std::none_of(names.begin(), names.end(),
                       [&](const LabelName& n) { return n.value == value; })) {
        if (++count <= 40) {
          unnamed += (unnamed.empty() ? "" : ", ") + std::to_string(value) + " (" +
                     std::to_string(voxels) + " voxels)";
        }
      }
    }
    if (count > 40) unnamed += " and " + std::to_string(count - 40) + " more";
    if (count > 0) {
      warn(std::to_string(count) + " value(s) of the label map have no name in the table: " +
           unnamed + "; they are called \"Struktur <value>\"");
    }
  }
  if (given.count("--names") && given["--names"] == "none") {
    out << "names: as the label map gives them (--names none)\n";
  } else if (!given.count("--names")) {
    ShippedNameMap(names, options.rename, out);
  } else {
    const std::optional<std::string> bytes = ReadFileBytes(given["--names"]);
    if (!bytes) return fail(given["--names"] + ": cannot be read");
    std::vector<std::string> problems;
    options.rename = ParseNameMap(*bytes, problems);
    for (const std::string& p : problems) err << given["--names"] << ": " << p << "\n";
    if (!problems.empty()) return fail(given["--names"] + ": the table has faulty lines");
    if (options.rename.empty()) return fail(given["--names"] + ": the table renames nothing");
  }
  std::string unholdable;
  for (const LabelName& n : names) {
    bool changed = false;
    const std::string renamed = RenameLabel(n, options.rename);
    const std::string stored = AtlasName(renamed, changed);
    if (const std::string lost = UnholdableCharacters(renamed); !lost.empty()) {
      unholdable += (unholdable.empty() ? "" : ", ") + std::to_string(n.value) + " \"" + renamed +
                    "\" (" + lost + ")";
    } else if (changed) {
      out << "note: label " << n.value << " \"" << renamed << "\" cannot be written as it is; it "
          << "becomes \"" << Cp1252ToUtf8(stored) << "\"\n";
    }
  }

  if (!unholdable.empty()) {
    warn("label names with letters the atlas cannot store (Windows-1252): " + unholdable +
         "; they are called \"Struktur <value>\" (rename them with --names)");
  }

  if (options.pixel <= 0) {
    options.pixel = DefaultPixel(scan, options.plane);
    out << "pixel: " << options.pixel << " mm (the finest voxel size, or finer so that the longer "
        << "image side has at least " << kMinLongerSide << " pixels; --pixel sets it)\n";
  }
  if (!options.extent) {
    std::string how;
    options.extent = DefaultExtent(scan, labels, names, options.region, options.plane, how);
    if (options.extent) {
      out << "pictogram: " << how << "\n";
    } else if (options.plane != PlaneOrientation::kCoronal) {
      const auto box = WorldBox(scan);
      const auto [lo, hi] = box[size_t(PlaneAxis(options.plane))];
      out << "pictogram: the scan's extent, " << hi << " mm at 0 %, " << lo
          << " mm at 100 % (no body landmarks for this region" << (how.empty() ? "" : ": " + how)
          << "; --extent sets it)\n";
    }
  } else {
    out << "pictogram: --extent " << options.extent->first << " mm at 0 %, "
        << options.extent->second << " mm at 100 %\n";
  }

  std::vector<SeriesPage> pages;
  if (!CutSeries(scan, labels, names, options, out, pages, error)) return fail(error);
  std::string empty;
  size_t emptyCount = 0;
  std::set<std::string> structureNames;
  for (const SeriesPage& p : pages) {
    for (const SectionStructure& st : p.section.structures) structureNames.insert(st.name);
    if (p.section.structures.empty()) {
      empty += (empty.empty() ? "" : ", ") + Cp1252ToUtf8(p.name);
      ++emptyCount;
    }
  }
  if (emptyCount > 0) {
    warn(std::to_string(emptyCount) + " plane(s) show no structure at all: " + empty);
  }
  scan = Volume();
  labels = Volume();
  if (!RecoverTree(options.tree, out, error) || !WriteSeries(options, pages, out, error)) {
    return fail(error);
  }
  const std::vector<std::string> problems = CheckAtlasTree(options.tree);
  for (const std::string& p : problems) err << "check: " << p << "\n";
  out << options.tree.string() << ": " << problems.size() << " problem(s)\n";
  out << "\nSummary: " << pages.size() << " page(s) of \"" << options.name << "\" from "
      << FormatMillimetres(pages.front().mm) << " to " << FormatMillimetres(pages.back().mm)
      << " mm, " << structureNames.size() << " structure(s), " << warnings.size()
      << " warning(s)" << (warnings.empty() ? "" : " (above)") << ", the tree "
      << (problems.empty() ? "checks clean" : "has " + std::to_string(problems.size()) +
                                                  " problem(s)")
      << ".\n";
  return problems.empty() ? 0 : 1;
}

int RunRemoveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3 || args[0].starts_with("--") || args[1] != "--name" || args[2].empty()) {
    err << "atlasbau remove: the data tree and --name NAME are needed\nAufruf:\n"
        << "  atlasbau remove BAUM --name NAME\n";
    return 2;
  }
  std::string error;
  if (!RemoveSeries(args[0], args[2], out, error)) {
    err << "atlasbau remove: " << error << "\n";
    return 1;
  }
  const std::vector<std::string> problems = CheckAtlasTree(args[0]);
  for (const std::string& p : problems) err << "check: " << p << "\n";
  out << args[0] << ": " << problems.size() << " problem(s)\n";
  return problems.empty() ? 0 : 1;
}

int RunCheckCommand(const std::string& tree, std::ostream& out, std::ostream& err) {
  std::string error;
  if (!RecoverTree(tree, out, error)) err << "atlasbau check: " << error << "\n";
  const std::vector<std::string> problems = CheckAtlasTree(tree);
  for (const std::string& p : problems) err << p << "\n";
  out << tree << ": " << problems.size() << " problem(s)\n";
  return problems.empty() ? 0 : 1;
}

}  // namespace ostrelin
