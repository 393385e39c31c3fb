#include "tools/demo/core/series_command.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "platform/core/cp1252.h"
#include "platform/core/text_file.h"
#include "tools/demo/core/atlas_check.h"
#include "tools/demo/core/series.h"
#include "tools/demo/core/series_tree.h"
#include "tools/demo/core/tree_transaction.h"

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
         "                 [--names ZUORDNUNG.csv] [--schema] [--files STAMM] [--min-pixels N]\n";
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
  std::error_code ec;
  if (fs::exists(options.tree, ec) && !fs::is_directory(options.tree, ec)) {
    return fail(options.tree.string() + " is a file, not the folder of a data tree");
  }
  Volume scan, labels;
  if (!ReadVolume("scan", given["--image"], scan, out, error) ||
      !ReadVolume("labels", given["--labels"], labels, out, error)) {
    return fail(error);
  }
  std::vector<LabelName> names;
  const std::optional<fs::path> table =
      given.count("--table") ? std::optional<fs::path>(given["--table"]) : std::nullopt;
  if (!LoadNames(table, labels, names, out, error)) return fail(error);
  if (given.count("--names")) {
    const std::optional<std::string> bytes = ReadFileBytes(given["--names"]);
    if (!bytes) return fail(given["--names"] + ": cannot be read");
    std::vector<std::string> problems;
    options.rename = ParseNameMap(*bytes, problems);
    for (const std::string& p : problems) err << given["--names"] << ": " << p << "\n";
    if (!problems.empty()) return fail(given["--names"] + ": the table has faulty lines");
    if (options.rename.empty()) return fail(given["--names"] + ": the table renames nothing");
  }
  for (const LabelName& n : names) {
    bool changed = false;
    const std::string renamed = RenameLabel(n, options.rename);
    const std::string stored = AtlasName(renamed, changed);
    if (changed) {
      out << "note: label " << n.value << " \"" << renamed << "\" cannot be written as it is; it "
          << "becomes \"" << Cp1252ToUtf8(stored) << "\"\n";
    }
  }

  std::vector<SeriesPage> pages;
  if (!CutSeries(scan, labels, names, options, out, pages, error)) return fail(error);
  scan = Volume();
  labels = Volume();
  if (!RecoverTree(options.tree, out, error) || !WriteSeries(options, pages, out, error)) {
    return fail(error);
  }
  const std::vector<std::string> problems = CheckAtlasTree(options.tree);
  for (const std::string& p : problems) err << "check: " << p << "\n";
  out << options.tree.string() << ": " << problems.size() << " problem(s)\n";
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
