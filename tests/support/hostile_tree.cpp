#include "tests/support/hostile_tree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "structures/core/outline_file.h"
#include "tests/support/image_samples.h"
#include "tests/support/outline_samples.h"

namespace ostrelin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// The image type's directory and letter as the lists and the tree spell them.
struct TypeFolder {
  ImageType type;
  const char* images;
  const char* texts;
};
constexpr TypeFolder kFolders[] = {{kSchnitt, "Bilder\\Schnitt\\", "Texte\\Schnitt\\"},
                                   {kCT, "Bilder\\CT\\", "Texte\\CT\\"},
                                   {kMR, "Bilder\\MRT\\", "Texte\\MRT\\"},
                                   {kSchema, "Bilder\\Schema\\", "Texte\\Schema\\"}};

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1664525u + 1013904223u;
    c = char(seed >> 24);
  }
  return bytes;
}

std::string SoundBmp(int width, int height) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  for (int y = 0; y < height; ++y) {
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    for (std::size_t x = 0; x < row.size(); ++x) row[x] = std::uint8_t(40 + (x + 3 * y) % 160);
    layout.rows.push_back(std::move(row));
  }
  return MakeBmp(layout);
}

std::string SoundJpeg(int width, int height) {
  const std::vector<std::uint8_t> jpeg =
      EncodeJpeg(PhotoLikeRgb(width, height), width, height, 3, JCS_RGB, JpegOptions{});
  return std::string(jpeg.begin(), jpeg.end());
}

std::string SoundOutline() {
  std::string bytes, error;
  const bool ok = EncodeOutline({"Feindlich",
                                 {Box(1, "Herz", 4, 30, 4, 30), Box(2, "Aorta", 20, 50, 10, 40),
                                  Box(3, "Leber", 40, 60, 30, 44)}},
                                bytes, error);
  EXPECT_TRUE(ok) << error;
  return bytes;
}

// The offset of the first JPEG marker `code` (0xFFxx) in `jpeg`, or npos.
std::size_t FindMarker(const std::string& jpeg, unsigned char code) {
  for (std::size_t i = 2; i + 1 < jpeg.size(); ++i) {
    if (std::uint8_t(jpeg[i]) == 0xFF && std::uint8_t(jpeg[i + 1]) == code) return i;
  }
  return std::string::npos;
}

std::string Cut(const std::string& bytes, std::size_t at) { return bytes.substr(0, at); }

// The starts of the decoders' refusals (libjpeg's own texts, and the atlas's for BMP files).
constexpr const char* kPremature = "Premature end of JPEG file";
constexpr const char* kTooLarge = "Das Bild ist zu gro";
constexpr const char* kNotBmp = "Die Datei ist keine BMP-Datei.";
constexpr const char* kTruncated = "Die BMP-Datei ist unvollst";
constexpr const char* kFormat = "Dieses BMP-Format wird nicht unterst";

// One way a file is damaged: its description, and what to put where the file belongs (bytes, or
// something that is no readable file). `bytes` is called only for kBytes.
enum class Shape { kBytes, kDirectory, kUnreadable, kSymlinkLoop, kMissing };
struct Way {
  Way(std::string d, std::string b, std::string m = {})
      : damage(std::move(d)), bytes(std::move(b)), message(std::move(m)) {}
  Way(std::string d, Shape s, std::string b = {})
      : damage(std::move(d)), shape(s), bytes(std::move(b)) {}
  std::string damage;
  Shape shape = Shape::kBytes;
  std::string bytes;
  std::string message;  // the start of the message the atlas refuses these bytes with
};

// The ways every kind of file can be no file at all.
void AddNonFiles(std::vector<Way>& ways, const std::string& sound) {
  ways.push_back({"a directory", Shape::kDirectory});
  ways.push_back({"unreadable", Shape::kUnreadable, sound});
  ways.push_back({"a symbolic link loop", Shape::kSymlinkLoop});
  ways.push_back({"missing", Shape::kMissing});
}

std::vector<Way> JpegWays() {
  const std::string sound = SoundJpeg(96, 64);
  const std::size_t sof = FindMarker(sound, 0xC0);
  const std::size_t sos = FindMarker(sound, 0xDA);
  EXPECT_TRUE(sof != std::string::npos && sos != std::string::npos);
  std::string huge = sound;  // the frame header announces 65500 x 65500 pixels
  for (std::size_t at : {sof + 5, sof + 7}) {
    huge[at] = char(0xFF);
    huge[at + 1] = char(0xDC);
  }
  const std::size_t sosEnd =
      sos + 2 + (std::uint8_t(sound[sos + 2]) << 8 | std::uint8_t(sound[sos + 3]));
  std::vector<Way> ways = {
      {"empty", "", "Empty input file"},
      {"truncated after 2 bytes", Cut(sound, 2), "JPEG datastream contains no image"},
      {"truncated inside the frame header", Cut(sound, sof + 6), "Bogus marker length"},
      {"truncated in the middle of the data", Cut(sound, (sos + sound.size()) / 2), kPremature},
      {"truncated before its end marker", Cut(sound, sound.size() - 2), kPremature},
      {"random bytes", RandomBytes(3000, 1), "Not a JPEG file"},
      {"random bytes after a JPEG start", "\xFF\xD8\xFF\xE0" + RandomBytes(3000, 2), kPremature},
      {"a header announcing 65500 x 65500 pixels", huge, kTooLarge},
      {"a sound header with no data", Cut(sound, sosEnd), kPremature},
  };
  AddNonFiles(ways, sound);
  return ways;
}

