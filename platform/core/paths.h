#pragma once
// Windows-style paths on a Linux file system.
//
// The atlas composes every path as a Windows path in Windows-1252: the settings' `DataPath`, a
// fixed directory name ending in a backslash, a file name ("D:\ATLAS\" + "Daten\" + "Index.LST").
// Only when a file is opened is that string turned into a Linux path:
// - backslashes become slashes; a drive prefix ("D:") is dropped, so "D:\ATLAS" means /ATLAS and a
//   lone "\" is the root directory, as on the drive the atlas was started from;
// - the bytes become UTF-8 (Linux file names);
// - every component that does not exist as written is looked up case-insensitively in its
//   directory, as Windows file systems match names (data trees mix "INDEX.LST" and "Index.LST").
//   A directory entry whose name is not UTF-8 is compared as Windows-1252 bytes.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace ostrelin {

// The Linux path of a composed Windows path; components that exist nowhere are kept as written,
// so opening the result fails as it would on Windows.
std::filesystem::path ResolvePath(std::string_view windowsPath);

// Opens the file at a composed Windows path for binary reading; null when it cannot be opened. A
// directory cannot, as on Windows (Linux would open it and fail only at the first read).
std::FILE* OpenForReading(std::string_view windowsPath);

// The working directory as a Windows-1252 string, as the atlas sees it (no trailing separator
// except for the root "/").
std::string CurrentDirectory();

// Stand-in for the Windows directory, where the original platform keeps its own programs (the
// default media player among them). On Linux that is where system programs live: "/usr/bin".
std::string WindowsDirectory();

}  // namespace ostrelin
