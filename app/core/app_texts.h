#pragma once
// Texts of the main window, the start dialog and the about box (Windows-1252).

namespace ostrelin::app_text {

// The picture buttons below the text: caption and what a screen reader says each one does.
inline constexpr const char* kSchnittButton = "Schnitt";
inline constexpr const char* kSchnittDescription = "Zeigt das Schnittbild der Seite";
inline constexpr const char* kCTButton = "CT";
inline constexpr const char* kCTDescription = "Zeigt das CT-Bild der Seite";
inline constexpr const char* kMRButton = "MR";
inline constexpr const char* kMRDescription = "Zeigt das MR-Bild der Seite";
inline constexpr const char* kSchemaButton = "Schema";
inline constexpr const char* kSchemaDescription = "Zeigt die Schemazeichnung der Seite";
inline constexpr const char* kBildIndexButton = "Bild/Index";
inline constexpr const char* kBildIndexDescription =
    "Wechselt zwischen der Bildauswahl und dem Index";
inline constexpr const char* kHelpButton = "&Hilfe";
inline constexpr const char* kHelpDescription =
    "\xD6"
    "ffnet die Hilfe-\xDC"
    "bersicht";

// The start dialog.
inline constexpr const char* kProgramStart = "&Programmstart";
inline constexpr const char* kQuickOverview =
    "&Schnell\xFC"
    "bersicht";
inline constexpr const char* kStartCredits =
    "Willkommen bei Ostrelin!\n\n"
    "karvolen \x96 der interaktive Atlas der Schnittanatomie f\xFCr die Lehre\n\n"
    "Herausgegeben vom Ostrelin-Team\n\n"
    "Anatomische Inhalte, Bildgebung, Didaktik und Programmierung: "
    "die Arbeitsgruppen des Ostrelin-Teams";

// "Über Karvolen" and the names of everyone involved.
inline constexpr const char* kAboutTitle =
    "\xDC"
    "ber Karvolen...";
inline constexpr const char* kAboutCredits =
    "\nOstrelin\n"
    "karvolen \x96 interaktiver Atlas der Schnittanatomie f\xFCr die Lehre\n\n\n\n\n"
    "Ein Werk des Ostrelin-Teams";
inline constexpr const char* kNamesButton = "&Namen";
inline constexpr const char* kNamesTitle = "Die Namen aller Beteiligten...";
inline constexpr const char* kProgramHeading = "Programm und Bildverarbeitung";
inline constexpr const char* kProgramNames =
    "Programmierung: Entwicklergruppe des Ostrelin-Teams\n"
    "Bildgebung und Aufbereitung der Schnittbilder: Arbeitsgruppe Bildgebung\n"
    "Umrisse der Strukturen: Arbeitsgruppe Datenaufbereitung";
inline constexpr const char* kContentHeading = "Inhalte und Didaktik";
inline constexpr const char* kContentNames =
    "Anatomische Inhalte und Texte: Arbeitsgruppe Anatomie\n"
    "Didaktisches Konzept und Testat: Arbeitsgruppe Lehre\n"
    "Herausgeber: das Ostrelin-Team";
inline constexpr const char* kOk = "&OK";

}  // namespace ostrelin::app_text
