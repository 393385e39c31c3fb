#pragma once
// The small value sets every subsystem shares: image type, sex and body region, with the letters
// the list files use for them and everything the atlas attaches to an image type (menu tag, suffix
// of structure results, button command, image and text directory).
//
// All three are plain signed integers because they are stored, compared and handed around as
// numbers, with -1 meaning "not given".

#include <string>
#include <string_view>

namespace ostrelin {

using ImageType = int;
inline constexpr ImageType kNoImageType = -1;
inline constexpr ImageType kSchnitt = 0;  // section photograph
inline constexpr ImageType kMR = 1;
inline constexpr ImageType kCT = 2;
inline constexpr ImageType kSchema = 3;  // drawing
inline constexpr int kImageTypeCount = 4;

// The order in which the atlas offers the types wherever it goes through all of them (structure
// results, buttons in search of one that is enabled): Schnitt, CT, MR, Schema. Not numeric order.
inline constexpr ImageType kImageTypesInOfferOrder[kImageTypeCount] = {kSchnitt, kCT, kMR, kSchema};

using Sex = int;
inline constexpr Sex kNoSex = -1;
inline constexpr Sex kMale = 0;
inline constexpr Sex kFemale = 1;

using BodyRegion = int;
inline constexpr BodyRegion kNoRegion = -1;
inline constexpr BodyRegion kOverview = 0;  // whole-body overview
inline constexpr BodyRegion kKopf = 1;
inline constexpr BodyRegion kArm = 2;
inline constexpr BodyRegion kBein = 3;
inline constexpr BodyRegion kRumpf = 4;

inline bool IsImageType(int value) { return value >= kSchnitt && value <= kSchema; }

// Decoding of a list field by its first character, upper or lower case; the rest of the field is
// ignored. An empty field or any other first character gives -1.
//   image type: S Schnitt, M MR, C CT, P Schema ("G", the menu tag of Schema, is not a letter here)
//   sex:        M male, F or W female
//   region:     U overview, K Kopf, A Arm, B Bein, R Rumpf
ImageType ImageTypeFromLetter(std::string_view field);
Sex SexFromLetter(std::string_view field);
BodyRegion RegionFromLetter(std::string_view field);

// Image type of a single letter of the structure list's type field, or -1 for any other character
// (blanks, commas and the like, which that field may contain).
ImageType ImageTypeOfLetter(char letter);

// Upper-case letter of a type in the lists ('S', 'M', 'C', 'P'); '\0' for -1.
char ImageTypeLetter(ImageType type);

// Tag in front of a name in the history and bookmark menus: "(S) ", "(M) ", "(C) ", "(G) "; empty
// for -1.
std::string_view HistoryTag(ImageType type);

// Suffix of a tagged page name in structure results: " (Schnitt)", " (MR)", " (CT)", " (Schema)";
// empty for -1.
std::string_view TypeSuffix(ImageType type);

// Command of the type's image button: 9025 Schnitt, 9027 MR, 9026 CT, 9028 Schema; 0 for -1.
int ImageButtonCommand(ImageType type);
// The inverse: the type a button command shows, or -1 for any other command.
ImageType ImageTypeOfCommand(int command);

// Directory names below the data path, from the string table, each ending in a backslash:
// "Bilder\Schnitt\", "Bilder\MRT\", "Bilder\CT\", "Bilder\Schema\" and "Texte\Schnitt\",
// "Texte\MRT\", "Texte\CT\", "Texte\Schema\". Empty for -1.
const std::string& ImageDirectory(ImageType type);
const std::string& TextDirectory(ImageType type);

}  // namespace ostrelin
