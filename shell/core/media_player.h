#pragma once
// Sound and video of the atlas: wave files through the wave output, every other medium handed to
// the external player of the settings, with the second player as fallback.
//
// Players are started without a shell. Their command line is built as the settings describe it,
// one blank and then MMPlayerParam, split into arguments by the Windows rules (blanks separate,
// double quotes group). Only then is every "%s" in an argument replaced by the media file's path,
// so a path with blanks, quotes, ";" or "$(...)" always arrives whole and as plain characters, and
// nothing else in the setting is interpreted ("%d", "%n" and "%%" stay as they stand).
//
// The path handed to a player is the resolved Linux path of DataPath + "MultiMed\" + name: the
// player is a Linux program and could not open the Windows-style path. The player's own path is
// resolved the same way; when it names a ".EXE" that does not exist, the same path without the
// extension is tried, since Linux programs carry none ("MPLAYER.EXE" in the Windows directory
// stands for /usr/bin/mplayer).
//
// A Windows player is watched until it waits for input. Linux has no such state; instead the
// atlas waits until the player has settled: until it ends, at the latest `settle` (300 ms) after
// its start. A player that ends within that time (because it handed the file to a running
// instance, or failed) makes the second player start; one that is still running is tracked and
// terminated at the next stop and when the player object goes.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/core/process.h"
#include "platform/core/wait_cursor.h"
#include "platform/core/wave_output.h"
#include "shell/core/media.h"
#include "shell/core/settings.h"

namespace ostrelin {

class MediaPlayer : public Media {
 public:
  static constexpr std::chrono::milliseconds kSettleTime{300};

  // `waitCursor`, `launcher` and `waves` must outlive the player.
  MediaPlayer(Settings settings, WaitCursor& waitCursor, ProcessLauncher& launcher,
              WaveOutput& waves, std::chrono::milliseconds settle = kSettleTime);
  // Stops the sound and terminates a player still running.
  ~MediaPlayer() override;
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  void StopMedia() override;
  void PlayMedia(const std::string& name) override;
  void PlayWave(const std::string& name) override;

  // The player that the next stop terminates if it still runs; null when there is none.
  Process* TrackedPlayer() const { return player_.get(); }

  // The argument vector a player is started with: its own path, then `param` split by the
  // Windows rules with every "%s" replaced by `mediaFile` (Linux bytes).
  static std::vector<std::string> PlayerArguments(const std::filesystem::path& program,
                                                  const std::string& param,
                                                  const std::filesystem::path& mediaFile);

  // The Linux path of a player setting (see above for ".EXE").
  static std::filesystem::path ResolvePlayer(const std::string& setting);

 private:
  std::filesystem::path MediaFile(const std::string& name) const;
  std::unique_ptr<Process> StartPlayer(const std::string& program, const std::string& param,
                                       const std::filesystem::path& mediaFile);

  Settings settings_;
  WaitCursor& waitCursor_;
  ProcessLauncher& launcher_;
  WaveOutput& waves_;
  std::chrono::milliseconds settle_;
  std::unique_ptr<Process> player_;
};

}  // namespace ostrelin
