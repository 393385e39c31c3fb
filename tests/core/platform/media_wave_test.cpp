// Wave files: what the parser accepts, and the ALSA output staying quiet where it cannot play.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/core/wave_file.h"
#include "platform/sound/alsa_wave_output.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using namespace std::chrono_literals;

std::string Le(uint32_t value, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += char((value >> (8 * i)) & 0xFF);
  return bytes;
}

std::string Chunk(std::string_view id, std::string_view body) {
  std::string chunk = std::string(id) + Le(uint32_t(body.size()), 4) + std::string(body);
  if (body.size() % 2 == 1) chunk += '\0';
  return chunk;
}

std::string Fmt(unsigned tag, unsigned channels, unsigned rate, unsigned bits) {
  const unsigned align = channels * bits / 8;
  return Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) +
         Le(bits, 2);
}

std::string Riff(std::string_view chunks) {
  return "RIFF" + Le(uint32_t(4 + chunks.size()), 4) + "WAVE" + std::string(chunks);
}

TEST(ParseWave, FindsFormatAndSamplesPastOtherChunks) {
  const std::string samples(400, '\x10');
  const std::string bytes =
      Riff(Chunk("LIST", "odd") + Chunk("fmt ", Fmt(1, 2, 22050, 16)) + Chunk("data", samples));
  const auto sound = ParseWave(bytes);
  ASSERT_TRUE(sound.has_value());
  EXPECT_EQ(sound->channels, 2u);
  EXPECT_EQ(sound->sampleRate, 22050u);
  EXPECT_EQ(sound->bitsPerSample, 16u);
  EXPECT_EQ(sound->frameCount, 100u);
  EXPECT_EQ(bytes.substr(sound->dataOffset, samples.size()), samples);  // past the padded chunk
}

TEST(ParseWave, ATruncatedDataChunkIsCutToWholeFramesInTheFile) {
  std::string bytes = Riff(Chunk("fmt ", Fmt(1, 1, 11025, 16)) + "data" + Le(100000, 4));
  bytes += std::string(7, '\x01');  // 3 frames and half of one
  const auto sound = ParseWave(bytes);
  ASSERT_TRUE(sound.has_value());
  EXPECT_EQ(sound->frameCount, 3u);
  EXPECT_EQ(sound->dataOffset + 7, bytes.size());
}

TEST(ParseWave, ExtensiblePcmIsAcceptedAndCompressedOrFloatIsNot) {
  const std::string guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  auto extensible = [&](unsigned subFormat) {
    return Fmt(0xFFFE, 2, 48000, 24) + Le(22, 2) + Le(24, 2) + Le(3, 4) + Le(subFormat, 2) +
           guidTail;
  };
  const auto pcm = ParseWave(Riff(Chunk("fmt ", extensible(1)) + Chunk("data", "abcdef")));
  ASSERT_TRUE(pcm.has_value());
  EXPECT_EQ(pcm->bitsPerSample, 24u);
  EXPECT_EQ(pcm->frameCount, 1u);
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", extensible(3)) + Chunk("data", "abcdef"))));
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", Fmt(3, 1, 8000, 32)) + Chunk("data", "abcd"))));
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", Fmt(2, 1, 8000, 4)) + Chunk("data", "abcd"))));
}

TEST(ParseWave, RejectsWhatIsNoUsableWaveFile) {
  const std::string data = Chunk("data", "abcd");
  EXPECT_FALSE(ParseWave(""));
  EXPECT_FALSE(ParseWave("RIFF\x04\0\0\0AVI "));
  EXPECT_FALSE(ParseWave(Riff(data)));                               // no format
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", Fmt(1, 1, 8000, 8)))));  // no samples
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", Fmt(1, 1, 8000, 8).substr(0, 14)) + data)));
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", Fmt(1, 0, 8000, 8)) + data)));  // no channel
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", Fmt(1, 9, 8000, 8)) + data)));
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", Fmt(1, 1, 0, 8)) + data)));  // no rate
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", Fmt(1, 1, 8000, 12)) + data)));
  std::string wrongAlign = Fmt(1, 2, 8000, 16);
  wrongAlign[12] = 3;
  EXPECT_FALSE(ParseWave(Riff(Chunk("fmt ", wrongAlign) + data)));
  // A chunk size pointing far past the end ends the search instead of reading beyond the file.
  EXPECT_FALSE(
      ParseWave(Riff("JUNK" + Le(0xFFFFFFFF, 4) + Chunk("fmt ", Fmt(1, 1, 8000, 8)) + data)));
}

TEST(AlsaWaveOutput, WhatCannotBePlayedIsSilentAndStopAlwaysReturns) {
  test::TempTree tree;
  const auto noWave = tree.Write("text.wav", "keine Welle");
  // A real sound of a second; on a machine without a sound device it is simply not heard.
  const auto sound = tree.Write("ton.wav", Riff(Chunk("fmt ", Fmt(1, 1, 8000, 8)) +
                                                Chunk("data", std::string(8000, '\x80'))));
  AlsaWaveOutput output("ostrelin_no_such_device");
  output.Play(tree.Root() / "fehlt.wav");
  EXPECT_FALSE(output.Playing());
  output.Play(noWave);
  EXPECT_FALSE(output.Playing());
  output.Play(sound);  // the device does not exist: the thread gives up at once
  output.Stop();
  EXPECT_FALSE(output.Playing());
  EXPECT_EQ(output.FramesPlayed(), 0u);

  AlsaWaveOutput standard;
  standard.Play(sound);
  standard.Play(sound);  // replaces the first
  const auto started = std::chrono::steady_clock::now();
  standard.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 900ms);  // well before the second ends
  EXPECT_FALSE(standard.Playing());
}

TEST(AlsaWaveOutput, EveryFormatIsWrittenToTheDeviceToTheEnd) {
  // ALSA's "null" device takes samples without a sound card, as fast as they come.
  test::TempTree tree;
  AlsaWaveOutput output("null");
  for (const auto& [channels, bits] : {std::pair{1u, 8u}, {2u, 16u}, {2u, 24u}, {6u, 32u}}) {
    const std::string samples(size_t(channels * bits / 8) * 4410, '\x01');
    output.Play(tree.Write(
        "ton.wav", Riff(Chunk("fmt ", Fmt(1, channels, 44100, bits)) + Chunk("data", samples))));
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (output.Playing() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(output.Playing()) << channels << " channels of " << bits << " bits";
    EXPECT_EQ(output.FramesPlayed(), 4410u) << channels << " channels of " << bits << " bits";
  }
}

}  // namespace
}  // namespace ostrelin
