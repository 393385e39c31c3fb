#include "shell/core/menu_entry.h"

namespace ostrelin {
namespace {

constexpr size_t kTagLength = 4;

// The type of a leading tag, or -1 when the text does not start with one.
ImageType TypeOfTag(std::string_view text) {
  for (const ImageType type : kImageTypesInOfferOrder) {
    if (text.starts_with(HistoryTag(type))) return type;
  }
  return kNoImageType;
}

}  // namespace

std::string EntryText(ImageType type, std::string_view name) {
  std::string text(HistoryTag(type));
  text += name;
  return text;
}

bool TakeEntryRequest(std::string_view text, TransferBuffer& buffer) {
  if (buffer.busy) return false;
  // An entry made while no image type was shown has no tag: its name is the whole text rather than
  // whatever follows its fourth character (which, for a name shorter than that, would be nothing).
  const ImageType type = TypeOfTag(text);
  if (type != kNoImageType) {
    buffer.requestedType = type;
    text.remove_prefix(kTagLength);
  }
  return buffer.Take(text);
}

}  // namespace ostrelin
