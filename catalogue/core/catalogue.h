#pragma once
// The catalogue of the data tree: the page list "Index.LST" and the structure list "Struktur.LST",
// held in memory for the whole run, and the lookups that turn a requested name into a page.
//
// Both lists share the list-file line format (platform/core/list_file.h). A page line has exactly
// 11 fields, a structure line exactly 3; lines with any other count are skipped without a word.
// Names compare with only the ASCII letters A to Z folded: "Start" is "START", but "Ärmel" is not
// "ärmel". All texts are Windows-1252 bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/image_type.h"
#include "catalogue/core/name_index.h"

namespace ostrelin {

// One page: the eleven fields of a page line, in file order. Blank fields are empty strings.
struct IndexEntry {
  std::string name;              // unique page name, the key of every lookup
  std::string textFile;          // hypertext file of the text panel
  std::string imageSchnitt;      // image file in "Bilder\Schnitt\"
  std::string imageCT;           // image file in "Bilder\CT\"
  std::string imageMR;           // image file in "Bilder\MRT\"
  std::string imageSchema;       // image file in "Bilder\Schema\"
  std::string defaultStructure;  // highlighted when the page opens without a structure of its own
  ImageType preferredType = 0;   // shown first; -1 keeps the type currently shown
  Sex sex = 0;                   // body of the pictogram
  BodyRegion region = 0;         // pictogram region
  std::string planeName;         // plane line to mark on the region pictogram

  bool operator==(const IndexEntry&) const = default;
};

// The page's image file of `type`; empty for -1 and for a type the page has no image of.
const std::string& ImageFile(const IndexEntry& page, ImageType type);

// One structure/page pair of the structure list, with the image types it is outlined on.
struct StructureLocation {
  std::string structure;  // as listed in the search window
  std::string page;       // the page whose images show it
  bool inSchnitt = false;
  bool inCT = false;
  bool inMR = false;
  bool inSchema = false;

  bool operator==(const StructureLocation&) const = default;
};

// Whether the location's structure is outlined on the page's image of `type`; false for -1.
bool IsOutlinedOn(const StructureLocation& location, ImageType type);

// A page name with an image-type suffix taken apart: "Herz (CT)" is "Herz" and CT.
struct TaggedName {
  std::string name;
  ImageType type = kNoImageType;
};

class Catalogue {
 public:
  // Reads dataPath + "Daten\" + "Index.LST", then dataPath + "Daten\" + "Struktur.LST" (the data
  // path is the settings' Windows-style path, ending in a backslash; file names are matched without
  // regard to case on disk). Replaces what the catalogue held. False as soon as a list cannot be
  // opened; the structure list is then not read.
  bool LoadLists(std::string_view dataPath);

  // Adds the lines of a page list or structure list given as the file's bytes, with the rules of
  // the files: a page already present keeps its first definition, a structure/page pair already
  // present gains the image types of the new line.
  void AddIndexList(std::string_view bytes);
  void AddStructureList(std::string_view bytes);

  void Clear();

  size_t PageCount() const { return pages_.size(); }
  size_t LocationCount() const { return locations_.size(); }

  // The page at a 0-based position in file order. A position outside the list gives an entry whose
  // strings are empty and whose numbers are 0 (not -1). The reference stays valid until the
  // catalogue is changed again; copy it to keep it beyond that.
  const IndexEntry& PageAt(long position) const;

  // The location at a 0-based position in the order of first appearance; outside the list, an
  // empty location without image types.
  const StructureLocation& LocationAt(long position) const;

  // Copies the page called `name` into `out` and returns true; false (and `out` untouched) when
  // there is none.
  bool FindPage(std::string_view name, IndexEntry& out) const;

  // Appends one tagged page name for every place where `structure` is outlined: for every
  // location of that structure in list order, the page name with " (Schnitt)", " (CT)", " (MR)",
  // " (Schema)" for each type it is outlined on, in that order. Returns the size of the list.
  size_t PagesOfStructure(std::string_view structure, std::vector<std::string>& list) const;

  // The inverse of the suffixes of PagesOfStructure (exact and case-sensitive, blank included):
  // "Herz (MR)" gives "Herz" and 1; a name without one of the four suffixes stays whole, with -1.
  static TaggedName SplitTaggedName(std::string_view tagged);

 private:
  struct Chain {  // the locations of one structure name, linked through nextOfStructure_
    uint32_t first;
    uint32_t last;
  };

  void ReadIndexList(std::string bytes);
  void ReadStructureList(std::string bytes);
  void AddPage(IndexEntry page);
  void AddLocation(StructureLocation location);
  uint32_t FindPageId(std::string_view name) const;

  std::vector<IndexEntry> pages_;
  std::vector<StructureLocation> locations_;
  std::vector<uint32_t> nextOfStructure_;  // per location: the next one of the same structure
  std::vector<Chain> chains_;              // per distinct structure name
  NameIndex pageIndex_;                    // page name → page
  NameIndex locationIndex_;                // structure and page name → location
  NameIndex chainIndex_;                   // structure name → chain
};

}  // namespace ostrelin
