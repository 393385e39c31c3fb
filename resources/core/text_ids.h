#pragma once
// Identifiers of the program's string table. Every user-visible text and every fixed file and
// directory name is fetched through LoadText with one of these.

namespace ostrelin::text {

enum Id : int {
  // Program
  kProgramName = 1000,       // "Ostrelin"
  kLoading = 1001,           // "wird geladen..."
  kDataNotFound = 1002,      // "Daten nicht gefunden! Programm wird abgebrochen!"
  kTooFewColours = 1003,     // "Die Anzahl der Farben ist zu gering! Beenden ?"
  kResolutionTooLow = 1004,  // "Die Auflösung ist sehr gering ! Beenden ?"
  kReallyQuit = 1005,        // "Beenden! Sind Sie sicher ?"
  kPleaseWait = 1006,        // "Bitte warten..."
  kButtonYes = 1010,         // "&Ja"   buttons of the message boxes
  kButtonNo = 1011,          // "&Nein"
  kButtonOk = 1012,          // "OK"

  // Settings file
  kSettingsFile = 1100,     // "KARVOLEN.INI"
  kSettingsSection = 1101,  // "Karvolen"
  kKeyDataPath = 1102,
  kKeySavePath = 1103,
  kKeyMMPlayer = 1104,
  kKeyMMPlayerParam = 1105,
  kKeyMMPlayer2 = 1106,
  kKeyMMPlayerParam2 = 1107,
  kDefaultPlayer = 1108,       // "MPLAYER.EXE"
  kDefaultPlayerParam = 1109,  // "/play /close"

  // Data tree
  kDirDaten = 1200,             // "Daten\"
  kFileIndexList = 1201,        // "Index.LST"
  kFileStructureList = 1202,    // "Struktur.LST"
  kFileSynonyms = 1203,         // "SYNONYMS.LST"
  kFilePlaneListSuffix = 1204,  // ".POS"
  kDirImageSchnitt = 1210,      // "Bilder\Schnitt\"
  kDirImageCT = 1211,
  kDirImageMR = 1212,  // "Bilder\MRT\"
  kDirImageSchema = 1213,
  kDirTextSchnitt = 1220,  // "Texte\Schnitt\"
  kDirTextCT = 1221,
  kDirTextMR = 1222,  // "Texte\MRT\"
  kDirTextSchema = 1223,
  kDirTextOther = 1224,    // "Texte\Other\"
  kDirMultiMed = 1230,     // "MultiMed\"
  kFileStartSound = 1231,  // "START.WAV"

  kFontFace = 2025,             // "Arial"
  kFileCrossReferences = 2051,  // "Objekte.LST"
  kChoosePlane = 2264,          // "Ebene wählen..."

  // Navigation panel: the pictograms' resource names, also the names of their plane lists
  kPictogramArm = 2027,          // "SM_ARM"
  kPictogramLeg = 2028,          // "SM_BEIN"
  kPictogramHead = 2029,         // "SM_KOPF"
  kPictogramTrunk = 2030,        // "SM_RUMPF"
  kPictogramOverview = 2031,     // "SM_AUSW"
  kPictogramFemaleTrunk = 2035,  // "SF_RUMPF"
  // Text panel (hypertext)
  kFileNoText = 2300,    // "_KEINTXT.TXT", shown while the text is switched invisible
  kFileNoObject = 2301,  // "_KEINOBJ.TXT", shown for a name the catalogue does not know
  kFileNotFound = 2302,  // "Datei nicht gefunden"
  kEmptyText = 2303,     // "Leerer Text"
};

}  // namespace ostrelin::text
