#pragma once
// Replacing a file's contents so that a failed or interrupted write never costs the old contents:
// the new bytes go into a temporary file beside the old one, which takes the old one's place only
// once it is complete and on disk.

#include <filesystem>
#include <string_view>

namespace ostrelin {

// Writes `bytes` (exactly, no line-break conversion) as the new contents of `path`. False when it
// could not be done; the old file, if any, is then unchanged and no temporary file is left behind.
// The new file gets the permissions of the old one, or the usual ones of a new file. A file that
// may not be written is left alone (false); a symbolic link stays and its target is replaced.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

}  // namespace ostrelin
