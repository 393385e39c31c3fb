#include "app/core/launcher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>

#include "platform/core/cp1252.h"
#include "platform/core/ini_file.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"
#include "resources/core/string_table.h"
#include "resources/core/text_ids.h"
#include "platform/core/file_replace.h"

extern char** environ;

namespace ostrelin {
namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Aufruf: ostrelin [DATENBAUM]\n"
    "  ohne Angabe wird der mitgelieferte Demo-Atlas geöffnet; DATENBAUM ist ein Ordner mit dem\n"
    "  Ordner Daten oder mit einer eigenen KARVOLEN.INI.";

// The atlas holds every path as Windows-1252 text: a folder whose UTF-8 name has characters
// outside it could be written into the settings but never found again.
bool AtlasCanName(const fs::path& path) {
  const std::string& utf8 = path.native();
  return IsValidUtf8(utf8) && Cp1252ToUtf8(Utf8ToCp1252(utf8)) == utf8 &&
         utf8.find_first_of("\r\n") == std::string::npos;
}

// The entry of `folder` called `name`, its case ignored as the atlas ignores it; empty if none.
fs::path FindIgnoringCase(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (EqualsAsciiNoCase(it->path().filename().native(), name)) return it->path();
  }
  return {};
}

std::optional<IniFile> ReadIni(const fs::path& file) {
  if (file.empty()) return std::nullopt;
  const std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return std::nullopt;
  return IniFile::Parse(*bytes);
}

fs::path FromVariable(const std::string& value, const fs::path& fallback) {
  const fs::path path(value);
  return path.is_absolute() ? path : fallback;
}

// A value as the settings file needs it written: quoted when the reader would otherwise drop
// its outer blanks or quotes.
std::string IniValue(const std::string& value) {
  if (value.empty()) return value;
  const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                      (value.front() == '"' || value.front() == '\'');
  return IsBlankOrTab(value.front()) || IsBlankOrTab(value.back()) || quoted ? '"' + value + '"'
                                                                             : value;
}

// The settings for `tree`. Each media player setting comes from the file they replace, or else
// from the tree's own settings file, which knows what its videos need.
std::string SettingsText(const fs::path& tree, const fs::path& save,
                         const std::optional<IniFile>& previous,
                         const std::optional<IniFile>& treeSettings) {
  const std::string& section = LoadText(text::kSettingsSection);
  std::string text =
      "; Angelegt von ostrelin. Wird ein anderer Datenbaum geöffnet, schreibt ostrelin DataPath\n"
      "; und SavePath neu; die Einstellungen der Mediaplayer bleiben erhalten.\n";
  text += '[' + section + "]\n";
  text += LoadText(text::kKeyDataPath) + '=' + IniValue(tree.native()) + '\n';
  text += LoadText(text::kKeySavePath) + '=' + IniValue(save.native()) + '\n';
  for (int key : {text::kKeyMMPlayer, text::kKeyMMPlayerParam, text::kKeyMMPlayer2,
                  text::kKeyMMPlayerParam2}) {
    for (const std::optional<IniFile>& source : {previous, treeSettings}) {
      const std::optional<std::string> value =
          source ? source->Get(section, LoadText(key)) : std::nullopt;
      if (value && !value->empty()) {
        text += LoadText(key) + '=' + IniValue(Cp1252ToUtf8(*value)) + '\n';
        break;
      }
    }
  }
  return text;
}

// A folder of the user's own: created, as the XDG rules ask, for the user alone.
bool MakeFolder(const fs::path& folder) {
  std::error_code ec;
  if (fs::create_directories(folder, ec)) fs::permissions(folder, fs::perms::owner_all, ec);
  return fs::is_directory(folder, ec);
}

LaunchPlan StartIn(const fs::path& workingDirectory) {
  LaunchPlan plan;
  plan.workingDirectory = workingDirectory;
  return plan;
}

LaunchPlan Refuse(std::string message, int exitCode = 1) {
  LaunchPlan plan;
  plan.message = std::move(message);
  plan.exitCode = exitCode;
  return plan;
}

volatile sig_atomic_t runningChild = 0;

void PassOn(int signal) {
  if (runningChild > 0) kill(pid_t(runningChild), signal);
}

}  // namespace

UserFolders UserFoldersOf(const LauncherEnvironment& env) {
  const fs::path home(env.home);
  return {FromVariable(env.configHome, home / ".config") / "ostrelin",
          FromVariable(env.dataHome, home / ".local/share") / "ostrelin"};
}

