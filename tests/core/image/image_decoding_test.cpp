// The image object's colour conversion and its JPEG and BMP decoders.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "image/core/bmp_decoder.h"
#include "image/core/colour_tables.h"
#include "image/core/decode_ahead.h"
#include "image/core/jpg_bild.h"
#include "resources/core/ui_texts.h"
#include "image/core/jpeg_decoder.h"
#include "platform/core/scripted_message_service.h"
#include "tests/support/image_samples.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

using test::BmpLayout;
using test::Bytes;
using test::EncodeJpeg;
using test::JpegOptions;
using test::MakeBmp;

struct Bgr3 {
  int b, g, r;
  friend bool operator==(const Bgr3&, const Bgr3&) = default;
};

Bgr3 PixelAt(const SourceImage& image, int column, int row) {
  const std::uint8_t* p = image.Row(row) + std::size_t(column) * 3;
  return {p[0], p[1], p[2]};
}

// The conversion as a formula in double precision with the standard factors about the centre
// 127.5: what the fixed-point tables approximate.
Bgr3 ReferenceColour(int y, int cb, int cr) {
  const auto clamp = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
  const double dcb = cb - 127.5;
  const double dcr = cr - 127.5;
  return {clamp(y + 1.772 * dcb), clamp(y - 0.34414 * dcb - 0.71414 * dcr), clamp(y + 1.402 * dcr)};
}

Bgr3 Convert(int y, int cb, int cr) {
  const std::uint8_t luma = std::uint8_t(y), blue = std::uint8_t(cb), red = std::uint8_t(cr);
  std::uint8_t bgr[3];
  ConvertYCbCrRow(InitColourTables(), &luma, &blue, &red, bgr, 1);
  return {bgr[0], bgr[1], bgr[2]};
}

// ---------------------------------------------------------------------------------------------
// Colour conversion

TEST(ColourTables, EntriesAreTheFactorsAboutTheCentre) {
  const ColourTables& t = InitColourTables();
  EXPECT_EQ(&t, &InitColourTables()) << "built once";
  // j = 0 stands for -127.5: 1.402 x -127.5 = -178.76, 1.772 x -127.5 = -225.93.
  EXPECT_EQ(t.redFromCr[0], -179);
  EXPECT_EQ(t.blueFromCb[0], -226);
  EXPECT_EQ(t.redFromCr[255], 179);
  EXPECT_EQ(t.blueFromCb[255], 226);
  // j = 128 stands for +0.5, so even the middle value moves: 0.7 and 0.886 round to 1.
  EXPECT_EQ(t.redFromCr[128], 1);
  EXPECT_EQ(t.blueFromCb[128], 1);
  // The green parts stay in 16-bit fixed point; the Cb table holds the rounding half.
  EXPECT_EQ(t.greenFromCr[0], 23401 * 255);
  EXPECT_EQ(t.greenFromCb[255], 32768 - 11277 * 255);
}

TEST(ColourTables, ConversionMatchesTheFormulaWithinOneStep) {
  int exact = 0;
  int total = 0;
  for (int y = 0; y < 256; y += 3) {
    for (int cb = 0; cb < 256; cb += 5) {
      for (int cr = 0; cr < 256; cr += 5) {
        const Bgr3 got = Convert(y, cb, cr);
        const Bgr3 want = ReferenceColour(y, cb, cr);
        ASSERT_LE(std::abs(got.b - want.b), 1) << y << " " << cb << " " << cr;
        ASSERT_LE(std::abs(got.g - want.g), 1) << y << " " << cb << " " << cr;
        ASSERT_LE(std::abs(got.r - want.r), 1) << y << " " << cb << " " << cr;
        exact += got == want;
        ++total;
      }
    }
  }
  EXPECT_GT(exact, total * 9 / 10);
}

