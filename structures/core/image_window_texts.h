#pragma once
// Texts of the image window, the quiz and the overview window (Windows-1252).

namespace ostrelin::image_window_text {

inline constexpr const char* kOverviewBox = "\xDC" "bersicht";
inline constexpr const char* kFullViewBox = "Vollansicht";
inline constexpr const char* kFileNotFound = "Folgende Datei nicht gefunden";
inline constexpr const char* kNoObjectList = "Objektliste kann nicht erstellt werden";
inline constexpr const char* kSeveralHighlighted = "Mehrere Objekte hervorgehoben";
inline constexpr const char* kNoHighlight = "Kein hervorgehobenes Objekt";
inline constexpr const char* kOverlapCaption = "M\xF6gliche (\xFC" "berlappende) Strukturen";
inline constexpr const char* kMarkableCaption = "Markierbare Strukturen";
inline constexpr const char* kFoundOnSuffix = " gefunden auf";

// Context menu.
inline constexpr const char* kFullView = "Vergr\xF6\xDF" "erung auf ganzen Schirm";
inline constexpr const char* kNormalView = "Zur\xFC" "ck zur Normaldarstellung";
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
inline constexpr const char* kQuizRunning = "Testat l\xE4uft";
inline constexpr const char* kKeys =
    "Tab und Umschalt+Tab: n\xE4" "chste und vorige Struktur, Eingabe: Fundorte der Struktur, "
    "Esc: Hervorhebung aufheben, Pfeiltasten: Bild verschieben, Strg+S: Bild speichern, "
    "Strg+C: Bild kopieren";
inline constexpr const char* kZoomBarName = "Vergr\xF6\xDF" "erung";
inline constexpr const char* kZoomBarDescription =
    "Stellt die Vergr\xF6\xDF" "erung des Bildes ein, von 1/3 bis 5";
inline constexpr const char* kOverviewBoxDescription =
    "Zeigt das ganze Bild verkleinert in einem eigenen Fenster";
inline constexpr const char* kFullViewBoxDescription =
    "Zeigt das Bild auf dem ganzen Schirm oder wieder an seinem Platz";
inline constexpr const char* kListDescription =
    "Die Auswahl eines Namens hebt die Struktur hervor";

// Quiz.
inline constexpr const char* kQuizCaption = "Testat";
inline constexpr const char* kShowAnswer = "Zeige Antwort";
inline constexpr const char* kNextQuestion = "N\xE4" "chste Frage";
inline constexpr const char* kEndQuiz = "Test beenden";
inline constexpr const char* kNoStructures =
    "Auf diesem Bild existieren keine markierten Strukturen!";
inline constexpr const char* kWhereIs = "Wo befindet sich die folgende Struktur ?";
inline constexpr const char* kNameIt = "Benennen Sie die gekennzeichnete Struktur ?";
inline constexpr const char* kRight = "Ihre Antwort ist richtig !\nWeiter mit der n\xE4" "chsten Frage...";
inline constexpr const char* kWrong = "Ihre Antwort ist leider falsch ! Sie haben gew\xE4hlt:\n%1";
// The score line below the quiz dialog's buttons and the strip after a wrong click.
inline constexpr const char* kScore = "Richtig: %1   Falsch: %2   Gezeigt: %3   Offen: %4";
inline constexpr const char* kConfusion = "Gew\xE4hlt: %1 \xB7 Gesucht: %2";
inline constexpr const char* kSeriesDone = "Alle Ebenen der Serie sind abgefragt.\n";
// The end of a run, after its last question or on "Test beenden".
inline constexpr const char* kResult = "Ergebnis: %1 von %2 richtig, %3 falsch, %4 gezeigt";
// After an answer right but for one typing error.
inline constexpr const char* kRightSpelling = "Richtig geschrieben: %1";
// In a series, the plane asked.
inline constexpr const char* kPlaneAsked = "Ebene %1 von %2: %3";
inline constexpr const char* kOverlapNoneRight = "\xDC" "berlappende Strukturen / keine richtig";

// Overview window.
inline constexpr const char* kNoOverviewWindow = "Konnte \xDC" "bersichtsfenster nicht allokieren CPICWND";
inline constexpr const char* kNoOverviewMemory = "Konnte keinen Speicher allokieren!";

}  // namespace ostrelin::image_window_text
