#include "authoring/core/linklist.h"

#include <fstream>
#include <optional>

#include "platform/core/cp1252.h"
#include "platform/core/text_file.h"
#include "structures/core/outline_file.h"

namespace ostrelin {

namespace {

constexpr size_t kNameWidth = 40;
constexpr size_t kLinkWidth = 25;

std::string ArgumentText(std::string_view argument) {
  return IsValidUtf8(argument) ? Utf8ToCp1252(argument) : std::string(argument);
}

}  // namespace

std::string PadRight(std::string_view text, size_t width) {
  std::string padded(text);
  if (padded.size() < width) padded.resize(width, ' ');
  return padded;
}

std::string LinklistLines(std::string_view outlineBytes, std::string_view link,
                          std::string_view imageTypes) {
  const std::string tail = " # " + PadRight(link, kLinkWidth) + " # " + std::string(imageTypes);
  OutlineReader reader(outlineBytes);
  reader.ReadTitle();
  const int count = reader.ReadCount();
  std::string lines;
  for (int i = 0; i < count && !reader.AtEnd(); ++i) {
    const OutlineRecordHead head = reader.ReadRecordHead();
    if (!head.HasOutline()) break;
    reader.SkipColumns(head);
    lines += PadRight(head.name, kNameWidth);
    lines += tail;
    lines += "\r\n";
  }
  return lines;
}

int RunLinklist(std::span<const std::string> args, std::ostream& out) {
  if (args.size() != 5) {
    out << "Aufruf:\n"
        << (args.empty() ? std::string() : args[0])
        << " Zieldatei Quelldatei Link-Verweis Bildtyp(en) \n\n";
    return 0;
  }
  std::ofstream target(args[1], std::ios::binary | std::ios::app);
  if (!target) return 1;
  const std::optional<std::string> source = ReadFileBytes(args[2]);
  if (!source) return 1;
  target << LinklistLines(*source, ArgumentText(args[3]), ArgumentText(args[4]));
  return 1;
}

}  // namespace ostrelin