TEST(ColourTables, InterleavedAndPlanarRowsConvertByteForByteAsTheTablesDo) {
  // Every Y, Cb, Cr combination, in rows of 256 pixels (one Y each) and then in a row of 53,
  // which takes every path: 32 and 16 pixels at a time, and the last 5 one by one.
  const ColourTables& tables = InitColourTables();
  std::vector<std::uint8_t> ycc(256 * 3), y(256), cb(256), cr(256), got(256 * 3), want(256 * 3);
  for (int b = 0; b < 256; ++b) {
    for (int r = 0; r < 256; ++r) {
      for (int k = 0; k < 256; ++k) {
        y[k] = std::uint8_t(k);
        cb[k] = std::uint8_t(b);
        cr[k] = std::uint8_t(r);
        ycc[k * 3] = y[k], ycc[k * 3 + 1] = cb[k], ycc[k * 3 + 2] = cr[k];
      }
      ConvertInterleavedYCbCrRow(tables, ycc.data(), got.data(), 256);
      ConvertYCbCrRow(tables, y.data(), cb.data(), cr.data(), want.data(), 256);
      ASSERT_EQ(got, want) << "Cb " << b << ", Cr " << r;
      ConvertPlanarYCbCrRow(tables, y.data(), cb.data(), cr.data(), got.data(), 256);
      ASSERT_EQ(got, want) << "planar: Cb " << b << ", Cr " << r;
    }
  }
  for (int k = 0; k < 53; ++k) {
    ycc[k * 3] = y[k] = std::uint8_t(k * 7), ycc[k * 3 + 1] = cb[k] = std::uint8_t(255 - k * 5);
    ycc[k * 3 + 2] = cr[k] = std::uint8_t(k * 11);
  }
  std::fill(got.begin(), got.end(), 0xAB);
  want = got;
  ConvertInterleavedYCbCrRow(tables, ycc.data(), got.data(), 53);
  ConvertYCbCrRow(tables, y.data(), cb.data(), cr.data(), want.data(), 53);
  EXPECT_EQ(got, want) << "53 pixels, and not a byte beyond them";
  std::fill(got.begin(), got.end(), 0xAB);
  ConvertPlanarYCbCrRow(tables, y.data(), cb.data(), cr.data(), got.data(), 53);
  EXPECT_EQ(got, want) << "planar: 53 pixels, and not a byte beyond them";

  std::vector<std::uint8_t> grey(53), expanded(56 * 3, 0xAB);
  for (int k = 0; k < 53; ++k) grey[k] = std::uint8_t(k * 7);
  ExpandGreyRow(grey.data(), expanded.data(), 53);
  for (int k = 0; k < 56; ++k) {
    for (int c = 0; c < 3; ++c) {
      ASSERT_EQ(expanded[k * 3 + c], k < 53 ? grey[k] : 0xAB) << k << "," << c;
    }
  }
}

TEST(ColourTables, HandComputedPixels) {
  // Y 128 at the middle Cb, Cr: blue and red +1 (0.886, 0.701), green -1 (-0.529).
  EXPECT_EQ(Convert(128, 128, 128), (Bgr3{129, 127, 129}));
  // Pure red in YCbCr (76, 85, 255): blue 76 - 75.3 = 0.7, green 76 - 0.34414 x -42.5 - 0.71414 x
  // 127.5 = -0.4 -> 0, red 76 + 178.8 = 254.8.
  EXPECT_EQ(Convert(76, 85, 255), (Bgr3{1, 0, 255}));
  // Clamping at both ends, and the bytes go out blue, green, red.
  EXPECT_EQ(Convert(255, 255, 0), (Bgr3{255, 255, 76}));
  EXPECT_EQ(Convert(0, 0, 255), (Bgr3{0, 0, 179}));

  const std::uint8_t grey[3] = {0, 77, 255};
  std::uint8_t out[9];
  ExpandGreyRow(grey, out, 3);
  EXPECT_EQ(std::vector<std::uint8_t>(out, out + 9),
            (std::vector<std::uint8_t>{0, 0, 0, 77, 77, 77, 255, 255, 255}));
}

// ---------------------------------------------------------------------------------------------
// JPEG

// Two halves: red above, blue below, so row order and channel order both show.
std::vector<std::uint8_t> RedOverBlue(int width, int height) {
  std::vector<std::uint8_t> rgb(std::size_t(width) * std::size_t(height) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
      p[0] = y < height / 2 ? 230 : 20;
      p[1] = 20;
      p[2] = y < height / 2 ? 20 : 230;
    }
  }
  return rgb;
}

