#pragma once
// The sound output of the atlas: one wave file at a time, played in the background.

#include <filesystem>

namespace ostrelin {

class WaveOutput {
 public:
  virtual ~WaveOutput() = default;

  // Stops what plays and starts playing the wave file `file`; returns at once. A file that is
  // missing, unreadable or no PCM wave, or a machine without a sound device, plays nothing and
  // reports nothing.
  virtual void Play(const std::filesystem::path& file) = 0;

  // Stops the sound that plays, if any; returns when it is silent.
  virtual void Stop() = 0;
};

}  // namespace ostrelin
