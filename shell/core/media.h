#pragma once

#include <string>

namespace ostrelin {

// Sound and video of the atlas: wave files play in the background, every other medium is handed
// to an external player process. Only one medium plays at a time. Names are relative to the
// data tree's "MultiMed\" directory.
class Media {
 public:
  virtual ~Media() = default;

  // Stops the sound and terminates a player that is still running.
  virtual void StopMedia() = 0;
  // Stops what plays, then plays a wave file or starts a player for any other file.
  virtual void PlayMedia(const std::string& name) = 0;
  // Plays a wave file asynchronously; a missing file plays nothing and reports nothing.
  virtual void PlayWave(const std::string& name) = 0;
};

}  // namespace ostrelin
