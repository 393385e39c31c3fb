#include "platform/sound/alsa_wave_output.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/core/text_file.h"

namespace ostrelin {
namespace {

constexpr unsigned kLatencyMicroseconds = 100000;
// How long the thread waits at a time before it looks at the stop flag again.
constexpr int kWaitStepMilliseconds = 20;
// The longest wait for the device to play out its buffer (a tenth of a second of sound) at the end.
constexpr unsigned kDrainLimitMilliseconds = 2000;

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

snd_pcm_format_t SampleFormat(unsigned bitsPerSample) {
  switch (bitsPerSample) {
    case 8: return SND_PCM_FORMAT_U8;
    case 16: return SND_PCM_FORMAT_S16_LE;
    case 24: return SND_PCM_FORMAT_S24_3LE;
    default: return SND_PCM_FORMAT_S32_LE;
  }
}

}  // namespace

AlsaWaveOutput::AlsaWaveOutput(std::string device) : device_(std::move(device)) {
  static std::once_flag silenced;
  std::call_once(silenced, [] { snd_lib_error_set_handler(IgnoreAlsaError); });
}

AlsaWaveOutput::~AlsaWaveOutput() { Stop(); }

void AlsaWaveOutput::Play(const std::filesystem::path& file) {
  Stop();
  framesPlayed_ = 0;
  std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return;
  const std::optional<WaveSound> sound = ParseWave(*bytes);
  if (!sound || sound->frameCount == 0) return;
  stop_ = false;
  playing_ = true;
  try {
    thread_ = std::thread(&AlsaWaveOutput::Run, this, std::move(*bytes), *sound);
  } catch (const std::system_error&) {
    playing_ = false;  // no thread to spare: the sound is not heard, as without a device
  }
}

void AlsaWaveOutput::Stop() {
  if (!thread_.joinable()) return;
  stop_ = true;
  thread_.join();
}

void AlsaWaveOutput::Run(std::string bytes, WaveSound sound) {
  snd_pcm_t* pcm = nullptr;
  // The device stays in non-blocking mode the whole time: a device held by another program, or
  // one that stops taking samples (a suspended sound server), must never keep the thread - and a
  // Stop waiting for it - hanging. The thread waits in short steps and looks at the stop flag
  // between them.
  if (snd_pcm_open(&pcm, device_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
    playing_ = false;
    return;
  }
  if (snd_pcm_set_params(pcm, SampleFormat(sound.bitsPerSample), SND_PCM_ACCESS_RW_INTERLEAVED,
                         sound.channels, sound.sampleRate, 1, kLatencyMicroseconds) < 0) {
    snd_pcm_close(pcm);
    playing_ = false;
    return;
  }
  const size_t frameBytes = sound.BytesPerFrame();
  const snd_pcm_uframes_t slice = std::max<snd_pcm_uframes_t>(sound.sampleRate / 20, 64);
  const char* next = bytes.data() + sound.dataOffset;
  size_t left = sound.frameCount;
  while (left > 0 && !stop_) {
    const snd_pcm_sframes_t written =
        snd_pcm_writei(pcm, next, std::min<snd_pcm_uframes_t>(left, slice));
    if (written == -EAGAIN) {
      snd_pcm_wait(pcm, kWaitStepMilliseconds);  // the buffer is full: wait for room
      continue;
    }
    if (written < 0) {
      if (snd_pcm_recover(pcm, int(written), 1) < 0) break;  // an underrun is recovered from
      continue;
    }
    next += size_t(written) * frameBytes;
    left -= size_t(written);
    framesPlayed_ += size_t(written);
  }
  if (!stop_) {
    // Let the device play out what it holds. Without blocking, draining only starts it; the
    // thread waits for the end in steps, at most a little longer than the buffer lasts.
    snd_pcm_drain(pcm);
    for (unsigned waited = 0;
         !stop_ && snd_pcm_state(pcm) == SND_PCM_STATE_DRAINING && waited < kDrainLimitMilliseconds;
         waited += kWaitStepMilliseconds) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kWaitStepMilliseconds));
    }
  }
  snd_pcm_drop(pcm);
  snd_pcm_close(pcm);
  playing_ = false;
}

}  // namespace ostrelin
