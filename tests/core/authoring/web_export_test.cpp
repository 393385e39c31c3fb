// The web export: the same tree gives the same site byte for byte, every name in the site is
// plain, a BMP becomes a PNG of exactly its pixels, the manifest gives every file's size, the
// service worker carries the site's version, and a tree the check rejects is refused.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "authoring/core/atlas_check.h"
#include "authoring/core/web_export.h"
#include "image/core/bmp_decoder.h"
#include "platform/core/scripted_message_service.h"
#include "platform/core/text_file.h"
#include "structures/core/outline_file.h"
#include "tests/support/image_samples.h"
#include "tests/support/reduced_demo.h"
#include "tests/support/temp_tree.h"
#include "tools/demo_atlas/atlas_builder.h"

namespace ostrelin {
namespace {
namespace fs = std::filesystem;

std::map<std::string, std::string> SiteFiles(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file())
      files[fs::relative(e.path(), root).generic_string()] = *ReadFileBytes(e.path());
  }
  return files;
}

// The RGB rows of a PNG written by EncodePng (one IDAT, filter 0 on every row).
std::vector<unsigned char> PngPixels(const std::string& png, int& width, int& height) {
  const auto be32 = [&png](size_t at) {
    return uint32_t(uint8_t(png[at])) << 24 | uint32_t(uint8_t(png[at + 1])) << 16 |
           uint32_t(uint8_t(png[at + 2])) << 8 | uint32_t(uint8_t(png[at + 3]));
  };
  width = int(be32(16));
  height = int(be32(20));
  const size_t idat = 8 + 12 + 13;
  const uint32_t length = be32(idat);
  std::vector<unsigned char> raw(size_t(height) * (size_t(width) * 3 + 1));
  uLongf size = uLongf(raw.size());
  EXPECT_EQ(
      uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(png.data() + idat + 8), length),
      Z_OK);
  std::vector<unsigned char> rgb;
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = &raw[size_t(y) * (size_t(width) * 3 + 1)];
    EXPECT_EQ(row[0], 0);
    rgb.insert(rgb.end(), row + 1, row + 1 + width * 3);
  }
  return rgb;
}

