#include "catalogue/core/image_type.h"

#include "platform/core/strings.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

struct TypeInfo {
  char letter;
  std::string_view historyTag;
  std::string_view suffix;
  int buttonCommand;
  int imageDirectoryText;
  int textDirectoryText;
};

// Indexed by ImageType. Note the MR directories are called "MRT" and the Schema letter in the
// lists is "P" while its menu tag reads "(G) ".
constexpr TypeInfo kTypes[kImageTypeCount] = {
    {'S', "(S) ", " (Schnitt)", 9025, text::kDirImageSchnitt, text::kDirTextSchnitt},
    {'M', "(M) ", " (MR)", 9027, text::kDirImageMR, text::kDirTextMR},
    {'C', "(C) ", " (CT)", 9026, text::kDirImageCT, text::kDirTextCT},
    {'P', "(G) ", " (Schema)", 9028, text::kDirImageSchema, text::kDirTextSchema},
};

char FirstLetter(std::string_view field) {
  return field.empty() ? '\0' : AsciiUpper(field.front());
}

const std::string& NoText() {
  static const std::string empty;
  return empty;
}

}  // namespace

ImageType ImageTypeOfLetter(char letter) {
  switch (AsciiUpper(letter)) {
    case 'S': return kSchnitt;
    case 'M': return kMR;
    case 'C': return kCT;
    case 'P': return kSchema;
    default: return kNoImageType;
  }
}

ImageType ImageTypeFromLetter(std::string_view field) {
  return field.empty() ? kNoImageType : ImageTypeOfLetter(field.front());
}

Sex SexFromLetter(std::string_view field) {
  switch (FirstLetter(field)) {
    case 'M': return kMale;
    case 'F':
    case 'W': return kFemale;
    default: return kNoSex;
  }
}

BodyRegion RegionFromLetter(std::string_view field) {
  switch (FirstLetter(field)) {
    case 'U': return kOverview;
    case 'K': return kKopf;
    case 'A': return kArm;
    case 'B': return kBein;
    case 'R': return kRumpf;
    default: return kNoRegion;
  }
}

char ImageTypeLetter(ImageType type) { return IsImageType(type) ? kTypes[type].letter : '\0'; }

std::string_view HistoryTag(ImageType type) {
  return IsImageType(type) ? kTypes[type].historyTag : std::string_view();
}

std::string_view TypeSuffix(ImageType type) {
  return IsImageType(type) ? kTypes[type].suffix : std::string_view();
}

int ImageButtonCommand(ImageType type) {
  return IsImageType(type) ? kTypes[type].buttonCommand : 0;
}

ImageType ImageTypeOfCommand(int command) {
  for (ImageType type = 0; type < kImageTypeCount; ++type) {
    if (kTypes[type].buttonCommand == command) return type;
  }
  return kNoImageType;
}

const std::string& ImageDirectory(ImageType type) {
  return IsImageType(type) ? LoadText(kTypes[type].imageDirectoryText) : NoText();
}

const std::string& TextDirectory(ImageType type) {
  return IsImageType(type) ? LoadText(kTypes[type].textDirectoryText) : NoText();
}

}  // namespace ostrelin
