#include "authoring/core/web_export.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

#include "authoring/core/atlas_check.h"
#include "image/core/bmp_decoder.h"
#include "platform/core/cp1252.h"
#include "web/core/json_writer.h"
#include "web/core/web_atlas.h"

namespace ostrelin {
namespace fs = std::filesystem;

namespace {

// The first message of a failed decode, for the manifest.
class FirstMessage : public MessageService {
 public:
  MessageAnswer Show(std::string_view text, MessageButtons, MessageIcon,
                     std::string_view) override {
    if (message.empty()) message = text;
    return MessageAnswer::Ok;
  }
  void Beep(MessageIcon) override {}
  std::string message;
};

uint64_t Fnv64(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) hash = (hash ^ uint8_t(c)) * 1099511628211ull;
  return hash;
}

bool ReadBytes(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  bytes = s.str();
  return !in.bad();
}

bool WriteBytes(const fs::path& path, std::string_view bytes) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

std::string Safe(std::string_view text, size_t limit) {
  std::string safe;
  for (const char c : text) {
    const char l = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    const bool ok = (l >= 'a' && l <= 'z') || (l >= '0' && l <= '9') || l == '-' || l == '_';
    if (safe.size() < limit) safe += ok ? l : '_';
  }
  return safe;
}

bool IsSafeName(std::string_view name) {
  if (name.empty() || name.front() == '.') return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
  });
}

void AppendChunk(std::string& png, const char* type, std::string_view data) {
  const auto be32 = [&png](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) png += char((v >> shift) & 0xFF);
  };
  be32(uint32_t(data.size()));
  const size_t start = png.size();
  png.append(type, 4);
  png.append(data);
  be32(uint32_t(
      crc32(0, reinterpret_cast<const Bytef*>(png.data() + start), uInt(png.size() - start))));
}

// Width and height from a PNG's header; 0 x 0 when it is none.
std::pair<int, int> PngSize(std::string_view png) {
  if (png.size() < 24 || png.substr(1, 3) != "PNG" || png.substr(12, 4) != "IHDR") return {0, 0};
  const auto be32 = [&png](size_t at) {
    return int(uint32_t(uint8_t(png[at])) << 24 | uint32_t(uint8_t(png[at + 1])) << 16 |
               uint32_t(uint8_t(png[at + 2])) << 8 | uint32_t(uint8_t(png[at + 3])));
  };
  return {be32(16), be32(20)};
}

struct TreeFile {
  std::string key;  // ManifestKey of the data-relative path
  fs::path path;    // on disk
};

// Every regular file below `root`, in the order of their relative paths' bytes; the first file of
// a key keeps it (two names differing only in case: the atlas, too, finds only one of them).
std::vector<TreeFile> CollectFiles(const fs::path& root) {
  std::map<std::string, fs::path> byRelative;
  std::error_code error;
  for (fs::recursive_directory_iterator
           it(root, fs::directory_options::skip_permission_denied, error),
       end;
       !error && it != end; it.increment(error)) {
    if (!it->is_regular_file(error) || error) {
      error.clear();
      continue;
    }
    byRelative[fs::relative(it->path(), root, error).generic_string()] = it->path();
    error.clear();
  }
  std::vector<TreeFile> files;
  std::map<std::string, bool> seen;
  for (const auto& [relative, path] : byRelative) {
    const std::string cp1252 = IsValidUtf8(relative) ? Utf8ToCp1252(relative) : relative;
    const std::string key = web::ManifestKey(cp1252);
    if (key.empty() || seen[key]) continue;
    seen[key] = true;
    files.push_back({key, path});
  }
  return files;
}

// The app's files carry their contents' fingerprint in their names: name-<16 hex digits>.ext.
bool IsFingerprinted(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot < 17 || name[dot - 17] != '-') return false;
  return std::all_of(name.begin() + long(dot) - 16, name.begin() + long(dot),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string Extension(std::string_view key) {
  const size_t dot = key.rfind('.');
  const size_t slash = key.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  return Safe(key.substr(dot + 1), 8);
}

}  // namespace

std::string SiteFileName(std::string_view key, std::string_view bytes, std::string_view extension) {
  std::string_view base =
      key.substr(key.rfind('/') == std::string_view::npos ? 0 : key.rfind('/') + 1);
  if (const size_t dot = base.rfind('.'); dot != std::string_view::npos) base = base.substr(0, dot);
  std::string name = Safe(base, 40);
  if (name.empty()) name = "datei";
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv64(bytes)));
  name += '-';
  name += hash;
  const std::string ext = Safe(extension, 8);
  if (!ext.empty()) name += "." + ext;
  return name;
}

