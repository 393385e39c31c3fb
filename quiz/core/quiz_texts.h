#pragma once
// Texts of the quiz: its dialog, its messages, the score line and the strip (Windows-1252).

namespace ostrelin::quiz_text {

inline constexpr const char* kQuizCaption = "Testat";
// What a screen reader hears of the image while a quiz runs (the highlight would be the answer).
inline constexpr const char* kQuizRunning = "Testat l\xE4uft";
inline constexpr const char* kShowAnswer = "Zeige Antwort";
inline constexpr const char* kNextQuestion =
    "N\xE4"
    "chste Frage";
inline constexpr const char* kEndQuiz = "Test beenden";
inline constexpr const char* kNoStructures =
    "Auf diesem Bild existieren keine markierten Strukturen!";
inline constexpr const char* kWhereIs = "Wo befindet sich die folgende Struktur ?";
inline constexpr const char* kNameIt = "Benennen Sie die gekennzeichnete Struktur ?";
inline constexpr const char* kRight =
    "Ihre Antwort ist richtig !\nWeiter mit der n\xE4"
    "chsten Frage...";
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
inline constexpr const char* kOverlapNoneRight =
    "\xDC"
    "berlappende Strukturen / keine richtig";

}  // namespace ostrelin::quiz_text