// libjpeg's own decode to raw Y, Cb, Cr (or grey), top row first: the components the decoder
// must have converted.
std::vector<std::uint8_t> RawComponents(const std::vector<std::uint8_t>& jpeg, bool grey) {
  jpeg_decompress_struct d{};
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, jpeg.data(), jpeg.size());
  jpeg_read_header(&d, TRUE);
  d.out_color_space = grey ? JCS_GRAYSCALE : JCS_YCbCr;
  jpeg_start_decompress(&d);
  const std::size_t rowBytes = std::size_t(d.output_width) * std::size_t(d.output_components);
  std::vector<std::uint8_t> out(rowBytes * d.output_height);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = out.data() + rowBytes * d.output_scanline;
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return out;
}

TEST(JpegDecoder, ColourImageIsConvertedFromTheRawComponentsBottomUp) {
  const int width = 515, height = 40;  // 515 columns load as 512
  const auto jpeg = EncodeJpeg(RedOverBlue(width, height), width, height, 3, JCS_RGB);
  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(DecodeJpeg(jpeg, image, messages));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(image.width, 512);
  EXPECT_EQ(image.height, height);

  // Row 0 is the bottom: blue there, red at the top; the bytes are blue, green, red.
  const Bgr3 bottom = PixelAt(image, 100, 2);
  const Bgr3 top = PixelAt(image, 100, height - 3);
  EXPECT_GT(bottom.b, 200);
  EXPECT_LT(bottom.r, 50);
  EXPECT_GT(top.r, 200);
  EXPECT_LT(top.b, 50);

  // Every stored pixel is the tables' conversion of what the library decoded, within the
  // formula's rounding, including the last kept column.
  const auto raw = RawComponents(jpeg, false);
  for (int row = 0; row < height; ++row) {
    for (int column : {0, 1, 255, 511}) {
      const std::uint8_t* ycc = &raw[(std::size_t(height - 1 - row) * width + column) * 3];
      const Bgr3 want = ReferenceColour(ycc[0], ycc[1], ycc[2]);
      const Bgr3 got = PixelAt(image, column, row);
      ASSERT_LE(std::abs(got.b - want.b), 1);
      ASSERT_LE(std::abs(got.g - want.g), 1);
      ASSERT_LE(std::abs(got.r - want.r), 1);
    }
  }
}

// The decoder upsamples and converts the usual samplings itself: every pixel, at every size and
// edge, is what the library's own smooth upsampling gives, converted by the tables.
TEST(JpegDecoder, EveryPixelIsTheTablesConversionOfTheLibrarysUpsampledComponents) {
  struct Case {
    int width, height;
    bool subsample, progressive;
  };
  for (const Case c :
       {Case{64, 32, true, false}, Case{515, 40, true, false}, Case{37, 19, true, false},
        Case{6, 5, true, false}, Case{4, 3, true, false}, Case{101, 33, true, true},
        Case{45, 17, false, false}, Case{70, 9, false, true}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) +
                 (c.subsample ? " 4:2:0" : " 4:4:4") + (c.progressive ? " progressive" : ""));
    JpegOptions options;
    options.subsample = c.subsample;
    options.progressive = c.progressive;
    const auto jpeg =
        EncodeJpeg(test::PhotoLikeRgb(c.width, c.height), c.width, c.height, 3, JCS_RGB, options);
    const auto raw = RawComponents(jpeg, false);
    ScriptedMessageService messages;
    SourceImage image;
    ASSERT_TRUE(DecodeJpeg(jpeg, image, messages));
    ASSERT_EQ(image.width, c.width & ~3);
    ASSERT_EQ(image.height, c.height);
    for (int row = 0; row < c.height; ++row) {
      for (int column = 0; column < image.width; ++column) {
        const std::uint8_t* ycc = &raw[(std::size_t(c.height - 1 - row) * c.width + column) * 3];
        ASSERT_EQ(PixelAt(image, column, row), Convert(ycc[0], ycc[1], ycc[2]))
            << column << "," << row;
      }
    }
  }
}

TEST(JpegDecoder, GreyImageShowsInGrey) {
  const int width = 67, height = 33;  // 67 columns load as 64
  std::vector<std::uint8_t> grey(std::size_t(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) grey[std::size_t(y) * width + x] = std::uint8_t(x * 4 + y);
  const auto jpeg = EncodeJpeg(grey, width, height, 1, JCS_GRAYSCALE);
  const auto raw = RawComponents(jpeg, true);

  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(DecodeJpeg(jpeg, image, messages));
  ASSERT_EQ(image.width, 64);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < image.width; ++column) {
      const int y = raw[std::size_t(height - 1 - row) * width + column];
      ASSERT_EQ(PixelAt(image, column, row), (Bgr3{y, y, y})) << column << "," << row;
    }
  }
}

