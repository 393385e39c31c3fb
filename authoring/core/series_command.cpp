#include "authoring/core/series_command.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "authoring/core/atlas_check.h"
#include "authoring/core/series.h"
#include "authoring/core/series_arguments.h"
#include "authoring/core/series_tree.h"
#include "authoring/core/tree_transaction.h"
#include "platform/core/cp1252.h"
#include "platform/core/text_file.h"

namespace ostrelin {

namespace {

namespace fs = std::filesystem;

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

// A volume read (ReadNiftiFiles) and reported, or its error.
bool ReadVolume(const char* role, const fs::path& path, VolumeRead& read, Volume& volume,
                std::ostream& out, std::string& error) {
  if (!read.ok) {
    error = path.string() + ": " + read.error;
    return false;
  }
  volume = std::move(read.volume);
  out << role << ": " << path.filename().string() << ", " << volume.nx << " x " << volume.ny
      << " x " << volume.nz << " voxels, world coordinates from the " << volume.orientation << "\n";
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
         "                 [--window ZENTRUM,BREITE | --preset "
         "weichteil|lunge|knochen|gehirn|auto]\n"
         "                 [--names ZUORDNUNG.csv|none] [--schema] [--files STAMM] [--min-pixels "
         "N]\n";
}

namespace {

// One run of `atlasbau series`: its streams and the warnings so far, for the summary.
class SeriesRun {
 public:
  SeriesRun(std::ostream& out, std::ostream& err) : out(out), err(err) {}

  void Warn(const std::string& message) {
    err << "warning: " << message << "\n";
    warnings.push_back(message);
  }
  int Fail(const std::string& message) {
    err << "atlasbau series: " << message << "\n";
    return 1;
  }

  std::ostream& out;
  std::ostream& err;
  std::vector<std::string> warnings;
};

// A CT window a few HU wide is most likely centre and width given the wrong way round.
void WarnOfNarrowWindow(const SeriesArguments& a, SeriesRun& run) {
  const SeriesOptions& options = a.options;
  if (options.type != SeriesType::kCt || !options.window || options.window->second >= 10) return;
  std::ostringstream text;
  text << "--window " << a.window << " is CENTRE,WIDTH: a window " << options.window->second
       << " HU wide shows hardly more than black and white (did you mean --window "
       << options.window->second << "," << options.window->first << "?)";
  run.Warn(text.str());
}

// The scan and the label map, the values of the map surveyed into `voxelsOfValue`, with warnings
// about a map that looks like a scan or lacks its orientation.
bool ReadSeriesVolumes(const SeriesArguments& a, Volume& scan, Volume& labels,
                       std::map<long, size_t>& voxelsOfValue, SeriesRun& run, std::string& error) {
  // The label map, the smaller file as a rule, is surveyed as soon as it is read, while the scan
  // may still be read; what the survey says is reported after both volumes.
  struct Survey {
    bool ok = false;
    std::string error;
    double agreement = 1;
  } survey;
  std::vector<VolumeRead> reads =
      ReadNiftiFiles({a.image, a.labels}, [&](size_t i, VolumeRead& read) {
        if (i != 1 || !read.ok) return;
        survey.ok = SurveyLabelMap(read.volume, voxelsOfValue, survey.error);
        // A scan of whole grey values (an 8-bit MR) passes the survey; its voxels do not form
        // regions.
        if (survey.ok) survey.agreement = NeighbourAgreement(read.volume);
      });
  if (!ReadVolume("scan", a.image, reads[0], scan, run.out, error) ||
      !ReadVolume("labels", a.labels, reads[1], labels, run.out, error)) {
    return false;
  }
  if (!survey.ok) {
    error = a.labels + ": " + survey.error;
    return false;
  }
  if (const double agreement = survey.agreement; agreement < kMinLabelAgreement) {
    run.Warn("the label map looks like a scan: only " +
             std::to_string(std::lround(agreement * 100)) +
             " % of its labelled voxels hold the value of their neighbour (in a segmentation, "
             "whose structures are regions, 70 % and more): are --image and --labels swapped?");
  }
  if (labels.orientation == "voxel sizes" && scan.orientation != "voxel sizes") {
    if (labels.nx == scan.nx && labels.ny == scan.ny && labels.nz == scan.nz) {
      labels.toWorld = scan.toWorld;
      run.Warn(
          "the label map has neither sform nor qform: it is assumed to lie on the scan's grid "
          "(same size, " +
          scan.orientation + " of the scan)");
    } else {
      run.Warn(
          "the label map has neither sform nor qform and another grid than the scan: its "
          "orientation is assumed from its voxel sizes alone and may not match the scan");
    }
  }
  return true;
}

// Warns of values of the label map that the names leave out.
void WarnOfUnnamedValues(const std::vector<LabelName>& names,
                         const std::map<long, size_t>& voxelsOfValue, SeriesRun& run) {
  if (names.empty()) {
    if (!voxelsOfValue.empty()) {
      run.Warn("no name for any of the " + std::to_string(voxelsOfValue.size()) +
               " values of the label map: every structure is called \"Struktur <value>\" (see "
               "--table)");
    }
    return;
  }
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
    run.Warn(std::to_string(count) + " value(s) of the label map have no name in the table: " +
             unnamed + "; they are called \"Struktur <value>\"");
  }
}

// The renaming of the label names: none, a shipped table that fits, or the one --names gives.
// False after the message of a --names table that cannot be used.
bool ChooseRenaming(const SeriesArguments& a, const std::vector<LabelName>& names,
                    std::vector<NameMapEntry>& rename, SeriesRun& run, std::string& error) {
  if (a.names && *a.names == "none") {
    run.out << "names: as the label map gives them (--names none)\n";
    return true;
  }
  if (!a.names) {
    ShippedNameMap(names, rename, run.out);
    return true;
  }
  const std::string& file = *a.names;
  const std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) {
    error = file + ": cannot be read";
    return false;
  }
  std::vector<std::string> problems;
  rename = ParseNameMap(*bytes, problems);
  for (const std::string& p : problems) run.err << file << ": " << p << "\n";
  if (!problems.empty()) {
    error = file + ": the table has faulty lines";
  } else if (rename.empty()) {
    error = file + ": the table renames nothing";
  }
  return error.empty();
}

// Notes the names the atlas stores changed and warns of those it cannot store at all.
void ReportStoredNames(const std::vector<LabelName>& names, const std::vector<NameMapEntry>& rename,
                       SeriesRun& run) {
  std::string unholdable;
  for (const LabelName& n : names) {
    bool changed = false;
    const std::string renamed = RenameLabel(n, rename);
    const std::string stored = AtlasName(renamed, changed);
    if (const std::string lost = UnholdableCharacters(renamed); !lost.empty()) {
      unholdable += (unholdable.empty() ? "" : ", ") + std::to_string(n.value) + " \"" + renamed +
                    "\" (" + lost + ")";
    } else if (changed) {
      run.out << "note: label " << n.value << " \"" << renamed << "\" cannot be written as it is; "
              << "it becomes \"" << Cp1252ToUtf8(stored) << "\"\n";
    }
  }
  if (!unholdable.empty()) {
    run.Warn("label names with letters the atlas cannot store (Windows-1252): " + unholdable +
             "; they are called \"Struktur <value>\" (rename them with --names)");
  }
}

// The pixel size and the pictogram's extent the command line left open.
void ChooseGeometry(const Volume& scan, const Volume& labels, const std::vector<LabelName>& names,
                    SeriesOptions& options, std::ostream& out) {
  if (options.pixel <= 0) {
    options.pixel = DefaultPixel(scan, options.plane);
    out << "pixel: " << options.pixel << " mm (the finest voxel size, or finer so that the longer "
        << "image side has at least " << kMinLongerSide << " pixels; --pixel sets it)\n";
  }
  if (options.extent) {
    out << "pictogram: --extent " << options.extent->first << " mm at 0 %, "
        << options.extent->second << " mm at 100 %\n";
    return;
  }
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
}

// Warns of planes without any structure; the number of structures of the whole series.
size_t SurveyPages(const std::vector<SeriesPage>& pages, SeriesRun& run) {
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
    run.Warn(std::to_string(emptyCount) + " plane(s) show no structure at all: " + empty);
  }
  return structureNames.size();
}

