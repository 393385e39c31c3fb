#pragma once
// Texts of the image window and the overview window (Windows-1252).

namespace ostrelin::image_window_text {

inline constexpr const char* kOverviewBox =
    "\xDC"
    "bersicht";
inline constexpr const char* kFullViewBox = "Vollansicht";
inline constexpr const char* kFileNotFound = "Folgende Datei nicht gefunden";
inline constexpr const char* kNoObjectList = "Objektliste kann nicht erstellt werden";
inline constexpr const char* kSeveralHighlighted = "Mehrere Objekte hervorgehoben";
inline constexpr const char* kNoHighlight = "Kein hervorgehobenes Objekt";
inline constexpr const char* kOverlapCaption =
    "M\xF6gliche (\xFC"
    "berlappende) Strukturen";
inline constexpr const char* kMarkableCaption = "Markierbare Strukturen";
inline constexpr const char* kFoundOnSuffix = " gefunden auf";

// Context menu.
inline constexpr const char* kFullView =
    "Vergr\xF6\xDF"
    "erung auf ganzen Schirm";
inline constexpr const char* kNormalView =
    "Zur\xFC"
    "ck zur Normaldarstellung";
inline constexpr const char* kListMarkable = "Liste aller markierbaren Strukturen";
inline constexpr const char* kShowMarkable = "Zeige alle markierbaren Strukturen";
inline constexpr const char* kHelp = "Hilfe";
inline constexpr const char* kSavePicture = "Bild speichern...";
inline constexpr const char* kCopyPicture = "Bild kopieren";

// Saving the picture.
inline constexpr const char* kCannotWrite = "Folgende Datei konnte nicht geschrieben werden: ";
inline constexpr const char* kPictureFilter = "Bilder (*.png *.jpg *.jpeg)";

// Names and descriptions for screen readers.
inline constexpr const char* kWindowName = "Bildfenster";
inline constexpr const char* kPageLabel = "Seite: ";
inline constexpr const char* kTypeLabel = ", Bildtyp: ";
inline constexpr const char* kHighlightedLabel = "Hervorgehoben: ";
inline constexpr const char* kKeys =
    "Tab und Umschalt+Tab: n\xE4"
    "chste und vorige Struktur, Eingabe: Fundorte der Struktur, "
    "Esc: Hervorhebung aufheben, Pfeiltasten: Bild verschieben, Strg+S: Bild speichern, "
    "Strg+C: Bild kopieren";
inline constexpr const char* kZoomBarName =
    "Vergr\xF6\xDF"
    "erung";
inline constexpr const char* kZoomBarDescription =
    "Stellt die Vergr\xF6\xDF"
    "erung des Bildes ein, von 1/3 bis 5";
inline constexpr const char* kOverviewBoxDescription =
    "Zeigt das ganze Bild verkleinert in einem eigenen Fenster";
inline constexpr const char* kFullViewBoxDescription =
    "Zeigt das Bild auf dem ganzen Schirm oder wieder an seinem Platz";
inline constexpr const char* kListDescription = "Die Auswahl eines Namens hebt die Struktur hervor";

// Overview window.
inline constexpr const char* kNoOverviewWindow =
    "Konnte \xDC"
    "bersichtsfenster nicht allokieren CPICWND";
inline constexpr const char* kNoOverviewMemory = "Konnte keinen Speicher allokieren!";

}  // namespace ostrelin::image_window_text