TEST(JpegDecoder, UnsubsampledColourImageWithAnOddWidthIsConvertedPixelForPixel) {
  // Without chroma subsampling the library's upsampler passes the component rows through
  // untouched; the conversion must still write only the kept 20 of 23 columns.
  const int width = 23, height = 9;
  JpegOptions options;
  options.subsample = false;
  const auto jpeg =
      EncodeJpeg(test::PhotoLikeRgb(width, height), width, height, 3, JCS_RGB, options);
  const auto raw = RawComponents(jpeg, false);
  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(DecodeJpeg(jpeg, image, messages));
  ASSERT_EQ(image.width, 20);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < image.width; ++column) {
      const std::uint8_t* ycc = &raw[(std::size_t(height - 1 - row) * width + column) * 3];
      ASSERT_EQ(PixelAt(image, column, row), Convert(ycc[0], ycc[1], ycc[2]))
          << column << "," << row;
    }
  }
}

TEST(JpegDecoder, ProgressiveImageDecodesAndTooManyScansAreRefused) {
  const int width = 48, height = 16;
  JpegOptions options;
  options.progressive = true;
  const auto jpeg =
      EncodeJpeg(test::PhotoLikeRgb(width, height), width, height, 3, JCS_RGB, options);
  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(DecodeJpeg(jpeg, image, messages));
  EXPECT_EQ(image.width, 48);

  ImageLimits limits;
  limits.maxScans = 3;  // the simple progression has ten
  EXPECT_FALSE(DecodeJpeg(jpeg, image, messages, limits));
  EXPECT_TRUE(image.Empty());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, image_text::kJpegTooManyScans);
  EXPECT_EQ(messages.shown[0].caption, "Fehler");
}

TEST(JpegDecoder, PixelsOfTheSameSizeAreReusedAndAFailedLoadLeavesNone) {
  const auto small = EncodeJpeg(test::PhotoLikeRgb(32, 16), 32, 16, 3, JCS_RGB);
  const auto large = EncodeJpeg(test::PhotoLikeRgb(64, 16), 64, 16, 3, JCS_RGB);
  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(DecodeJpeg(small, image, messages));
  const std::vector<std::uint8_t> first(image.pixels.get(), image.pixels.get() + image.Bytes());
  std::fill_n(image.pixels.get(), image.Bytes(), 0);
  const std::uint8_t* pixels = image.pixels.get();
  ASSERT_TRUE(DecodeJpeg(small, image, messages));
  EXPECT_EQ(image.pixels.get(), pixels);
  EXPECT_EQ(std::vector<std::uint8_t>(image.pixels.get(), image.pixels.get() + image.Bytes()),
            first);
  ASSERT_TRUE(DecodeJpeg(large, image, messages));
  EXPECT_EQ(image.width, 64);
  ImageLimits limits;
  limits.maxPixels = 100;
  EXPECT_FALSE(DecodeJpeg(large, image, messages, limits));
  EXPECT_TRUE(image.Empty());
  EXPECT_EQ(image.pixels, nullptr);
}

TEST(JpegDecoder, OtherColourSpacesAreRefusedWithTheErrorBox) {
  const int width = 16, height = 16;
  std::vector<std::uint8_t> cmyk(std::size_t(width) * height * 4, 100);
  const auto cmykJpeg = EncodeJpeg(cmyk, width, height, 4, JCS_CMYK);
  JpegOptions rgbStored;
  rgbStored.stored = JCS_RGB;
  const auto rgbJpeg =
      EncodeJpeg(test::PhotoLikeRgb(width, height), width, height, 3, JCS_RGB, rgbStored);

  for (const auto* jpeg : {&cmykJpeg, &rgbJpeg}) {
    ScriptedMessageService messages;
    SourceImage image;
    EXPECT_FALSE(DecodeJpeg(*jpeg, image, messages));
    EXPECT_TRUE(image.Empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, image_text::kJpegColourSpace);
    EXPECT_EQ(messages.shown[0].caption, "Fehler");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
  }
}

