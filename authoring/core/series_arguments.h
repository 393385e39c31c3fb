#pragma once
// The command line of `atlasbau series`, read into the options of a series before any file is
// touched.

#include <optional>
#include <string>
#include <vector>

#include "authoring/core/series.h"

namespace ostrelin {

struct SeriesArguments {
  SeriesOptions options;             // the tree, the name, the plane and all the rest the line sets
  std::string image;                 // --image
  std::string labels;                // --labels
  std::optional<std::string> table;  // --table
  std::optional<std::string> names;  // --names: a renaming table, or "none"
  std::string window;                // --window as given, for the messages about it
};

// False with `error` saying what is wrong ("--plane is axial, coronal or sagittal"); the caller
// shows it with the usage. `args` are the words after "series", the data tree first.
bool ParseSeriesArguments(const std::vector<std::string>& args, SeriesArguments& parsed,
                          std::string& error);

// A number as the command line gives millimetres ("+12.5"), finite.
bool ParseMillimetres(const std::string& text, double& value);

}  // namespace ostrelin