// Checks the tree written and sums the run up; the exit status.
int CheckAndSumUp(const SeriesOptions& options, const std::vector<SeriesPage>& pages,
                  size_t structures, SeriesRun& run) {
  const std::vector<std::string> problems = CheckAtlasTree(options.tree);
  for (const std::string& p : problems) run.err << "check: " << p << "\n";
  run.out << options.tree.string() << ": " << problems.size() << " problem(s)\n";
  run.out << "\nSummary: " << pages.size() << " page(s) of \"" << options.name << "\" from "
          << FormatMillimetres(pages.front().mm) << " to " << FormatMillimetres(pages.back().mm)
          << " mm, " << structures << " structure(s), " << run.warnings.size() << " warning(s)"
          << (run.warnings.empty() ? "" : " (above)") << ", the tree "
          << (problems.empty() ? "checks clean"
                               : "has " + std::to_string(problems.size()) + " problem(s)")
          << ".\n";
  return problems.empty() ? 0 : 1;
}

}  // namespace

int RunSeriesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  SeriesArguments a;
  std::string error;
  if (!ParseSeriesArguments(args, a, error)) {
    err << "atlasbau series: " << error << "\nAufruf:\n" << SeriesUsage();
    return 2;
  }
  SeriesRun run(out, err);
  SeriesOptions& options = a.options;
  WarnOfNarrowWindow(a, run);
  std::error_code ec;
  if (fs::exists(options.tree, ec) && !fs::is_directory(options.tree, ec)) {
    return run.Fail(options.tree.string() + " is a file, not the folder of a data tree");
  }
  // A tree left half-changed by an earlier run is recovered first. Then the pages' files are made
  // in its staging folder while the volumes are read and the planes cut: on some file systems
  // making files costs more than writing them.
  if (!RecoverTree(options.tree, out, error)) return run.Fail(error);
  TreeTransaction tx(options.tree);
  tx.Reserve(SeriesStagedFiles(options));
  Volume scan, labels;
  std::map<long, size_t> voxelsOfValue;
  if (!ReadSeriesVolumes(a, scan, labels, voxelsOfValue, run, error)) return run.Fail(error);
  std::vector<LabelName> names;
  const std::optional<fs::path> table = a.table ? std::optional<fs::path>(*a.table) : std::nullopt;
  if (!LoadNames(table, labels, names, out, error)) return run.Fail(error);
  WarnOfUnnamedValues(names, voxelsOfValue, run);
  if (!ChooseRenaming(a, names, options.rename, run, error)) return run.Fail(error);
  ReportStoredNames(names, options.rename, run);
  ChooseGeometry(scan, labels, names, options, out);

  std::vector<SeriesPage> pages;
  if (!CutSeries(scan, labels, names, options, out, pages, error)) return run.Fail(error);
  const size_t structures = SurveyPages(pages, run);
  scan = Volume();
  labels = Volume();
  if (!WriteSeries(options, pages, out, error, &tx)) return run.Fail(error);
  return CheckAndSumUp(options, pages, structures, run);
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
