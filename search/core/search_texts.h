#pragma once
// Texts of the search window (Windows-1252).

namespace ostrelin::search_text {

// The caption over the search field.
inline constexpr const char* kCaption = "Suche nach";
// Names for screen readers: the field takes the typed beginning, the list every name.
inline constexpr const char* kFieldName = "Suchbegriff";
inline constexpr const char* kFieldDescription =
    "Die eingegebenen Anfangsbuchstaben w\xE4hlen den passenden Namen im Index";
inline constexpr const char* kListName = "Index";
inline constexpr const char* kListDescription = "Alle Namen der Seiten und Strukturen des Atlas";

}  // namespace ostrelin::search_text