TEST(JpegDecoder, LibraryMessagesShowInTheErrorBox) {
  // Not a JPEG at all: a fatal error abandons the load.
  {
    ScriptedMessageService messages;
    SourceImage image;
    const std::vector<std::uint8_t> junk = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(DecodeJpeg(junk, image, messages));
    EXPECT_TRUE(image.Empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("JPEG"), std::string::npos) << messages.shown[0].text;
    EXPECT_EQ(messages.shown[0].caption, "Fehler");
  }
  // Empty input.
  {
    ScriptedMessageService messages;
    SourceImage image;
    EXPECT_FALSE(DecodeJpeg({}, image, messages));
    EXPECT_EQ(messages.shown.size(), 1u);
  }
  // Cut off in the middle of the data: the library warns once and fills the rest; the image
  // loads.
  {
    const int width = 64, height = 64;
    auto jpeg = EncodeJpeg(test::PhotoLikeRgb(width, height), width, height, 3, JCS_RGB);
    jpeg.resize(jpeg.size() / 2);
    ScriptedMessageService messages;
    SourceImage image;
    EXPECT_TRUE(DecodeJpeg(jpeg, image, messages));
    EXPECT_EQ(image.width, 64);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Fehler");
  }
}

TEST(JpegDecoder, SizesOutsideTheLimitsAreRefusedBeforeDecoding) {
  ScriptedMessageService messages;
  SourceImage image;
  ImageLimits limits;
  limits.maxSide = 64;
  const auto wide = EncodeJpeg(test::PhotoLikeRgb(65, 8), 65, 8, 3, JCS_RGB);
  EXPECT_FALSE(DecodeJpeg(wide, image, messages, limits));
  limits = ImageLimits{};
  limits.maxPixels = 64 * 60;
  const auto many = EncodeJpeg(test::PhotoLikeRgb(64, 61), 64, 61, 3, JCS_RGB);
  EXPECT_FALSE(DecodeJpeg(many, image, messages, limits));
  const auto narrow = EncodeJpeg(test::PhotoLikeRgb(3, 8), 3, 8, 3, JCS_RGB);
  EXPECT_FALSE(DecodeJpeg(narrow, image, messages));
  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_EQ(messages.shown[0].text, image_text::kImageTooLarge);
  EXPECT_EQ(messages.shown[1].text, image_text::kImageTooLarge);
  EXPECT_EQ(messages.shown[2].text, image_text::kImageTooSmall);
  // Exactly at the limit is fine.
  EXPECT_TRUE(DecodeJpeg(EncodeJpeg(test::PhotoLikeRgb(64, 60), 64, 60, 3, JCS_RGB), image,
                         messages, limits));
}

TEST(JpegDecoder, FileIsFoundIgnoringCaseAndAMissingOneIsNamed) {
  test::TempTree tree;
  const auto jpeg = EncodeJpeg(RedOverBlue(32, 8), 32, 8, 3, JCS_RGB);
  tree.Write("Bilder/CT/Ebene1.JPG", std::string(jpeg.begin(), jpeg.end()));
  ScriptedMessageService messages;
  SourceImage image;
  EXPECT_TRUE(DecodeJpegFile(tree.DataPath() + "BILDER\\ct\\ebene1.jpg", image, messages));
  EXPECT_EQ(image.width, 32);

  const std::string missing = tree.DataPath() + "Bilder\\CT\\fehlt.jpg";
  EXPECT_FALSE(DecodeJpegFile(missing, image, messages));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Folgende Datei nicht gefunden" + missing);
}

// ---------------------------------------------------------------------------------------------
// Decoding ahead, on the other core

std::vector<std::uint8_t> PixelsOf(const SourceImage& image) {
  if (image.Empty()) return {};
  return {image.pixels.get(), image.pixels.get() + image.Bytes()};
}

