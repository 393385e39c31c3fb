#pragma once
// Where the data tree and the bookmark files lie and which media players start videos, read once
// at start-up from KARVOLEN.INI in the working directory and read-only afterwards.
//
// Paths stay Windows-style strings (Windows-1252): data files are addressed as
// DataPath + "Daten\" + name by plain concatenation, and ResolvePath turns the result into a Linux
// path when a file is opened.

#include <cstddef>
#include <string>

namespace ostrelin {

struct Settings {
  static constexpr size_t kValueBuffer = 512;  // a value keeps at most 511 bytes

  std::string DataPath = "\\";
  std::string SavePath = "\\";
  std::string MMPlayer;
  std::string MMPlayerParam;
  std::string MMPlayer2;
  std::string MMPlayerParam2;
};

// Reads KARVOLEN.INI from `workingDirectory` (the working directory of the process; the program's
// own directory plays no part) and applies the defaults and normalisation:
// - a missing file, section or key, or an empty value, gives the default;
// - MMPlayer defaults to the Windows directory + "\MPLAYER.EXE", MMPlayerParam to "/play /close";
// - DataPath and SavePath always end in a backslash ("" becomes "\", the root);
// - MMPlayer2 and MMPlayerParam2 have no default; values are not trimmed further or checked.
Settings LoadSettings(const std::string& workingDirectory, const std::string& windowsDirectory);

// The settings of this process, with the working directory and Windows directory of the platform.
Settings LoadSettings();

}  // namespace ostrelin