std::string EncodePng(int width, int height, const std::vector<unsigned char>& rgb) {
  std::string raw;
  raw.reserve(size_t(height) * (size_t(width) * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // filter: none
    raw.append(reinterpret_cast<const char*>(rgb.data()) + size_t(y) * size_t(width) * 3,
               size_t(width) * 3);
  }
  uLongf size = compressBound(uLong(raw.size()));
  std::string packed(size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
            reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()), 9);
  packed.resize(size);
  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  for (const int v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) header += char((uint32_t(v) >> shift) & 0xFF);
  }
  header +=
      std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", packed);
  AppendChunk(png, "IEND", {});
  return png;
}

namespace {

// What a site holds, for its manifest.
struct SiteContents {
  std::vector<std::pair<std::string, std::string>> files;   // key, site file
  std::vector<std::pair<std::string, std::string>> failed;  // key, message
  std::vector<std::string> planeLists;
  // stem -> site file, width and height
  std::vector<std::pair<std::string, std::pair<std::string, std::pair<int, int>>>> art;
  std::map<std::string, size_t> sizes;  // site file below atlas/ -> its bytes
  std::string artPrints;                // the artwork's fingerprints, for the site's version
};

// A BMP as a PNG: browsers show both, but the site's pictures all go one way.
bool BmpAsPng(std::string& bytes, std::string& message) {
  SourceImage image;
  FirstMessage messages;
  if (!DecodeBmp(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), image,
                 messages)) {
    message = Cp1252ToUtf8(messages.message);
    return false;
  }
  std::vector<unsigned char> rgb(size_t(image.width) * size_t(image.height) * 3);
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* row = image.Row(image.height - 1 - y);  // rows are stored bottom-up
    for (int x = 0; x < image.width; ++x) {
      unsigned char* to = &rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3];
      to[0] = row[x * 3 + 2];
      to[1] = row[x * 3 + 1];
      to[2] = row[x * 3];
    }
  }
  bytes = EncodePng(image.width, image.height, rgb);
  return true;
}

// Every file of the tree under the name of its contents; unreadable ones are listed.
bool ExportTreeFiles(const WebExportOptions& options, SiteContents& site,
                     std::vector<std::string>& problems) {
  for (const TreeFile& file : CollectFiles(options.tree)) {
    std::string bytes;
    if (!ReadBytes(file.path, bytes)) {
      site.failed.emplace_back(file.key, "Datei nicht lesbar");
      continue;
    }
    std::string extension = Extension(file.key);
    if (extension == "bmp") {
      std::string message;
      if (!BmpAsPng(bytes, message)) {
        site.failed.emplace_back(file.key, message);
        continue;
      }
      extension = "png";
    }
    const std::string name = "d/" + SiteFileName(file.key, bytes, extension);
    if (!WriteBytes(options.output / "atlas" / name, bytes)) {
      problems.push_back("cannot write " + (options.output / "atlas" / name).string());
      return false;
    }
    site.files.emplace_back(file.key, name);
    site.sizes[name] = bytes.size();
    if (file.key.starts_with("DATEN/") && file.key.ends_with(".POS")) {
      site.planeLists.push_back(file.key);
    }
  }
  return true;
}

// The artwork: every bitmap and icon the generator drew, with its size.
bool ExportArtwork(const WebExportOptions& options, SiteContents& site,
                   std::vector<std::string>& problems) {
  std::error_code error;
  for (const char* folder : {"bitmaps", "icons"}) {
    std::map<std::string, fs::path> pngs;
    for (fs::directory_iterator it(options.artFolder / folder, error), end; !error && it != end;
         it.increment(error)) {
      if (it->path().extension() == ".png") pngs[it->path().stem().string()] = it->path();
    }
    error.clear();
    for (const auto& [stem, path] : pngs) {
      std::string bytes;
      if (!ReadBytes(path, bytes)) continue;
      const std::string name = "art/" + Safe(stem, 40) + ".png";
      if (!WriteBytes(options.output / name, bytes)) {
        problems.push_back("cannot write " + (options.output / name).string());
        return false;
      }
      site.art.push_back({stem, {name, PngSize(bytes)}});
      site.artPrints += SiteFileName(name, bytes, {});
    }
  }
  return true;
}