TEST(DecodeAhead, GivesWhatTheDecoderGivesWithItsMessagesKeptInOrder) {
  test::TempTree tree;
  const auto jpeg = EncodeJpeg(test::PhotoLikeRgb(48, 24), 48, 24, 3, JCS_RGB);
  tree.Write("Bilder/gut.jpg", std::string(jpeg.begin(), jpeg.end()));
  tree.Write("Bilder/kaputt.jpg", std::string(jpeg.begin(), jpeg.begin() + 300));
  BmpLayout eightBits;  // a palette count of 0 beeps
  eightBits.width = 4;
  eightBits.height = 1;
  eightBits.bits = 8;
  eightBits.palette.assign(256 * 4, 9);
  eightBits.rows = {{0, 1, 2, 3}};
  tree.Write("Bilder/acht.bmp", MakeBmp(eightBits));
  for (const char* name : {"gut.jpg", "kaputt.jpg", "acht.bmp", "fehlt.jpg"}) {
    SCOPED_TRACE(name);
    const std::string path = tree.DataPath() + "Bilder\\" + name;
    ScriptedMessageService direct;
    SourceImage image;
    DecodeImageFile(path, image, direct);

    DecodeAhead ahead;
    ahead.Start(path);
    ASSERT_TRUE(ahead.Holds(path));
    DecodedImage decoded = ahead.Take();
    EXPECT_FALSE(ahead.Holds(path)) << "taken once";
    ScriptedMessageService later;
    decoded.messages.ShowThrough(later);
    EXPECT_EQ(PixelsOf(decoded.image), PixelsOf(image));
    EXPECT_EQ(decoded.image.width, image.width);
    ASSERT_EQ(later.shown.size(), direct.shown.size());
    for (size_t i = 0; i < direct.shown.size(); ++i) {
      EXPECT_EQ(later.shown[i].text, direct.shown[i].text);
      EXPECT_EQ(later.shown[i].caption, direct.shown[i].caption);
    }
    EXPECT_EQ(later.beeps, direct.beeps);
    EXPECT_TRUE(decoded.messages.Empty()) << "shown once";
  }
}

TEST(DecodeAhead, OnlyTheDecodeStartedLastIsHeldAndADroppedOneIsGone) {
  test::TempTree tree;
  const auto small = EncodeJpeg(test::PhotoLikeRgb(32, 16), 32, 16, 3, JCS_RGB);
  const auto large = EncodeJpeg(test::PhotoLikeRgb(640, 480), 640, 480, 3, JCS_RGB);
  const std::string a = tree.Write("a.jpg", std::string(small.begin(), small.end())).string();
  const std::string b = tree.Write("b.jpg", std::string(large.begin(), large.end())).string();
  DecodeAhead ahead;
  EXPECT_TRUE(ahead.Take().image.Empty()) << "nothing started";
  ahead.Start(a);
  ahead.Start(b);
  EXPECT_FALSE(ahead.Holds(a));
  ASSERT_TRUE(ahead.Holds(b));
  EXPECT_EQ(ahead.Take().image.width, 640);
  ahead.Start(a);
  ahead.Drop();
  EXPECT_FALSE(ahead.Holds(a));
  EXPECT_TRUE(ahead.Take().image.Empty());
  // Decodes left running when the owner goes end on their own.
  for (int i = 0; i < 20; ++i) ahead.Start(i % 2 ? a : b);
}

// ---------------------------------------------------------------------------------------------
// BMP

std::vector<std::uint8_t> Row(std::initializer_list<int> bytes) {
  std::vector<std::uint8_t> row;
  for (int b : bytes) row.push_back(std::uint8_t(b));
  return row;
}

// A palette of `count` entries whose entry i is (blue i, green 255 - i, red 7).
std::vector<std::uint8_t> GradedPalette(int count) {
  std::vector<std::uint8_t> palette;
  for (int i = 0; i < count; ++i) {
    palette.insert(palette.end(), {std::uint8_t(i), std::uint8_t(255 - i), 7, 0});
  }
  return palette;
}

bool Decode(const BmpLayout& layout, SourceImage& image, ScriptedMessageService& messages,
            const ImageLimits& limits = {}) {
  return DecodeBmp(Bytes(MakeBmp(layout)), image, messages, limits);
}

