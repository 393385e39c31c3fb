#pragma once
// The layout of a data tree, shared by the demo atlas and the series builder: its folders, and
// the pages and files every tree needs besides its series (the two help pages, the note for names
// that lead nowhere, the note of the hidden text and the settings file). Texts in Windows-1252
// with LF line ends.

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/core/cp1252.h"
#include "platform/core/strings.h"

namespace ostrelin {

// Windows-1252 bytes of a text written in the sources as UTF-8.
inline std::string W(std::string_view utf8) { return Utf8ToCp1252(utf8); }

// A name or a data-tree path as the tree's lists and the file system compare it: ASCII letters in
// capitals.
inline std::string Upper(std::string_view s) {
  std::string upper(s.size(), ' ');
  std::transform(s.begin(), s.end(), upper.begin(), AsciiUpper);
  return upper;
}

// Every folder of a tree, parents before their children, with "/" between folders.
inline constexpr const char* kTreeFolders[] = {
    "Daten",    "Bilder/Schnitt", "Bilder/CT",    "Bilder/MRT",  "Bilder/Schema", "Texte/Schnitt",
    "Texte/CT", "Texte/MRT",      "Texte/Schema", "Texte/Other", "MultiMed"};
// The folders of the page texts, each of which holds a "_KEINOBJ.TXT".
inline constexpr const char* kTextFolders[] = {"Texte/Schnitt", "Texte/CT", "Texte/MRT",
                                               "Texte/Schema", "Texte/Other"};

std::string HelpOverviewText();  // page "Hilfe-Übersicht"
std::string HelpMenuText();      // page "Hilfe-Kontextmenü"
std::string NotFoundText();      // "_KEINOBJ.TXT" of every text folder
std::string HiddenTextNote();    // "Texte\Other\_KEINTXT.TXT"
std::string SettingsFile();      // "KARVOLEN.INI" of a tree that is its own working directory

}  // namespace ostrelin
