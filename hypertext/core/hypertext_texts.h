#pragma once
// Texts of the text panel (Windows-1252).

namespace ostrelin::hypertext_text {

// What a screen reader calls the panel, and the word before the list of its links.
inline constexpr const char* kPanelName = "Beschreibungstext";
inline constexpr const char* kLinks = " Verweise: ";

}  // namespace ostrelin::hypertext_text
