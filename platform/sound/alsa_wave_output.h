#pragma once
// Wave files played through ALSA on a thread of their own.
//
// The thread opens the device, plays the samples in slices of about 50 ms and looks for a stop
// request between slices, so Stop returns within one slice and the device's 100 ms of latency.
// Nothing is ever reported: a machine without a sound device (or a busy one) simply stays silent,
// and ALSA's own complaints on standard error are silenced too.

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/core/wave_file.h"
#include "platform/core/wave_output.h"

namespace ostrelin {

class AlsaWaveOutput : public WaveOutput {
 public:
  explicit AlsaWaveOutput(std::string device = "default");
  ~AlsaWaveOutput() override;
  AlsaWaveOutput(const AlsaWaveOutput&) = delete;
  AlsaWaveOutput& operator=(const AlsaWaveOutput&) = delete;

  void Play(const std::filesystem::path& file) override;
  void Stop() override;

  // Whether a sound is still being played (or the device still being opened for it).
  bool Playing() const { return playing_; }
  // Frames of the last sound handed to the device so far.
  size_t FramesPlayed() const { return framesPlayed_; }

 private:
  void Run(std::string bytes, WaveSound sound);

  std::string device_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> playing_{false};
  std::atomic<size_t> framesPlayed_{0};
};

}  // namespace ostrelin