LaunchPlan PrepareLaunch(const std::vector<std::string>& arguments,
                         const LauncherEnvironment& env) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    return Refuse(kUsage, 0);
  }
  if (arguments.size() > 1 || (arguments.size() == 1 && arguments[0].empty())) {
    return Refuse(kUsage, 2);
  }
  const fs::path tree =
      (arguments.empty() ? env.demoAtlas : env.currentDirectory / arguments[0]).lexically_normal();
  // "atlas/" and "atlas" are one tree.
  const fs::path treeName = tree.has_filename() ? tree : tree.parent_path();

  std::error_code ec;
  if (!fs::is_directory(treeName, ec)) {
    return Refuse("Der Datenbaum " + treeName.native() + " existiert nicht.");
  }
  // A folder with Daten is the tree; one with only a settings file is opened with that file.
  const std::string& iniName = LoadText(text::kSettingsFile);
  const fs::path treeIni = FindIgnoringCase(treeName, iniName);
  if (FindIgnoringCase(treeName, "Daten").empty()) {
    if (treeIni.empty()) {
      return Refuse(treeName.native() +
                    " ist kein Datenbaum: darin liegt weder der Ordner Daten noch " + iniName +
                    ".");
    }
    return StartIn(treeName);
  }

  const UserFolders folders = UserFoldersOf(env);
  for (const fs::path& path : {treeName, folders.settings, folders.save}) {
    if (!AtlasCanName(path)) {
      return Refuse("Der Pfad " + path.native() +
                    " enthält Zeichen, die der Atlas nicht lesen kann (er kennt nur die Zeichen "
                    "von Windows-1252).");
    }
  }
  for (const fs::path& folder : {folders.settings, folders.save}) {
    if (!MakeFolder(folder))
      return Refuse("Der Ordner " + folder.native() + " lässt sich nicht anlegen.");
  }

  const fs::path iniFile = folders.settings / iniName;
  std::optional<IniFile> previous;
  if (fs::exists(iniFile, ec)) {
    previous = ReadIni(iniFile);
    if (!previous)
      return Refuse("Die Einstellungen " + iniFile.native() + " lassen sich nicht lesen.");
    const std::optional<std::string> dataPath =
        previous->Get(LoadText(text::kSettingsSection), LoadText(text::kKeyDataPath));
    if (dataPath && Cp1252ToUtf8(*dataPath) == treeName.native()) {
      return StartIn(folders.settings);
    }
  }
  if (!ReplaceFileContents(iniFile,
                           SettingsText(treeName, folders.save, previous, ReadIni(treeIni)))) {
    return Refuse("Die Einstellungen " + iniFile.native() + " lassen sich nicht schreiben.");
  }
  return StartIn(folders.settings);
}

int RunProgramIn(const fs::path& program, const fs::path& workingDirectory) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  const std::string name = program.filename().native();
  char* const argv[] = {const_cast<char*>(name.c_str()), nullptr};

  struct sigaction passOn {};
  passOn.sa_handler = PassOn;
  sigemptyset(&passOn.sa_mask);
  struct sigaction oldTerm {
  }, oldHup{};
  sigaction(SIGTERM, &passOn, &oldTerm);
  sigaction(SIGHUP, &passOn, &oldHup);

  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  int result = -1;
  if (spawned == 0) {
    runningChild = pid;
    int status = 0;
    pid_t waited;
    do {
      waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    runningChild = 0;
    if (waited == pid && WIFEXITED(status)) result = WEXITSTATUS(status);
    if (waited == pid && WIFSIGNALED(status)) result = 128 + WTERMSIG(status);
    // posix_spawn reports a program that cannot be executed as exit code 127 of the child.
    if (result == 127 && access(program.c_str(), X_OK) != 0) result = -1;
  }
  sigaction(SIGTERM, &oldTerm, nullptr);
  sigaction(SIGHUP, &oldHup, nullptr);
  return result;
}

int RunLauncher(const std::vector<std::string>& arguments, const LauncherEnvironment& env,
                const std::function<void(const std::string&)>& report,
                const std::function<void(const std::string&)>& inform) {
  const LaunchPlan plan = PrepareLaunch(arguments, env);
  if (plan.exitCode == 0 && !plan.message.empty()) {
    inform(plan.message);
    return 0;
  }
  if (!plan.Ready()) {
    report(plan.message);
    return plan.exitCode;
  }
  const int exitCode = RunProgramIn(env.karvolen, plan.workingDirectory);
  if (exitCode < 0) {
    report("Das Atlasprogramm " + env.karvolen.native() + " lässt sich nicht starten.");
    return 1;
  }
  return exitCode;
}

}  // namespace ostrelin