std::vector<Way> BmpWays() {
  const std::string sound = SoundBmp(64, 48);
  std::string huge = sound;  // 1,000,000 x 1,000,000 pixels
  for (std::size_t at : {18u, 22u}) {
    huge[at] = char(0x40);
    huge[at + 1] = char(0x42);
    huge[at + 2] = char(0x0F);
    huge[at + 3] = 0;
  }
  std::string negative = sound;  // a width of -64
  negative[18] = char(0xC0);
  for (std::size_t at = 19; at < 22; ++at) negative[at] = char(0xFF);
  std::string deep = sound;  // 32 bits per pixel
  deep[28] = 32;
  BmpLayout palette;  // 8 bits with two palette entries, pixels pointing far beyond them
  palette.width = 16;
  palette.height = 4;
  palette.bits = 8;
  palette.paletteCount = 2;
  palette.palette = {0, 0, 0, 0, 255, 255, 255, 0};
  palette.rows.assign(4, std::vector<std::uint8_t>(16, 200));
  std::vector<Way> ways = {
      {"empty", "", kNotBmp},
      {"truncated inside the file header", Cut(sound, 10), kTruncated},
      {"truncated inside the information header", Cut(sound, 30), kTruncated},
      {"truncated in the middle of the rows", Cut(sound, sound.size() / 2), kTruncated},
      {"truncated by one byte", Cut(sound, sound.size() - 1), kTruncated},
      {"random bytes", RandomBytes(3000, 3), kNotBmp},
      {"random bytes after a BMP start", "BM" + RandomBytes(3000, 4), kFormat},
      {"a header announcing 1000000 x 1000000 pixels", huge, kTooLarge},
      {"a sound header with no rows", Cut(sound, 54), kTruncated},
      {"a negative width", negative, "Das Bild ist zu klein"},
      {"32 bits per pixel", deep, kFormat},
      {"palette indexes beyond the palette", MakeBmp(palette), "Farbindex au"},
  };
  AddNonFiles(ways, sound);
  return ways;
}

std::vector<Way> OutlineWays() {
  const std::string sound = SoundOutline();
  std::string huge = sound.substr(0, 20);  // 32767 records; the first claims 65535 columns
  huge += "\xFF\x7F";
  huge += "\x01\x05\x00Herz\0"s;
  huge += "\x00\x80\xFF\x7F"s;  // columns -32768 .. 32767
  huge += "\xFF\x7F" + RandomBytes(2000, 5);
  std::string longName = sound.substr(0, 22);  // a name 30000 bytes long
  longName += "\x01\x30\x75"s + std::string(30000, 'N');
  std::vector<Way> ways = {
      {"empty", ""},
      {"truncated inside the title", Cut(sound, 10)},
      {"truncated after the count", Cut(sound, 22)},
      {"truncated inside a name", Cut(sound, 28)},
      {"truncated in the middle of the runs", Cut(sound, sound.size() / 2)},
      {"truncated by one byte", Cut(sound, sound.size() - 1)},
      {"random bytes", RandomBytes(4000, 6)},
      {"a header announcing 32767 records of 65535 columns", huge},
      {"a name of 30000 bytes", longName},
  };
  AddNonFiles(ways, sound);
  return ways;
}

std::string LongLine(std::size_t length, std::string_view link) {
  std::string line(length / 2, 'x');
  for (std::size_t i = 7; i < line.size(); i += 8) line[i] = ' ';
  line += link;
  line.append(length - line.size(), 'y');
  return line;
}

