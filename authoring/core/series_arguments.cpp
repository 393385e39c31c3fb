#include "authoring/core/series_arguments.h"

#include <charconv>
#include <cmath>
#include <map>
#include <set>

#include "authoring/core/label_names.h"

namespace ostrelin {

namespace {

bool Pair(const std::string& text, std::pair<double, double>& value) {
  const size_t comma = text.find(',');
  return comma != std::string::npos && ParseMillimetres(text.substr(0, comma), value.first) &&
         ParseMillimetres(text.substr(comma + 1), value.second);
}

// The options after the tree into `given` (option -> value) and `schema`.
bool ReadOptionWords(const std::vector<std::string>& args,
                     std::map<std::string, std::string>& given, bool& schema, std::string& error) {
  static const std::set<std::string> kValued = {
      "--image",  "--labels", "--table",  "--name",  "--plane", "--type",
      "--region", "--sex",    "--from",   "--to",    "--step",  "--pixel",
      "--extent", "--window", "--preset", "--names", "--files", "--min-pixels"};
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--schema") {
      schema = true;
    } else if (kValued.count(args[i]) != 0 && i + 1 < args.size()) {
      given[args[i]] = args[i + 1];
      ++i;
    } else {
      error = "unknown or incomplete option " + args[i];
      return false;
    }
  }
  for (const char* required : {"--image", "--labels", "--name", "--plane", "--type", "--region",
                               "--from", "--to", "--step"}) {
    if (given.count(required) == 0) {
      error = std::string(required) + " is missing";
      return false;
    }
  }
  return true;
}

// --name, --plane, --type, --region and --sex.
bool ReadWhatAndWhere(std::map<std::string, std::string>& given, SeriesOptions& options,
                      std::string& error) {
  options.name = given["--name"];
  if (options.name.find('#') != std::string::npos || options.name.empty()) {
    error = "--name must not be empty or hold \"#\"";
    return false;
  }
  if (const std::string lost = UnholdableCharacters(options.name); !lost.empty()) {
    error = "--name \"" + options.name + "\" holds " + lost +
            ", which the atlas cannot store (Windows-1252): choose another name";
    return false;
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
  if (!kPlanes.count(given["--plane"])) {
    error = "--plane is axial, coronal or sagittal";
  } else if (!kTypes.count(given["--type"])) {
    error = "--type is schnitt, ct, mr or schema";
  } else if (!kRegions.count(given["--region"])) {
    error = "--region is kopf, rumpf, arm, bein or uebersicht";
  }
  if (!error.empty()) return false;
  options.plane = kPlanes.at(given["--plane"]);
  options.type = kTypes.at(given["--type"]);
  options.region = kRegions.at(given["--region"]);
  if (given.count("--sex")) {
    if (given["--sex"] != "m" && given["--sex"] != "w") {
      error = "--sex is m or w";
      return false;
    }
    options.sex = given["--sex"] == "w" ? 'W' : 'M';
  }
  return true;
}

// --from, --to and --step as the planes' positions, then --pixel and --extent.
bool ReadPlanes(std::map<std::string, std::string>& given, SeriesOptions& options,
                std::string& error) {
  double from = 0, to = 0, step = 0;
  if (!ParseMillimetres(given["--from"], from) || !ParseMillimetres(given["--to"], to) ||
      !ParseMillimetres(given["--step"], step) || !(step > 0)) {
    error = "--from, --to and --step are millimetres, --step above 0";
    return false;
  }
  if (std::abs(to - from) / step > 2000) {
    error = "more than 2000 planes";
    return false;
  }
  const double direction = to >= from ? 1 : -1;
  for (long n = 0;; ++n) {
    const double mm = from + direction * double(n) * step;
    if (direction * (mm - to) > 1e-9) break;
    options.positions.push_back(std::round(mm * 1000) / 1000);
  }
  if (given.count("--pixel") &&
      (!ParseMillimetres(given["--pixel"], options.pixel) || !(options.pixel > 0))) {
    error = "--pixel is millimetres above 0";
    return false;
  }
  if (given.count("--extent")) {
    std::pair<double, double> extent;
    if (!Pair(given["--extent"], extent) || extent.first == extent.second) {
      error = "--extent is FIRST,LAST in millimetres, two different values";
      return false;
    }
    options.extent = extent;
  }
  return true;
}

// --window or --preset (a CT series without either gets the soft-tissue window), --files and
// --min-pixels.
bool ReadLooks(std::map<std::string, std::string>& given, SeriesOptions& options,
               std::string& error) {
  if (given.count("--window") && given.count("--preset")) {
    error = "--window and --preset exclude each other";
    return false;
  }
  if (given.count("--window")) {
    std::pair<double, double> window;
    if (!Pair(given["--window"], window) || !(window.second > 0)) {
      error = "--window is CENTRE,WIDTH, the width above 0";
      return false;
    }
    options.window = window;
  } else if (given.count("--preset") && given["--preset"] != "auto") {
    options.window = WindowPreset(given["--preset"]);
    if (!options.window) {
      error = "--preset is weichteil, lunge, knochen, gehirn or auto";
      return false;
    }
  } else if (!given.count("--preset") && options.type == SeriesType::kCt) {
    options.window = WindowPreset("weichteil");
  }
  if (given.count("--files")) {
    options.files = FileStemOf(given["--files"]);
  }
  if (given.count("--min-pixels")) {
    double n = 0;
    if (!ParseMillimetres(given["--min-pixels"], n) || n < 1 || n > 1e6) {
      error = "--min-pixels is a number of pixels, 1 or more";
      return false;
    }
    options.minPixels = size_t(n);
  }
  return true;
}

}  // namespace

bool ParseMillimetres(const std::string& text, double& value) {
  const char* begin = text.data();
  if (!text.empty() && text[0] == '+') ++begin;
  const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
         begin != end;
}

bool ParseSeriesArguments(const std::vector<std::string>& args, SeriesArguments& parsed,
                          std::string& error) {
  parsed = SeriesArguments();
  error.clear();
  if (args.empty() || args[0].starts_with("--")) {
    error = "the data tree is missing";
    return false;
  }
  parsed.options.tree = args[0];
  std::map<std::string, std::string> given;
  if (!ReadOptionWords(args, given, parsed.options.schema, error) ||
      !ReadWhatAndWhere(given, parsed.options, error) ||
      !ReadPlanes(given, parsed.options, error) || !ReadLooks(given, parsed.options, error)) {
    return false;
  }
  parsed.image = given["--image"];
  parsed.labels = given["--labels"];
  if (given.count("--table")) parsed.table = given["--table"];
  if (given.count("--names")) parsed.names = given["--names"];
  parsed.window = given["--window"];
  return true;
}

}  // namespace ostrelin
