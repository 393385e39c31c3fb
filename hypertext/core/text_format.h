#pragma once
// The hypertext format of the page descriptions.
//
// A text file is Windows-1252 lines. A line containing "/H:" is a heading line, a paragraph of its
// own; other lines are body lines that join into paragraphs, one blank between them, and "$" breaks
// a paragraph. Within a display line "#" starts a segment; a code directly after it ("/H:", "/L:",
// "/P:", "/M:", "/B:") chooses the segment's look and what a click on it does. In link segments
// "{...}" holds the link target, which is not shown and may run on over "#" and line ends.

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/core/image_type.h"
#include "platform/core/text_file.h"

namespace ostrelin {

// What a segment looks like and does. The values are fixed: 0 is "nothing open yet" at the start
// of a text and "no link" in a hit test.
enum class SegmentKind : int {
  None = 0,
  Heading = 1,        // "/H:"  heading font, black
  PageLink = 2,       // "/L:"  blue, opens a page or structure
  StructureLink = 3,  // "/P:"  green, highlights a structure of the current image
  Plain = 4,          // no code
  Bold = 5,           // "/B:"  bold body font, black
  MediaLink = 6,      // "/M:"  red, plays a media file
};

inline bool IsLinkKind(SegmentKind kind) {
  return kind == SegmentKind::PageLink || kind == SegmentKind::StructureLink ||
         kind == SegmentKind::MediaLink;
}

struct Rgb {
  uint8_t red, green, blue;
  bool operator==(const Rgb&) const = default;
};
Rgb SegmentColour(SegmentKind kind);

// ---- Segments -------------------------------------------------------------------------------

// What one display line hands on to the next: the kind of the segment open at its end and whether
// a link target ("{" without its "}" yet) is open.
struct ScanState {
  SegmentKind kind = SegmentKind::None;
  bool targetOpen = false;
};

struct Segment {
  SegmentKind kind = SegmentKind::None;
  bool afterCode = false;     // began at a "#" (false: continues the previous line's segment)
  std::string shown;          // the text drawn
  std::string target;         // link kinds: the part of the target in this segment
  bool bracesWithin = false;  // link kinds: "{" and "}" both lay in this segment
};

// Splits `line` into its segments, in order, calling `onSegment(const Segment&)` for each
// (empty ones included, except empty text before the first "#"); `state` carries over from the
// previous display line and is updated for the next.
template <typename OnSegment>
void ScanLine(std::string_view line, ScanState& state, OnSegment&& onSegment);

// Width-free helpers of the scanner, exposed for the template.
namespace scan_detail {
// Kind of the code at the start of `rest` and its length (0: no code, kind Plain).
SegmentKind CodeAt(std::string_view rest, size_t& codeLength);
// Fills `segment` from the segment text `text` of kind `segment.kind`, updating `targetOpen`.
void FillSegment(std::string_view text, bool& targetOpen, Segment& segment);
}  // namespace scan_detail

template <typename OnSegment>
void ScanLine(std::string_view line, ScanState& state, OnSegment&& onSegment) {
  Segment segment;
  size_t hash = line.find('#');
  const std::string_view head = line.substr(0, hash);
  if (!head.empty()) {
    segment.kind = state.kind;
    segment.afterCode = false;
    scan_detail::FillSegment(head, state.targetOpen, segment);
    onSegment(static_cast<const Segment&>(segment));
  }
  while (hash != std::string_view::npos) {
    std::string_view rest = line.substr(hash + 1);
    size_t codeLength = 0;
    state.kind = scan_detail::CodeAt(rest, codeLength);
    rest.remove_prefix(codeLength);
    const size_t next = rest.find('#');
    segment.kind = state.kind;
    segment.afterCode = true;
    scan_detail::FillSegment(rest.substr(0, next), state.targetOpen, segment);
    onSegment(static_cast<const Segment&>(segment));
    hash = next == std::string_view::npos ? next : line.size() - rest.size() + next;
  }
}

// ---- Files ----------------------------------------------------------------------------------

// Text directory of an image type: "Texte\Schnitt\", "Texte\MRT\", "Texte\CT\", "Texte\Schema\",
// and "Texte\Other\" for every other value.
const std::string& HypertextDirectory(ImageType type);

// Full path of a text: `dataPath` + directory of `type` + `textName`; while the text is switched
// invisible always `dataPath` + "Texte\Other\" + "_KEINTXT.TXT".
std::string TextPath(std::string_view dataPath, std::string_view textName, bool visible,
                     ImageType type);

// The text shown for a name the catalogue does not know: "_KEINOBJ.TXT".
const std::string& NoObjectTextName();

// The one source line that stands for a file that cannot be opened: a heading with the message
// "Datei nicht gefunden", the path in square brackets and "!?!".
std::string MissingFileLine(std::string_view path);

struct SourceLine {
  std::string text;
  bool heading = false;
};

// A line is a heading line when it holds "/H:" anywhere.
inline bool IsHeadingLine(std::string_view line) {
  return line.find("/H:") != std::string_view::npos;
}

// The non-empty lines of a text in file order, read through the atlas's 4999-byte line buffer
// (longer lines keep their first 4998 characters; CR before LF dropped).
class TextSource {
 public:
  // The file at `windowsPath`, or the missing-file line when it cannot be opened.
  static TextSource Open(const std::string& windowsPath);
  static TextSource FromBytes(std::string bytes);

  bool opened() const { return opened_; }
  // The next non-empty line; false at the end.
  bool Next(SourceLine& line);

 private:
  TextSource(std::string bytes, bool opened);

  TextReader reader_;
  bool opened_;
};

// ---- Paragraphs -----------------------------------------------------------------------------

// Turns source lines into paragraphs as they complete. A heading line is a paragraph with every
// "$" removed; body lines lose their trailing blanks and join the open paragraph with one blank;
// "$" completes the open paragraph at that point and starts the next with the rest (leading blanks
// removed). A heading completes a non-empty open paragraph before it.
class ParagraphFormer {
 public:
  class Handler {
   public:
    virtual ~Handler() = default;
    virtual void HeadingParagraph(std::string_view text) = 0;
    virtual void BodyParagraph(std::string_view text) = 0;  // completed by "$" or a heading
    // The open paragraph after a body line was added to it; returns the part that stays open (a
    // layout keeps back the last wrapped piece; a plain collector keeps everything).
    virtual std::string OpenParagraphGrew(std::string open) = 0;
  };

  explicit ParagraphFormer(Handler& handler) : handler_(handler) {}

  void Add(const SourceLine& line);
  // The open paragraph at the end of the text (empty when there is none).
  const std::string& open() const { return open_; }

 private:
  Handler& handler_;
  std::string open_;
};

}  // namespace ostrelin
