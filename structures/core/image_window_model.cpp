#include "structures/core/image_window_model.h"

#include <algorithm>
#include <cmath>

#include "platform/core/strings.h"
#include "resources/core/ui_texts.h"

namespace ostrelin {

float ZoomOfPosition(int position) {
  position = std::clamp(position, kFirstZoomPosition, kLastZoomPosition);
  if (position < kInitialZoomPosition) return 1.0f / float(7 - position);
  return float(position - 5);
}

int PositionOfZoom(float zoom) {
  if (!(zoom >= 0.5f)) return 4;  // a NaN lands here too
  if (zoom < 1.0f) return 5;
  return std::min(int(zoom) + 5, kLastZoomPosition);
}

int ZoomBarStep(int position, ScrollAction action, int thumb) {
  switch (action) {
    case ScrollAction::LineBack: return std::max(position - 1, kFirstZoomPosition);
    case ScrollAction::LineForward: return std::min(position + 1, kLastZoomPosition);
    case ScrollAction::PageBack: return position <= 6 ? kFirstZoomPosition : position - 3;
    case ScrollAction::PageForward: return position >= 8 ? kLastZoomPosition : position + 3;
    case ScrollAction::Thumb: return std::clamp(thumb, kFirstZoomPosition, kLastZoomPosition);
    case ScrollAction::Other: break;
  }
  return position;
}

int PanOffset(int offset, ScrollAction action, int thumb, int smallest) {
  long next = offset;
  switch (action) {
    case ScrollAction::LineBack: next += 20; break;
    case ScrollAction::LineForward: next -= 20; break;
    case ScrollAction::PageBack: next += 50; break;
    case ScrollAction::PageForward: next -= 50; break;
    case ScrollAction::Thumb: next = -long(thumb); break;
    case ScrollAction::Other: break;
  }
  // The lower limit first: when the image fits, the limit is positive and the offset stays 0.
  next = std::max(next, long(smallest));
  next = std::min(next, 0L);
  return int(next);
}

std::vector<std::string> SplitNames(std::string_view names) {
  std::vector<std::string> parts;
  size_t begin = 0;
  while (true) {
    const size_t amp = names.find('&', begin);
    parts.emplace_back(Trimmed(
        names.substr(begin, amp == std::string_view::npos ? std::string_view::npos : amp - begin)));
    if (amp == std::string_view::npos) break;
    begin = amp + 1;
  }
  return parts;
}

std::string MainName(std::string_view names) {
  return std::string(Trimmed(names.substr(0, names.find('&'))));
}

std::vector<std::string> MarkableNames(const Objektliste& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) {
    if (!list.At(i).Name().empty()) names.emplace_back(list.At(i).Name());
  }
  return names;
}

bool HasMarkableStructures(const Objektliste& list) {
  return list.Count() > 1 || (list.Count() == 1 && !list.At(0).Name().empty());
}

unsigned char FoldCp1252(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<unsigned char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<unsigned char>(u + 32);
  return u;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCp1252(x) == FoldCp1252(y);
         });
}

void SortForListBox(std::vector<std::string>& texts) {
  std::stable_sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
    const bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                     [](char x, char y) { return FoldCp1252(x) < FoldCp1252(y); });
    if (less) return true;
    const bool greater =
        std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                     [](char x, char y) { return FoldCp1252(x) < FoldCp1252(y); });
    return !greater && a < b;
  });
}

std::vector<ContextMenuEntry> BuildContextMenu(const ContextMenuState& state) {
  namespace t = image_window_text;
  std::vector<ContextMenuEntry> menu;
  if (state.paintedCount > 0) {
    menu.push_back({image_cmd::kGoToHighlighted, state.highlightStatus});
    menu.push_back({0, {}});
  }
  if (state.normalView) {
    menu.push_back({image_cmd::kFullView, t::kFullView});
  } else {
    menu.push_back({image_cmd::kNormalView, t::kNormalView});
  }
  if (state.markableStructures) {
    menu.push_back({image_cmd::kListMarkable, t::kListMarkable});
    menu.push_back({image_cmd::kShowMarkable, t::kShowMarkable});
  }
  menu.push_back({image_cmd::kHelp, t::kHelp});
  if (!state.relatedNames.empty()) {
    menu.push_back({0, {}});
    const std::vector<std::string> parts = SplitNames(state.relatedNames);
    const int count =
        std::min<int>(int(parts.size()), image_cmd::kLastRelated - image_cmd::kFirstRelated + 1);
    for (int k = 0; k < count; ++k) {
      // An empty part uses up its number but gets no entry.
      if (!parts[size_t(k)].empty())
        menu.push_back({image_cmd::kFirstRelated + k, parts[size_t(k)]});
    }
  }
  if (state.imageLoaded) {
    menu.push_back({0, {}});
    menu.push_back({image_cmd::kSavePicture, t::kSavePicture});
    menu.push_back({image_cmd::kCopyPicture, t::kCopyPicture});
  }
  return menu;
}

std::string RelatedNameOf(std::string_view relatedNames, int command) {
  const int k = command - image_cmd::kFirstRelated;
  if (k < 0 || command > image_cmd::kLastRelated) return {};
  std::vector<std::string> parts = SplitNames(relatedNames);
  return size_t(k) < parts.size() ? std::move(parts[size_t(k)]) : std::string();
}

Rect OverlapListRect(int clickX, int clickY, int clientWidth, int clientHeight) {
  Rect rect{clickX, clickY, 250, 100};
  if (rect.left > clientWidth - 260) rect.left = clientWidth - 260;
  if (rect.top > clientHeight - 110) rect.top = clientHeight - 110;
  // A window smaller than the list still shows its top left corner.
  rect.left = std::max(rect.left, 0);
  rect.top = std::max(rect.top, 0);
  return rect;
}

Rect KeepMarkableListInside(Rect rect, int clientWidth, int clientHeight) {
  if (rect.left + rect.width > clientWidth) {
    rect.left = std::max(10, clientWidth - rect.width);
    rect.width = std::min(rect.width, clientWidth - rect.left);
  }
  if (rect.top + rect.height > clientHeight) {
    rect.top = std::max(30, clientHeight - rect.height);
    rect.height = std::min(rect.height, clientHeight - rect.top);
  }
  return rect;
}

OverviewCopy ReduceForOverview(const SourceImage& source) {
  OverviewCopy copy;
  if (source.Empty()) return copy;
  copy.rows = source.height / 4;
  copy.columns = (source.width / 4) / 4 * 4;
  copy.bgr.resize(size_t(copy.rows) * size_t(copy.columns) * 3);
  for (int r = 0; r < copy.rows; ++r) {
    const std::uint8_t* from = source.Row(4 * r);
    std::uint8_t* to = copy.bgr.data() + size_t(r) * size_t(copy.columns) * 3;
    for (int c = 0; c < copy.columns; ++c) {
      const std::uint8_t* p = from + size_t(c) * 12;
      to[0] = p[0];
      to[1] = p[1];
      to[2] = p[2];
      to += 3;
    }
  }
  return copy;
}

}  // namespace ostrelin
