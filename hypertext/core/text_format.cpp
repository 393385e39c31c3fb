#include "hypertext/core/text_format.h"

#include <algorithm>
#include <utility>

#include "platform/core/paths.h"
#include "platform/core/text_file.h"
#include "resources/core/string_table.h"

namespace ostrelin {

Rgb SegmentColour(SegmentKind kind) {
  switch (kind) {
    case SegmentKind::PageLink: return {0, 0, 255};
    case SegmentKind::StructureLink: return {0, 128, 0};
    case SegmentKind::MediaLink: return {255, 0, 0};
    default: return {0, 0, 0};
  }
}

namespace scan_detail {

SegmentKind CodeAt(std::string_view rest, size_t& codeLength) {
  // Tested in this order; all have the same length, so the order only documents the format.
  static constexpr struct {
    std::string_view code;
    SegmentKind kind;
  } kCodes[] = {{"/H:", SegmentKind::Heading},
                {"/L:", SegmentKind::PageLink},
                {"/P:", SegmentKind::StructureLink},
                {"/M:", SegmentKind::MediaLink},
                {"/B:", SegmentKind::Bold}};
  for (const auto& code : kCodes) {
    if (rest.starts_with(code.code)) {
      codeLength = code.code.size();
      return code.kind;
    }
  }
  codeLength = 0;
  return SegmentKind::Plain;
}

void FillSegment(std::string_view text, bool& targetOpen, Segment& segment) {
  segment.target.clear();
  segment.bracesWithin = false;
  if (!IsLinkKind(segment.kind)) {
    segment.shown.assign(text);
    return;
  }
  bool opened = false;
  std::string_view target;
  if (targetOpen) {
    segment.shown.clear();
    target = text;
  } else if (const size_t brace = text.find('{'); brace != std::string_view::npos) {
    segment.shown.assign(text.substr(0, brace));
    target = text.substr(brace + 1);
    targetOpen = true;
    opened = true;
  } else {
    segment.shown.assign(text);
  }
  if (targetOpen) {
    if (const size_t close = target.find('}'); close != std::string_view::npos) {
      segment.shown.append(target.substr(close + 1));
      target = target.substr(0, close);
      targetOpen = false;
      segment.bracesWithin = opened;
    }
  }
  segment.target.assign(target);
}

}  // namespace scan_detail

const std::string& HypertextDirectory(ImageType type) {
  if (IsImageType(type)) return TextDirectory(type);
  return LoadText(text::kDirTextOther);
}

std::string TextPath(std::string_view dataPath, std::string_view textName, bool visible,
                     ImageType type) {
  std::string path(dataPath);
  if (visible) {
    path += HypertextDirectory(type);
    path += textName;
  } else {
    path += LoadText(text::kDirTextOther);
    path += LoadText(text::kFileNoText);
  }
  return path;
}

const std::string& NoObjectTextName() { return LoadText(text::kFileNoObject); }

std::string MissingFileLine(std::string_view path) {
  std::string line = "#/H:";
  line += LoadText(text::kFileNotFound);
  line += ": [";
  line += path;
  line += "] !?!#";
  return line;
}

TextSource::TextSource(std::string bytes, bool opened)
    : reader_(std::move(bytes)), opened_(opened) {}

TextSource TextSource::Open(const std::string& windowsPath) {
  if (auto bytes = ReadFileBytes(ResolvePath(windowsPath))) {
    return TextSource(std::move(*bytes), true);
  }
  return TextSource(MissingFileLine(windowsPath), false);
}

TextSource TextSource::FromBytes(std::string bytes) { return TextSource(std::move(bytes), true); }

bool TextSource::Next(SourceLine& line) {
  while (reader_.ReadLine(line.text)) {
    if (line.text.empty()) continue;
    line.heading = IsHeadingLine(line.text);
    return true;
  }
  return false;
}

void ParagraphFormer::Add(const SourceLine& line) {
  if (line.text.empty()) return;
  if (IsHeadingLine(line.text)) {
    if (!open_.empty()) handler_.BodyParagraph(open_);
    open_.clear();
    std::string heading = line.text;
    std::erase(heading, '$');
    handler_.HeadingParagraph(heading);
    return;
  }
  std::string_view body = line.text;
  while (!body.empty() && body.back() == ' ') body.remove_suffix(1);
  if (!open_.empty()) open_ += ' ';
  open_ += body;
  // Every "$" completes the text before it; the rest, without its leading blanks, stays open.
  size_t start = 0;
  for (size_t dollar = open_.find('$'); dollar != std::string::npos;
       dollar = open_.find('$', start)) {
    handler_.BodyParagraph(std::string_view(open_).substr(start, dollar - start));
    start = dollar + 1;
    while (start < open_.size() && open_[start] == ' ') ++start;
  }
  open_.erase(0, start);
  open_ = handler_.OpenParagraphGrew(std::move(open_));
}

}  // namespace ostrelin
