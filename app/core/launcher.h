#pragma once
// ostrelin, the launcher: opens a data tree with karvolen from anywhere (a desktop menu, a
// terminal in any folder). karvolen reads KARVOLEN.INI from its working directory, so the launcher
// keeps one for the user in $XDG_CONFIG_HOME/ostrelin and starts karvolen there:
//
//   [Karvolen]
//   DataPath=<the tree>
//   SavePath=$XDG_DATA_HOME/ostrelin      (bookmarks and learning records)
//
// The file is written only when it is missing or names another tree. Its media player settings
// are kept when it is rewritten; where it has none, they come from the tree's own KARVOLEN.INI
// (the demo atlas names its video player there). A folder without Daten that holds a KARVOLEN.INI
// is a settings folder: karvolen starts there with that file as it is.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ostrelin {

// What the launcher takes from its surroundings; main() fills it from the process, tests from a
// temporary home. Empty variables count as unset.
struct LauncherEnvironment {
  std::string home;                        // $HOME
  std::string configHome;                  // $XDG_CONFIG_HOME
  std::string dataHome;                    // $XDG_DATA_HOME
  std::filesystem::path currentDirectory;  // relative tree arguments start here
  std::filesystem::path demoAtlas;         // the tree opened without an argument
  std::filesystem::path karvolen;          // the atlas program
};

// The per-user folders by the XDG base directory rules (a relative variable is ignored):
// settings in $XDG_CONFIG_HOME/ostrelin, saved files in $XDG_DATA_HOME/ostrelin, defaulting to
// ~/.config and ~/.local/share.
struct UserFolders {
  std::filesystem::path settings;
  std::filesystem::path save;
};
UserFolders UserFoldersOf(const LauncherEnvironment& env);

// The outcome of reading the command line and preparing the settings folder: where karvolen is to
// start, or why it cannot (`message` for the user; `exitCode` 1 for a bad tree, 2 for bad usage,
// 0 after --help).
struct LaunchPlan {
  std::filesystem::path workingDirectory;
  std::string message;
  int exitCode = 0;

  bool Ready() const { return message.empty() && exitCode == 0; }
};

// `arguments` without the program name: none (the demo atlas), one tree folder, or --help.
LaunchPlan PrepareLaunch(const std::vector<std::string>& arguments, const LauncherEnvironment& env);

// Starts `program` without arguments and without a shell in `workingDirectory`, with the
// launcher's environment, and waits for it. Its exit code, 128 + the signal that ended it, or -1
// when it could not be started. A SIGTERM or SIGHUP sent to the launcher meanwhile is passed on.
int RunProgramIn(const std::filesystem::path& program,
                 const std::filesystem::path& workingDirectory);

// The whole launcher: prepares, starts env.karvolen, returns the exit code for main(). Every
// problem goes to `report` (main() prints it on standard error and shows it in a message box);
// the usage text after --help goes to `inform`.
int RunLauncher(const std::vector<std::string>& arguments, const LauncherEnvironment& env,
                const std::function<void(const std::string&)>& report,
                const std::function<void(const std::string&)>& inform);

}  // namespace ostrelin
