#include "authoring/core/umriss.h"

#include <fstream>
#include <optional>
#include <system_error>

#include "authoring/core/outline_dump.h"
#include "platform/core/cp1252.h"
#include "platform/core/text_file.h"

namespace ostrelin {

namespace {

void Usage(std::ostream& stream, const std::string& program) {
  stream << "usage: " << program << " build LABELS TABLE OUTLINE [--title TEXT]\n"
         << "       " << program << " dump OUTLINE\n"
         << "build: writes the outline file of a label image (8-bit indexed or grey PNG/BMP,\n"
         << "       one value per structure, 0 = background); TABLE names the values, one\n"
         << "       \"value name\" a line\n"
         << "dump:  prints an outline file as text\n";
}

std::string Shown(const std::filesystem::path& path) { return path.string(); }

// Writes beside the target first, so a failed write leaves an existing file as it was.
bool WriteFile(const std::filesystem::path& path, const std::string& bytes, std::string& error) {
  std::filesystem::path temporary = path;
  temporary += ".part";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file || !file.write(bytes.data(), std::streamsize(bytes.size())) || !file.flush()) {
      error = "cannot write " + Shown(path);
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code failed;
  std::filesystem::rename(temporary, path, failed);
  if (failed) {
    error = "cannot write " + Shown(path) + ": " + failed.message();
    std::filesystem::remove(temporary, failed);
    return false;
  }
  return true;
}

int Build(const std::filesystem::path& labels, const std::filesystem::path& tablePath,
          const std::filesystem::path& outline, const std::optional<std::string>& title,
          std::ostream& out, std::ostream& err, const LabelImageLoader& loadImage) {
  LabelImage image;
  std::string error;
  if (!loadImage(labels, image, error)) {
    err << Shown(labels) << ": " << error << "\n";
    return 1;
  }
  const std::optional<std::string> tableBytes = ReadFileBytes(tablePath);
  if (!tableBytes) {
    err << Shown(tablePath) << ": cannot read the table\n";
    return 1;
  }
  std::vector<LabelEntry> table;
  std::vector<std::string> problems;
  if (!ParseLabelTable(*tableBytes, table, problems)) {
    for (const std::string& problem : problems) err << Shown(tablePath) << ": " << problem << "\n";
    return 1;
  }
  OutlineFile file;
  std::vector<std::string> warnings;
  const std::string titleText = Utf8ToCp1252(title ? *title : labels.stem().string());
  if (!BuildOutline(image, table, titleText, file, warnings, error)) {
    err << Shown(labels) << ": " << error << "\n";
    return 1;
  }
  for (const std::string& warning : warnings) err << "warning: " << warning << "\n";
  std::string bytes;
  if (!EncodeOutline(file, bytes, error) || !WriteFile(outline, bytes, error)) {
    err << error << "\n";
    return 1;
  }
  int without = 0;
  for (const OutlineRecord& record : file.records) without += record.HasOutline() ? 0 : 1;
  out << Shown(outline) << ": " << file.records.size() << " structures";
  if (without > 0) out << " (" << without << " without outline)";
  out << ", " << bytes.size() << " bytes\n";
  return 0;
}

}  // namespace

int RunUmriss(std::span<const std::string> args, std::ostream& out, std::ostream& err,
              const LabelImageLoader& loadImage) {
  const std::string program = args.empty() ? "umriss" : args[0];
  const std::string command = args.size() > 1 ? args[1] : "";
  if (command == "--help" || command == "-h") {
    Usage(out, program);
    return 0;
  }
  if (command == "dump" && args.size() == 3) {
    const std::optional<std::string> bytes = ReadFileBytes(args[2]);
    if (!bytes) {
      err << args[2] << ": cannot read the outline file\n";
      return 1;
    }
    out << DumpOutline(*bytes);
    return 0;
  }
  if (command == "build" && (args.size() == 5 || (args.size() == 7 && args[5] == "--title"))) {
    std::optional<std::string> title;
    if (args.size() == 7) title = args[6];
    return Build(args[2], args[3], args[4], title, out, err, loadImage);
  }
  Usage(err, program);
  return 2;
}

}  // namespace ostrelin
