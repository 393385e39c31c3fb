#pragma once
// `atlasbau web BAUM ZIEL`: a data tree published as a static web site.
//
// The site holds the browser app (index.html, the WebAssembly cores and their loader, copied from
// the build's web app folder), the artwork (pictograms, buttons, icon) as PNGs under art/, and the
// tree's files under atlas/d/ with names made only of [a-z0-9._-] and a fingerprint of their
// contents. atlas/manifest.json maps every file of the tree, by the key the browser's cores
// compute for a data-relative path (web/core/web_atlas.h: ManifestKey), to its file in the site,
// so the browser never guesses a name, and the size of every file below atlas/ (what saving the
// atlas offline takes). JPEGs are copied as they are; BMPs, which browsers do not all show, become
// lossless PNGs; a BMP that cannot be read is listed with the atlas's message. The app's service
// worker (sw.js) gets the site's version, a fingerprint of the manifest and the artwork, so a new
// export replaces what browsers keep offline. The same tree always gives the same bytes.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace ostrelin {

struct WebExportOptions {
  std::filesystem::path tree;
  std::filesystem::path output;
  std::filesystem::path appFolder;  // index.html, ostrelin.wasm, its loader, the app's scripts
  std::filesystem::path artFolder;  // the artwork generator's output (bitmaps/, icons/)
};

// Writes the site. False with `problems` when the tree fails `atlasbau check` (its messages) or
// the site cannot be written.
bool ExportWebSite(const WebExportOptions& options, std::ostream& log,
                   std::vector<std::string>& problems);

// A file name of the site for `key` with contents `bytes` and the extension `extension`:
// lower-case letters, digits, ".", "_" and "-" only, never beginning with ".", and the contents'
// fingerprint before the extension.
std::string SiteFileName(std::string_view key, std::string_view bytes, std::string_view extension);

// A 24-bit picture (rows top-down, red, green, blue) as PNG bytes, compressed with zlib.
std::string EncodePng(int width, int height, const std::vector<unsigned char>& rgb);

}  // namespace ostrelin