std::vector<Way> TextWays(const std::string& sound) {
  std::string crOnly = sound, lfOnly;
  for (char& c : crOnly) {
    if (c == '\n') c = '\r';
  }
  for (char c : sound) {
    if (c != '\r') lfOnly += c;
  }
  // UTF-8 and UTF-16 where Windows-1252 belongs.
  const std::string utf8 =
      "#/H:Herz \xC3\xBC"
      "ber alles#\r\nDie #/P:Aorta# f\xC3\xBChrt "
      "\xE2\x80\x9Ezum\xE2\x80\x9C #/L:Becken#.\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : utf8) utf16 += std::string{c, '\0'};
  std::vector<Way> ways = {
      {"empty", ""},
      {"truncated inside a link", Cut(sound, sound.find("#/L:") + 6)},
      {"truncated inside a heading", "#/H:Herz ohne Ende"},
      {"random bytes", RandomBytes(6000, 7)},
      {"lines ended by CR alone", crOnly},
      {"lines ended by LF alone", lfOnly},
      {"UTF-8", utf8},
      {"UTF-16 with a byte-order mark", utf16},
      {"lines of 10,000 characters",
       LongLine(10000, " #/L:Becken# ") + "\r\n" + LongLine(10000, " #/P:Herz# ") + "\r\n" +
           std::string(10000, '#') + "\r\n" + LongLine(10000, "#/H:") + "\r\n"},
      {"a link without its end", "Zum #/L:Becken und weiter " + std::string(3000, 'z') + "\r\n"},
  };
  AddNonFiles(ways, sound);
  return ways;
}

// Puts `way` at `relative` below the tree's root (backslashes separate).
void Place(TempTree& tree, const std::string& relative, const Way& way) {
  std::string slashed = relative;
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  const fs::path full = tree.Root() / slashed;
  switch (way.shape) {
    case Shape::kBytes: tree.Write(slashed, way.bytes); break;
    case Shape::kDirectory:
      tree.MakeDir(slashed);
      tree.Write(slashed + "/inside.txt", "not here\r\n");
      break;
    case Shape::kUnreadable:
      tree.Write(slashed, way.bytes);
      EXPECT_EQ(chmod(full.c_str(), 0), 0);
      break;
    case Shape::kSymlinkLoop: {
      std::error_code ec;
      fs::create_directories(full.parent_path(), ec);
      const fs::path other = full.string() + ".loop";
      fs::create_symlink(other.filename(), full, ec);
      EXPECT_FALSE(ec) << ec.message();
      fs::create_symlink(full.filename(), other, ec);
      EXPECT_FALSE(ec) << ec.message();
      break;
    }
    case Shape::kMissing: break;
  }
}

// The message the atlas shows when it opens `way` as a file of `kind` at `path`; empty when it
// has none.
std::string ExpectedMessage(FileKind kind, const Way& way, const std::string& dataPath,
                            const std::string& path, bool permissionsHold) {
  // A directory cannot be opened as a file either (where the atlas comes from, opening one fails).
  const bool unopenable = way.shape == Shape::kSymlinkLoop || way.shape == Shape::kMissing ||
                          way.shape == Shape::kDirectory ||
                          (way.shape == Shape::kUnreadable && permissionsHold);
  if (kind == FileKind::kText) {
    // Texts never raise a box: the panel shows the missing-file line instead.
    return unopenable ? "Datei nicht gefunden" : "";
  }
  if (kind == FileKind::kOutline) return "";  // a damaged outline file loses its structures only
  if (unopenable) return "Folgende Datei nicht gefunden" + dataPath + path;
  return way.message;
}

}  // namespace