TEST(BmpDecoder, TwentyFourBitsWithAnOddWidth) {
  // 5 pixels per row (15 bytes, padded to 16); the fifth column is dropped.
  BmpLayout layout;
  layout.width = 5;
  layout.height = 2;
  layout.rows = {Row({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}),
                 Row({21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35})};
  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(Decode(layout, image, messages));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.height, 2);
  // The first stored row is the bottom row, row 0.
  EXPECT_EQ(PixelAt(image, 0, 0), (Bgr3{1, 2, 3}));
  EXPECT_EQ(PixelAt(image, 3, 0), (Bgr3{10, 11, 12}));
  EXPECT_EQ(PixelAt(image, 0, 1), (Bgr3{21, 22, 23}));
  EXPECT_EQ(PixelAt(image, 3, 1), (Bgr3{30, 31, 32}));
}

TEST(BmpDecoder, EightBitsWithPaletteCountZeroUseAllTwoHundredFiftySixAndBeep) {
  BmpLayout layout;
  layout.width = 6;
  layout.height = 1;
  layout.bits = 8;
  layout.palette = GradedPalette(256);
  layout.rows = {Row({0, 1, 200, 255, 9, 9})};
  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(Decode(layout, image, messages));
  EXPECT_EQ(messages.beeps, std::vector<MessageIcon>{MessageIcon::None});
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(PixelAt(image, 0, 0), (Bgr3{0, 255, 7}));
  EXPECT_EQ(PixelAt(image, 2, 0), (Bgr3{200, 55, 7}));
  EXPECT_EQ(PixelAt(image, 3, 0), (Bgr3{255, 0, 7}));
}

