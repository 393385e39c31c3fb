#pragma once
// Every fixed text of the windows, in Windows-1252, grouped by window: one catalogue, so that
// the desktop and the web edition say the same and a translation has one place to look. The
// numbered texts of the atlas stay in the string table (text_ids.h, LoadText).

// ---------------------------------------------------------------------------------------------
// The request processing, the history, the bookmarks and the help commands

namespace ostrelin {

inline constexpr const char* kStartPage = "START";            // the page opened at start-up
inline constexpr const char* kNoObjectText = "_KEINOBJ.TXT";  // "this name is unknown"
inline constexpr const char* kFirstImagePath = "xyz";         // matches no image path
inline constexpr const char* kBookmarkFileSuffix = ".BKM";
inline constexpr const char* kTooManyBookmarks = "Maximale Anzahl von Bookmarks erreicht !";
inline constexpr const char* kCannotSaveBookmarks = "Bookmark-Datei kann nicht gespeichert werden:";
// The help pages, ordinary pages of Index.LST (Windows-1252: 0xDC is 'Ü', 0xFC 'ü').
inline constexpr const char* kHelpOverviewPage =
    "Hilfe-\xDC"
    "bersicht";
inline constexpr const char* kContextHelpPage = "Hilfe-Kontextmen\xFC";

}  // namespace ostrelin

// ---------------------------------------------------------------------------------------------
// The image object

namespace ostrelin::image_text {

inline constexpr const char* kNoMemoryForImage =
    "Konnte keinen Speicher in JPGBILD fuer Bilddaten allokieren";
inline constexpr const char* kNoMemoryForZoom = "Konnte keinen Speicher fuer Zoombild allokieren!";
inline constexpr const char* kNoMemoryDrawVLine =
    "Konnte keinen Speicher bereitstellen in JPGBILD DrawVLine";
inline constexpr const char* kNoHighlight = "Kein hervorgehobenes Objekt";
inline constexpr const char* kFileNotFound = "Folgende Datei nicht gefunden";

// Caption of every box a decoder shows: the JPEG library's own messages and the refusals below.
inline constexpr const char* kDecoderCaption = "Fehler";

inline constexpr const char* kImageTooLarge =
    "Das Bild ist zu gro\xDF: h\xF6"
    "chstens 16384 Pixel Breite oder H\xF6he und 64 Millionen "
    "Pixel insgesamt.";
inline constexpr const char* kImageTooSmall =
    "Das Bild ist zu klein: mindestens 4 Pixel breit und 1 Pixel hoch.";
inline constexpr const char* kJpegColourSpace =
    "JPEG-Bilder in CMYK oder anderen Farbr\xE4umen werden nicht unterst\xFCtzt, nur Farbbilder "
    "(YCbCr) und Graustufenbilder.";
inline constexpr const char* kJpegTooManyScans =
    "Das JPEG-Bild besteht aus zu vielen Teilbildern (Scans) und wird nicht geladen.";
inline constexpr const char* kBmpNotBmp = "Die Datei ist keine BMP-Datei.";
inline constexpr const char* kBmpTruncated = "Die BMP-Datei ist unvollst\xE4ndig.";
inline constexpr const char* kBmpCompressed =
    "Komprimierte BMP-Dateien (RLE) werden nicht unterst\xFCtzt.";
inline constexpr const char* kBmpFormat =
    "Dieses BMP-Format wird nicht unterst\xFCtzt, nur 1, 4, 8 und 24 Bit pro Pixel.";
inline constexpr const char* kBmpPaletteTooLarge =
    "Die Farbpalette der BMP-Datei hat mehr Eintr\xE4ge, als die Farbtiefe erlaubt.";
inline constexpr const char* kBmpIndexOutsidePalette =
    "Die BMP-Datei enth\xE4lt einen Farbindex au\xDF"
    "erhalb ihrer Farbpalette.";

}  // namespace ostrelin::image_text

// ---------------------------------------------------------------------------------------------
// The image window and the overview

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

// ---------------------------------------------------------------------------------------------
// The quiz

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

// ---------------------------------------------------------------------------------------------
// The navigation panel

namespace ostrelin::navigation_text {

// The navigation panel's controls, as screen readers name and describe them.
inline constexpr const char* kPanelName = "Bildauswahl";
inline constexpr const char* kSexName = "Geschlecht";
inline constexpr const char* kSexDescription =
    "Wechselt zwischen der m\xE4nnlichen und der weiblichen Serie";
inline constexpr const char* kConfirmName =
    "Ebene \xF6"
    "ffnen";
inline constexpr const char* kConfirmDescription = "Zeigt die gew\xE4hlte Ebene";
inline constexpr const char* kHeadName = "Kopf";
inline constexpr const char* kHeadDescription = "W\xE4hlt die K\xF6rperregion Kopf";
inline constexpr const char* kTrunkName = "Rumpf";
inline constexpr const char* kTrunkDescription = "W\xE4hlt die K\xF6rperregion Rumpf";
inline constexpr const char* kArmName = "Arm";
inline constexpr const char* kArmDescription = "W\xE4hlt die K\xF6rperregion Arm";
inline constexpr const char* kLegName = "Bein";
inline constexpr const char* kLegDescription = "W\xE4hlt die K\xF6rperregion Bein";
inline constexpr const char* kUpperName = "Ebene aufw\xE4rts";
inline constexpr const char* kUpperDescription =
    "W\xE4hlt die n\xE4"
    "chste Ebene dar\xFC"
    "ber";
inline constexpr const char* kLowerName = "Ebene abw\xE4rts";
inline constexpr const char* kLowerDescription =
    "W\xE4hlt die n\xE4"
    "chste Ebene darunter";

}  // namespace ostrelin::navigation_text

// ---------------------------------------------------------------------------------------------
// The search window

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

// ---------------------------------------------------------------------------------------------
// The text panel

namespace ostrelin::hypertext_text {

// What a screen reader calls the panel, and the word before the list of its links.
inline constexpr const char* kPanelName = "Beschreibungstext";
inline constexpr const char* kLinks = " Verweise: ";

}  // namespace ostrelin::hypertext_text

// ---------------------------------------------------------------------------------------------
// The main window, the start dialog and the about box

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
