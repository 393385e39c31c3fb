#include "structures/core/image_access.h"

#include <algorithm>

#include "structures/core/image_window_model.h"
#include "resources/core/ui_texts.h"

namespace ostrelin {

namespace {

std::string LowerExtension(std::string_view path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) c = char(FoldCp1252(c));
  return extension;
}

}  // namespace

PictureFormat PictureFormatOf(std::string_view path) {
  const std::string extension = LowerExtension(path);
  if (extension == "png") return PictureFormat::Png;
  if (extension == "jpg" || extension == "jpeg") return PictureFormat::Jpeg;
  return PictureFormat::Unknown;
}

std::string WithPictureExtension(std::string path) {
  if (PictureFormatOf(path) == PictureFormat::Unknown) path += ".png";
  return path;
}

std::string PictureFileNameFor(std::string_view pageName) {
  std::string name;
  for (const char c : pageName) {
    const bool forbidden = static_cast<unsigned char>(c) < 0x20 ||
                           std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    name += forbidden ? '_' : c;
  }
  // A name of dots alone would name a directory.
  if (name.find_first_not_of(". ") == std::string::npos) name = "Bild";
  return name + ".png";
}

NameBand LayOutNameBand(int pictureWidth, int pictureHeight, int textHeight) {
  NameBand layout;
  if (pictureWidth <= 2 * kNameBandPadding || pictureHeight <= 0 || textHeight <= 0) return layout;
  const int height = std::min(textHeight + 2 * kNameBandPadding, pictureHeight);
  layout.band = Rect{0, pictureHeight - height, pictureWidth, height};
  layout.text =
      Rect{kNameBandPadding, layout.band.top, pictureWidth - 2 * kNameBandPadding, height};
  return layout;
}

std::string NameBandText(const std::vector<std::string>& drawnNames, bool showAll,
                         bool namesHidden) {
  std::string text;
  if (showAll || namesHidden) return text;
  for (const std::string& name : drawnNames) {
    if (name.empty()) continue;
    if (!text.empty()) text += " / ";
    text += name;
  }
  return text;
}

std::string ImageWindowDescription(std::string_view pageName, int imageType,
                                   std::string_view highlighted, std::string_view modeDescription) {
  namespace t = image_window_text;
  static constexpr const char* kTypeNames[] = {"Schnitt", "MR", "CT", "Schema"};
  std::string text;
  if (!pageName.empty()) {
    text += t::kPageLabel;
    text += pageName;
    if (imageType >= 0 && imageType < 4) text += std::string(t::kTypeLabel) + kTypeNames[imageType];
    text += ". ";
  }
  if (!modeDescription.empty()) {
    text += modeDescription;
  } else if (highlighted.empty()) {
    text += t::kNoHighlight;
  } else {
    text += t::kHighlightedLabel;
    text += highlighted;
  }
  return text + ". " + t::kKeys;
}

std::vector<std::string> StepOrder(const Objektliste& list) {
  std::vector<std::string> names = MarkableNames(list);
  SortForListBox(names);
  const auto same = [](const std::string& a, const std::string& b) {
    return EqualsIgnoringCase(a, b);
  };
  names.erase(std::unique(names.begin(), names.end(), same), names.end());
  return names;
}

int StepFrom(const std::vector<std::string>& order, std::string_view current, bool forward) {
  const int count = int(order.size());
  if (count == 0) return -1;
  int at = -1;
  for (int i = 0; i < count && !current.empty(); ++i) {
    if (EqualsIgnoringCase(order[size_t(i)], current)) {
      at = i;
      break;
    }
  }
  if (at < 0) return forward ? 0 : count - 1;
  const int next = forward ? at + 1 : at - 1;
  return next >= 0 && next < count ? next : -1;
}

}  // namespace ostrelin
