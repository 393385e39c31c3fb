#include "shell/core/media_player.h"

#include <system_error>
#include <utility>

#include "platform/core/cp1252.h"
#include "platform/core/paths.h"
#include "platform/core/strings.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

bool HasSuffixIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsAsciiNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

MediaPlayer::MediaPlayer(Settings settings, WaitCursor& waitCursor, ProcessLauncher& launcher,
                         WaveOutput& waves, std::chrono::milliseconds settle)
    : settings_(std::move(settings)),
      waitCursor_(waitCursor),
      launcher_(launcher),
      waves_(waves),
      settle_(settle) {}

MediaPlayer::~MediaPlayer() { StopMedia(); }

void MediaPlayer::StopMedia() {
  waves_.Stop();
  if (player_) {
    player_->Terminate();  // does nothing to a player that has ended by itself
    player_.reset();
  }
}

void MediaPlayer::PlayMedia(const std::string& name) {
  StopMedia();
  // Exactly ".wav" is no wave file's name: it goes to the player.
  if (name.size() > 4 && HasSuffixIgnoringCase(name, ".wav")) {
    PlayWave(name);
    return;
  }
  waitCursor_(true);
  const std::filesystem::path file = MediaFile(name);
  player_ = StartPlayer(settings_.MMPlayer, settings_.MMPlayerParam, file);
  if (player_) player_->WaitUntilSettled(settle_);
  if ((!player_ || !player_->Running()) && !settings_.MMPlayer2.empty()) {
    std::unique_ptr<Process> second =
        StartPlayer(settings_.MMPlayer2, settings_.MMPlayerParam2, file);
    if (second) {
      second->WaitUntilSettled(settle_);
      player_ = std::move(second);  // tracked from now on, though never tested for its end
    }
  }
  waitCursor_(false);
}

void MediaPlayer::PlayWave(const std::string& name) {
  waitCursor_(true);
  waves_.Play(MediaFile(name));
  waitCursor_(false);
}

std::filesystem::path MediaPlayer::MediaFile(const std::string& name) const {
  return ResolvePath(settings_.DataPath + LoadText(text::kDirMultiMed) + name);
}

std::filesystem::path MediaPlayer::ResolvePlayer(const std::string& setting) {
  std::filesystem::path program = ResolvePath(setting);
  std::error_code ec;
  if (!std::filesystem::exists(program, ec) && setting.size() > 4 &&
      HasSuffixIgnoringCase(setting, ".exe")) {
    std::filesystem::path bare =
        ResolvePath(std::string_view(setting).substr(0, setting.size() - 4));
    if (std::filesystem::exists(bare, ec)) program = std::move(bare);
  }
  return program;
}

std::vector<std::string> MediaPlayer::PlayerArguments(const std::filesystem::path& program,
                                                      const std::string& param,
                                                      const std::filesystem::path& mediaFile) {
  // The blank in front leaves the program name of the command line empty; its place in the
  // argument vector takes the player's path, as a Linux program expects.
  std::vector<std::string> arguments = SplitCommandLine(" " + param);
  arguments.front() = program.string();
  const std::string path = mediaFile.string();
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string argument = Cp1252ToUtf8(arguments[i]);
    std::string filled;
    for (size_t pos = 0; pos < argument.size();) {
      if (argument.compare(pos, 2, "%s") == 0) {
        filled += path;
        pos += 2;
      } else {
        filled += argument[pos++];
      }
    }
    arguments[i] = std::move(filled);
  }
  return arguments;
}

std::unique_ptr<Process> MediaPlayer::StartPlayer(const std::string& program,
                                                  const std::string& param,
                                                  const std::filesystem::path& mediaFile) {
  const std::filesystem::path path = ResolvePlayer(program);
  return launcher_.Start(path, PlayerArguments(path, param, mediaFile));
}

}  // namespace ostrelin