TEST(WebExport, SameTreeSameSitePlainNamesLosslessPngAndRefusedWhenTheCheckFails) {
  if (!test::HaveInstalledTemplates()) GTEST_SKIP() << "mricron-data is not installed";
  test::TempTree work;
  const fs::path treeRoot = work.Root() / "tree";
  std::ostringstream log;
  std::string error;
  ASSERT_TRUE(test::BuildReducedDemo(treeRoot, 120, error)) << error;
  // A BMP image (5 columns wide: the atlas keeps 4) and a name with an umlaut and a space.
  test::BmpLayout bmp;
  bmp.width = 5;
  bmp.height = 2;
  bmp.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
              {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35}};
  const std::string bmpBytes = test::MakeBmp(bmp);
  work.Write("tree/Bilder/Schema/\xC3\x84rmel Bild.BMP", bmpBytes);
  test::BmpLayout huge;  // a header of 50000 x 50000 pixels over nothing
  huge.width = 50000;
  huge.height = 50000;
  work.Write("tree/Bilder/CT/riesig.bmp", test::MakeBmp(huge));
  // Both on a page of their own, with outline files that name nothing.
  std::string noOutline, encodeError;
  ASSERT_TRUE(EncodeOutline(OutlineFile{"leer", {}}, noOutline, encodeError)) << encodeError;
  work.Write("tree/Bilder/Schema/\xC3\x84rmel Bild.dat", noOutline);
  work.Write("tree/Bilder/CT/riesig.dat", noOutline);
  std::ofstream(treeRoot / "Daten" / "Index.LST", std::ios::app)
      << "Bilder aus BMP # # # riesig.bmp # # \xC4rmel Bild.BMP # # - # M # A # BMP\r\n";

  fs::create_directories(work.Root() / "app");
  work.Write("app/index.html", "<!doctype html>");
  work.Write("app/ostrelin.wasm", "\0asm");
  const std::string unstamped = "ostrelin-site:0000000000000000";
  work.Write("app/sw.js", "const v='" + unstamped + "';");
  WebExportOptions options{treeRoot, work.Root() / "site1", work.Root() / "app",
                           work.Root() / "none"};
  std::vector<std::string> problems;
  ASSERT_TRUE(ExportWebSite(options, log, problems)) << (problems.empty() ? "" : problems.front());
  options.output = work.Root() / "site2";
  ASSERT_TRUE(ExportWebSite(options, log, problems));
  ASSERT_TRUE(ExportWebSite(options, log, problems));  // over an earlier export

  const auto first = SiteFiles(work.Root() / "site1");
  EXPECT_EQ(first, SiteFiles(work.Root() / "site2"));
  const std::regex plain("([a-z0-9_-][a-z0-9._-]*/)*[a-z0-9_-][a-z0-9._-]*");
  for (const auto& [name, bytes] : first) EXPECT_TRUE(std::regex_match(name, plain)) << name;

  const std::string& manifest = first.at("atlas/manifest.json");
  // The huge BMP is listed with the atlas's message instead of a file.
  const size_t unreadable = manifest.find("\"unreadable\":{");
  ASSERT_NE(unreadable, std::string::npos);
  const std::string hugeKey = "\"BILDER/CT/RIESIG.BMP\":\"";
  const size_t entry = manifest.find(hugeKey);
  ASSERT_NE(entry, std::string::npos);
  EXPECT_GT(entry, unreadable);                      // only there, not among the files
  EXPECT_NE(manifest[entry + hugeKey.size()], '"');  // with a message
  const std::string key = "\"BILDER/SCHEMA/\xC3\x84RMEL BILD.BMP\":\"";
  const size_t at = manifest.find(key);
  ASSERT_NE(at, std::string::npos) << manifest.substr(0, 300);
  const std::string file =
      manifest.substr(at + key.size(), manifest.find('"', at + key.size()) - at - key.size());
  EXPECT_TRUE(file.ends_with(".png")) << file;
  int width = 0, height = 0;
  const std::vector<unsigned char> rgb = PngPixels(first.at("atlas/" + file), width, height);
  SourceImage decoded;
  ScriptedMessageService messages;
  ASSERT_TRUE(
      DecodeBmp(std::span(reinterpret_cast<const uint8_t*>(bmpBytes.data()), bmpBytes.size()),
                decoded, messages));
  ASSERT_EQ(width, decoded.width);
  ASSERT_EQ(height, decoded.height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* bgr = decoded.Row(height - 1 - y) + x * 3;
      const unsigned char* png = &rgb[size_t(y * width + x) * 3];
      EXPECT_EQ((std::array<int, 3>{png[0], png[1], png[2]}),
                (std::array<int, 3>{bgr[2], bgr[1], bgr[0]}));
    }
  }

  // Every file of the tree with its size; the worker with the site's version in place of zeros.
  EXPECT_NE(manifest.find("\"" + file + "\":" + std::to_string(first.at("atlas/" + file).size())),
            std::string::npos);
  const std::regex stamped("const v='ostrelin-site:([0-9a-f]{16})';");
  std::smatch version;
  ASSERT_TRUE(std::regex_match(first.at("sw.js"), version, stamped)) << first.at("sw.js");
  EXPECT_NE(version[1].str(), unstamped.substr(14));
  // Another tree is another version.
  work.Write("tree/Texte/neu.txt", "neu");
  options.output = work.Root() / "site4";
  ASSERT_TRUE(ExportWebSite(options, log, problems));
  std::smatch other;
  const std::string worker = *ReadFileBytes(options.output / "sw.js");
  ASSERT_TRUE(std::regex_match(worker, other, stamped));
  EXPECT_NE(other[1].str(), version[1].str());

  // A tree the check rejects: refused with the check's own messages, nothing written.
  fs::remove(treeRoot / "Daten" / "Struktur.LST");
  options.output = work.Root() / "site3";
  EXPECT_FALSE(ExportWebSite(options, log, problems));
  EXPECT_EQ(problems, CheckAtlasTree(treeRoot));
  EXPECT_FALSE(problems.empty());
  EXPECT_FALSE(fs::exists(options.output));
}

}  // namespace
}  // namespace ostrelin