HostileTree WriteHostileTree(TempTree& tree) {
  using namespace std::string_literals;
  HostileTree hostile;
  hostile.unreadableIsUnreadable = geteuid() != 0;
  const std::string dataPath = tree.DataPath();

  // Sound files every page shows where nothing is damaged.
  const std::string soundBmp = SoundBmp(64, 48);
  const std::string soundOutline = SoundOutline();
  const std::string soundText =
      "#/H:Feindlicher Baum#\r\nDie #/P:Herz# und die #/P:Aorta# liegen hier; weiter zum "
      "#/L:Becken#, zum #/L:Nirgendwo# oder zur #/P:Milz#. Ein Ton: #/M:START.WAV#, ein Film: "
      "#/M:fehlt.avi#.\r\n";
  for (const TypeFolder& folder : kFolders) {
    tree.Write(std::string(folder.images) + "gut.bmp", soundBmp);
    tree.Write(std::string(folder.images) + "gut.dat", soundOutline);
    tree.Write(std::string(folder.texts) + "gut.txt", soundText);
  }
  tree.Write("Texte\\Other\\_KEINTXT.TXT", "#/H:Kein Text#\r\n");
  tree.Write("Texte\\Other\\_KEINOBJ.TXT", "#/H:Kein Objekt#\r\n");
  hostile.linkTargets = {"Herz", "Aorta", "Becken", "Nirgendwo", "Milz", "START.WAV", "fehlt.avi"};

  std::string index =
      "/ name # text # Schnitt # CT # MR # Schema # structure # type # sex # "
      "region # plane\r\n";
  std::string structures;
  // A page line: `images[t]` per type in Schnitt, CT, MR, Schema order.
  const auto addPage = [&](const std::string& name, const std::string& text,
                           const std::string(&images)[4], ImageType preferred) {
    const char letters[] = {'S', 'M', 'C', 'P'};
    index += name + " # " + text;
    for (int i = 0; i < 4; ++i) index += " # " + (images[i].empty() ? " "s : images[i]);
    index += " # Herz # "s + letters[preferred] + " # M # R # " + name + "\r\n";
    structures += "Herz # " + name + " # SCMP\r\n";
  };
  const std::string allSound[4] = {"gut.bmp", "gut.bmp", "gut.bmp", "gut.bmp"};
  addPage("START", "gut.txt", allSound, kSchnitt);
  addPage("Becken", "gut.txt", allSound, kSchema);
  hostile.pages.push_back({"START", FileKind::kBmp, "sound", kSchnitt, "", ""});
  hostile.pages.push_back({"Becken", FileKind::kBmp, "sound", kSchema, "", ""});
  // A name in UTF-8 where Windows-1252 belongs: a page all the same, with its bytes as they are.
  addPage("Leber \xC3\xBC", "gut.txt", allSound, kCT);
  hostile.pages.push_back({"Leber \xC3\xBC", FileKind::kBmp, "a UTF-8 name", kCT, "", ""});

  const auto addDamaged = [&](FileKind kind, const char* prefix, const char* extension,
                              const std::vector<Way>& ways) {
    int n = 0;
    for (const Way& way : ways) {
      const int slot = n % 4;  // the damaged type, in the lists' order of image columns
      const TypeFolder& folder = kFolders[slot];
      const std::string stem = std::string(prefix) + std::to_string(++n);
      std::string images[4] = {"gut.bmp", "gut.bmp", "gut.bmp", "gut.bmp"};
      std::string text = "gut.txt";
      std::string path;
      if (kind == FileKind::kJpeg || kind == FileKind::kBmp) {
        images[slot] = stem + extension;
        path = std::string(folder.images) + stem + extension;
        tree.Write(std::string(folder.images) + stem + ".dat", soundOutline);
      } else if (kind == FileKind::kOutline) {
        images[slot] = stem + ".bmp";
        tree.Write(std::string(folder.images) + stem + ".bmp", soundBmp);
        path = std::string(folder.images) + stem + ".dat";
      } else {
        text = stem + ".txt";
        path = std::string(folder.texts) + text;
      }
      Place(tree, path, way);
      const std::string name = "Seite " + stem;
      addPage(name, text, images, folder.type);
      hostile.pages.push_back(
          {name, kind, way.damage, folder.type, path,
           ExpectedMessage(kind, way, dataPath, path, hostile.unreadableIsUnreadable)});
    }
  };
  addDamaged(FileKind::kJpeg, "jpeg", ".jpg", JpegWays());
  addDamaged(FileKind::kBmp, "bmp", ".bmp", BmpWays());
  addDamaged(FileKind::kOutline, "umriss", "", OutlineWays());
  addDamaged(FileKind::kText, "text", "", TextWays(soundText));

  // The lists: damaged lines among the sound ones, which must still count.
  index += LongLine(10000, " # ") + "\r\n";
  index += "Zu # wenige # Felder\r\n";
  index += "\r\r\n#\r\n" + RandomBytes(500, 8) + "\r\n";
  tree.Write("Daten\\Index.LST", index);
  tree.Write("Daten\\Struktur.LST", structures + LongLine(10000, " # ") + "\r\nAorta # START\r\n" +
                                        "Aorta # START # S\r" + RandomBytes(300, 9) + "\r\n");
  tree.Write("Daten\\SYNONYMS.LST",
             "COR # HERZ\r\n" + LongLine(10000, " # ") + "\r\n" + RandomBytes(400, 10));
  tree.Write("Daten\\Objekte.LST",
             "Herz # Aorta # Leber\r\n" + LongLine(10000, " # ") + "\r\n" + RandomBytes(400, 11));
  // The plane lists of the pictograms, each damaged in its own way.
  tree.Write("Daten\\SM_AUSW.POS", "");
  tree.Write("Daten\\SM_RUMPF.POS", "START # 10\r\nBecken # 150\r\nSeite jpeg1 # -5\r\n" +
                                        LongLine(10000, " # 40") + "\r\n" + RandomBytes(300, 12));
  Place(tree, "Daten\\SM_KOPF.POS", {"a directory", Shape::kDirectory});
  Place(tree, "Daten\\SM_ARM.POS", {"a symbolic link loop", Shape::kSymlinkLoop});
  Place(tree, "Daten\\SM_BEIN.POS", {"unreadable", Shape::kUnreadable, "Becken # 50\r\n"});
  // SF_RUMPF.POS is missing.
  tree.Write("MultiMed\\START.WAV", "RIFF\xFF\xFF\xFF\x7FWAVEfmt " + RandomBytes(200, 13));
  return hostile;
}

}  // namespace ostrelin::test
