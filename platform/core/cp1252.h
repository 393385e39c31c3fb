#pragma once
// Windows-1252 ("ANSI") text and its conversions.
//
// Inside the core every text is a std::string of Windows-1252 bytes, exactly as the data files and
// the string table hold it. Conversion happens only at the edges: UTF-16 for Qt, UTF-8 for Linux
// file names. The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map
// to the C1 control characters of the same value, as Windows itself does, so every byte string
// survives the round trip.

#include <string>
#include <string_view>

namespace ostrelin {

std::u16string Cp1252ToUtf16(std::string_view text);

// Characters without a Windows-1252 byte become `replacement`.
std::string Utf16ToCp1252(std::u16string_view text, char replacement = '?');

std::string Cp1252ToUtf8(std::string_view text);

// Invalid UTF-8 sequences and characters without a Windows-1252 byte become `replacement`.
std::string Utf8ToCp1252(std::string_view text, char replacement = '?');

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

// Upper-case letter of a Windows-1252 byte, as file-name comparison on Windows folds it:
// a-z and the accented Latin-1 letters; the sharp s and the division sign stay.
unsigned char FoldCp1252(unsigned char c);

}  // namespace ostrelin