TEST(BmpDecoder, FourAndOneBitRowsArePacked) {
  // 4 bits: 9 pixels in 5 bytes, high nibble first; 8 columns are kept.
  BmpLayout four;
  four.width = 9;
  four.height = 2;
  four.bits = 4;
  four.palette = GradedPalette(16);
  four.rows = {Row({0x01, 0x23, 0x45, 0x67, 0x80}), Row({0xFE, 0xDC, 0xBA, 0x98, 0x70})};
  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(Decode(four, image, messages));
  EXPECT_TRUE(messages.beeps.empty());
  ASSERT_EQ(image.width, 8);
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(PixelAt(image, x, 0).b, x);
    EXPECT_EQ(PixelAt(image, x, 1).b, 15 - x);
  }

  // 1 bit: 13 pixels in 2 bytes, most significant bit first; palette count 0 means 2.
  BmpLayout one;
  one.width = 13;
  one.height = 1;
  one.bits = 1;
  one.palette = {10, 20, 30, 0, 200, 210, 220, 0};
  one.rows = {Row({0b10110010, 0b11110000})};
  ASSERT_TRUE(Decode(one, image, messages));
  ASSERT_EQ(image.width, 12);
  const int bits[12] = {1, 0, 1, 1, 0, 0, 1, 0, 1, 1, 1, 1};
  for (int x = 0; x < 12; ++x) {
    EXPECT_EQ(PixelAt(image, x, 0), bits[x] ? (Bgr3{200, 210, 220}) : (Bgr3{10, 20, 30})) << x;
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST(BmpDecoder, TopDownRowsAreTurnedAndTheRowOffsetIsHonoured) {
  BmpLayout layout;
  layout.width = 4;
  layout.height = -3;
  layout.bits = 8;
  layout.paletteCount = 4;
  layout.palette = GradedPalette(4);
  layout.gap = 6;  // rows begin where the file header says, not right after the palette
  layout.rows = {Row({0, 0, 0, 0}), Row({1, 1, 1, 1}), Row({2, 2, 2, 2})};
  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(Decode(layout, image, messages));
  EXPECT_EQ(image.height, 3);
  EXPECT_EQ(PixelAt(image, 0, 2).b, 0);  // the first stored row is the top
  EXPECT_EQ(PixelAt(image, 0, 0).b, 2);

  // A V5 header (124 bytes) with the offset field left at 0: the palette follows the longer
  // header and the rows follow the palette.
  layout.gap = 0;
  layout.infoBytes = 124;
  layout.writeOffset = false;
  ASSERT_TRUE(Decode(layout, image, messages));
  EXPECT_EQ(PixelAt(image, 3, 1).b, 1);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(BmpDecoder, RefusalsNameTheReasonAndLoseNothing) {
  BmpLayout good;
  good.width = 4;
  good.height = 1;
  good.rows = {Row({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})};

  struct Case {
    const char* what;
    std::string bytes;
    const char* message;
  };
  std::vector<Case> cases;
  auto with = [&good](auto change) {
    BmpLayout s = good;
    change(s);
    return MakeBmp(s);
  };
  cases.push_back(
      {"RLE", with([](BmpLayout& s) { s.compression = 1; }), image_text::kBmpCompressed});
  cases.push_back({"16 bits", with([](BmpLayout& s) { s.bits = 16; }), image_text::kBmpFormat});
  cases.push_back({"OS/2 header", with([](BmpLayout& s) { s.infoBytes = 40; }), nullptr});
  cases.back().bytes[14] = 12;
  cases.back().message = image_text::kBmpFormat;
  cases.push_back({"most negative height", with([](BmpLayout& s) { s.height = INT_MIN; }),
                   image_text::kImageTooLarge});
  cases.push_back({"absurd top-down height", with([](BmpLayout& s) { s.height = -100000; }),
                   image_text::kImageTooLarge});
  cases.push_back({"width x height overflows",
                   with([](BmpLayout& s) { s.width = s.height = 0x7FFFFFFF; }),
                   image_text::kImageTooLarge});
  cases.push_back({"beyond the pixel limit", with([](BmpLayout& s) { s.width = s.height = 16000; }),
                   image_text::kImageTooLarge});
  cases.push_back(
      {"no width", with([](BmpLayout& s) { s.width = 3; }), image_text::kImageTooSmall});
  cases.push_back(
      {"no height", with([](BmpLayout& s) { s.height = 0; }), image_text::kImageTooSmall});
  cases.push_back(
      {"rows missing", with([](BmpLayout& s) { s.height = 2; }), image_text::kBmpTruncated});
  cases.push_back({"palette beyond the bit depth", with([](BmpLayout& s) {
                     s.bits = 4;
                     s.paletteCount = 17;
                     s.palette = GradedPalette(17);
                   }),
                   image_text::kBmpPaletteTooLarge});
  cases.push_back({"index beyond the palette", with([](BmpLayout& s) {
                     s.bits = 8;
                     s.paletteCount = 16;
                     s.palette = GradedPalette(16);
                     s.rows = {Row({0, 15, 16, 0})};
                   }),
                   image_text::kBmpIndexOutsidePalette});
  cases.push_back({"not a bitmap", "GIF89a" + std::string(60, '\0'), image_text::kBmpNotBmp});
  cases.push_back({"header cut short", MakeBmp(good).substr(0, 30), image_text::kBmpTruncated});
  cases.push_back({"palette cut short", with([](BmpLayout& s) {
                                          s.bits = 8;
                                          s.rows.clear();
                                        }).substr(0, 100),
                   image_text::kBmpTruncated});

  for (const Case& c : cases) {
    ScriptedMessageService messages;
    SourceImage image;
    EXPECT_FALSE(DecodeBmp(Bytes(c.bytes), image, messages)) << c.what;
    EXPECT_TRUE(image.Empty()) << c.what;
    ASSERT_EQ(messages.shown.size(), 1u) << c.what;
    EXPECT_EQ(messages.shown[0].text, c.message) << c.what;
    EXPECT_EQ(messages.shown[0].caption, "Fehler") << c.what;
  }
}

TEST(BmpDecoder, FileIsReadFromItsWindowsPath) {
  test::TempTree tree;
  BmpLayout layout;
  layout.width = 8;
  layout.height = 2;
  layout.rows = {std::vector<std::uint8_t>(24, 50), std::vector<std::uint8_t>(24, 60)};
  tree.Write("Bilder/Schema/Kopf.bmp", MakeBmp(layout));
  ScriptedMessageService messages;
  SourceImage image;
  ASSERT_TRUE(DecodeBmpFile(tree.DataPath() + "Bilder\\SCHEMA\\KOPF.BMP", image, messages));
  EXPECT_EQ(PixelAt(image, 7, 1), (Bgr3{60, 60, 60}));

  // Cut short on disk: refused before anything is read past the end.
  tree.Write("Bilder/Schema/Kurz.bmp", MakeBmp(layout).substr(0, 70));
  EXPECT_FALSE(DecodeBmpFile(tree.DataPath() + "Bilder\\Schema\\Kurz.bmp", image, messages));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, image_text::kBmpTruncated);
}

}  // namespace
}  // namespace ostrelin