// The service worker names the site's version in its cache: the fingerprint of the manifest and
// the artwork over the zeros the app's build leaves, so that a new export is a new worker and the
// browser replaces what it kept at the next visit.
constexpr std::string_view kSiteVersion = "ostrelin-site:0000000000000000";

std::string StampSiteVersion(std::string worker, const std::string& manifest,
                             const SiteContents& site) {
  const size_t at = worker.find(kSiteVersion);
  if (at == std::string::npos) return worker;
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx",
                static_cast<unsigned long long>(Fnv64(manifest + '\0' + site.artPrints)));
  worker.replace(at + kSiteVersion.size() - 16, 16, hash);
  return worker;
}

// The app: its files as they are, the service worker stamped with the site's version.
bool ExportApp(const WebExportOptions& options, const std::string& manifest,
               const SiteContents& site, std::vector<std::string>& problems) {
  std::error_code error;
  std::map<std::string, fs::path> app;
  for (fs::directory_iterator it(options.appFolder, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file()) app[it->path().filename().string()] = it->path();
  }
  if (app.find("index.html") == app.end()) {
    problems.push_back("the web app is missing: no index.html in " + options.appFolder.string() +
                       " (cmake --build BUILD --target web_app)");
    return false;
  }
  for (const auto& [name, path] : app) {
    std::string bytes;
    if (!IsSafeName(name)) continue;  // the site's names stay plain
    if (!ReadBytes(path, bytes)) {
      problems.push_back("cannot copy " + path.string());
      return false;
    }
    if (name == "sw.js") bytes = StampSiteVersion(std::move(bytes), manifest, site);
    if (!WriteBytes(options.output / name, bytes)) {
      problems.push_back("cannot copy " + path.string());
      return false;
    }
  }
  return true;
}

// An earlier export is replaced whole, so that the same tree always gives the same site: its
// data, its artwork and the app's fingerprinted files (a newer app has other names). A folder
// that holds something else is left alone.
void RemoveEarlierExport(const fs::path& site) {
  std::error_code error;
  if (!fs::exists(site / "atlas" / "manifest.json", error)) return;
  fs::remove_all(site / "atlas", error);
  fs::remove_all(site / "art", error);
  std::vector<fs::path> old;
  for (fs::directory_iterator it(site, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file() && IsFingerprinted(it->path().filename().string())) {
      old.push_back(it->path());
    }
  }
  for (const fs::path& file : old) fs::remove(file, error);
}

std::string Manifest(const SiteContents& site) {
  web::JsonWriter m;
  m.BeginObject().Key("version").Int(1);
  m.Key("files").BeginObject();
  for (const auto& [key, name] : site.files) m.KeyUtf8(key).Utf8(name);
  m.EndObject().Key("unreadable").BeginObject();
  for (const auto& [key, message] : site.failed) m.KeyUtf8(key).Utf8(message);
  m.EndObject().Key("planeLists").BeginArray();
  for (const std::string& key : site.planeLists) m.Utf8(key);
  m.EndArray().Key("art").BeginObject();
  for (const auto& [stem, entry] : site.art) {
    m.KeyUtf8(stem).BeginObject().Key("file").Utf8(entry.first);
    m.Key("width").Int(entry.second.first).Key("height").Int(entry.second.second).EndObject();
  }
  // The size of every file below atlas/: what saving the atlas offline takes, before it starts.
  m.EndObject().Key("sizes").BeginObject();
  for (const auto& [name, size] : site.sizes) m.KeyUtf8(name).Int((long long)size);
  m.EndObject().EndObject();
  return m.str() + "\n";
}

}  // namespace

bool ExportWebSite(const WebExportOptions& options, std::ostream& log,
                   std::vector<std::string>& problems) {
  problems = CheckAtlasTree(options.tree);
  if (!problems.empty()) return false;
  const fs::path site = options.output;
  RemoveEarlierExport(site);
  SiteContents contents;
  if (!ExportTreeFiles(options, contents, problems) ||
      !ExportArtwork(options, contents, problems)) {
    return false;
  }
  if (contents.art.empty()) {
    log << "atlasbau web: no artwork in " << options.artFolder.string() << "\n";
  }
  const std::string manifest = Manifest(contents);
  if (!ExportApp(options, manifest, contents, problems)) return false;
  if (!WriteBytes(site / "atlas" / "manifest.json", manifest)) {
    problems.push_back("cannot write the manifest");
    return false;
  }
  log << site.string() << ": " << contents.files.size() << " files, " << contents.failed.size()
      << " unreadable, " << contents.art.size() << " artwork files\n";
  return true;
}

}  // namespace ostrelin
