#pragma once
// The pages and files every data tree needs besides its series, shared by the demo atlas and the
// series builder: the two help pages, the note for names that lead nowhere, the note of the
// hidden text and the settings file. Texts in Windows-1252 with LF line ends.

#include <string>

namespace ostrelin {

std::string HelpOverviewText();  // page "Hilfe-Übersicht"
std::string HelpMenuText();      // page "Hilfe-Kontextmenü"
std::string NotFoundText();      // "_KEINOBJ.TXT" of every text folder
std::string HiddenTextNote();    // "Texte\Other\_KEINTXT.TXT"
std::string SettingsFile();      // "KARVOLEN.INI" of a tree that is its own working directory

}  // namespace ostrelin
