#include "resources/core/string_table.h"

#include <unordered_map>

#include "platform/core/cp1252.h"

namespace ostrelin {
namespace {

struct Entry {
  int id;
  const char* utf8;  // written in UTF-8 here for the reader's sake; handed out as Windows-1252
};

constexpr Entry kEntries[] = {
    {text::kProgramName, "Ostrelin"},
    {text::kLoading, "wird geladen..."},
    {text::kDataNotFound, "Daten nicht gefunden! Programm wird abgebrochen!"},
    {text::kTooFewColours, "Die Anzahl der Farben ist zu gering! Beenden ?"},
    {text::kResolutionTooLow, "Die Auflösung ist sehr gering ! Beenden ?"},
    {text::kReallyQuit, "Beenden! Sind Sie sicher ?"},
    {text::kPleaseWait, "Bitte warten..."},
    {text::kButtonYes, "&Ja"},
    {text::kButtonNo, "&Nein"},
    {text::kButtonOk, "OK"},

    {text::kSettingsFile, "KARVOLEN.INI"},
    {text::kSettingsSection, "Karvolen"},
    {text::kKeyDataPath, "DataPath"},
    {text::kKeySavePath, "SavePath"},
    {text::kKeyMMPlayer, "MMPlayer"},
    {text::kKeyMMPlayerParam, "MMPlayerParam"},
    {text::kKeyMMPlayer2, "MMPlayer2"},
    {text::kKeyMMPlayerParam2, "MMPlayerParam2"},
    {text::kDefaultPlayer, "MPLAYER.EXE"},
    {text::kDefaultPlayerParam, "/play /close"},

    {text::kDirDaten, "Daten\\"},
    {text::kFileIndexList, "Index.LST"},
    {text::kFileStructureList, "Struktur.LST"},
    {text::kFileSynonyms, "SYNONYMS.LST"},
    {text::kFilePlaneListSuffix, ".POS"},
    {text::kDirImageSchnitt, "Bilder\\Schnitt\\"},
    {text::kDirImageCT, "Bilder\\CT\\"},
    {text::kDirImageMR, "Bilder\\MRT\\"},
    {text::kDirImageSchema, "Bilder\\Schema\\"},
    {text::kDirTextSchnitt, "Texte\\Schnitt\\"},
    {text::kDirTextCT, "Texte\\CT\\"},
    {text::kDirTextMR, "Texte\\MRT\\"},
    {text::kDirTextSchema, "Texte\\Schema\\"},
    {text::kDirTextOther, "Texte\\Other\\"},
    {text::kDirMultiMed, "MultiMed\\"},
    {text::kFileStartSound, "START.WAV"},

    {text::kFontFace, "Arial"},
    {text::kFileCrossReferences, "Objekte.LST"},
    {text::kChoosePlane, "Ebene wählen..."},

    // Navigation panel: pictograms
    {text::kPictogramArm, "SM_ARM"},
    {text::kPictogramLeg, "SM_BEIN"},
    {text::kPictogramHead, "SM_KOPF"},
    {text::kPictogramTrunk, "SM_RUMPF"},
    {text::kPictogramOverview, "SM_AUSW"},
    {text::kPictogramFemaleTrunk, "SF_RUMPF"},
    // Text panel (hypertext)
    {text::kFileNoText, "_KEINTXT.TXT"},
    {text::kFileNoObject, "_KEINOBJ.TXT"},
    {text::kFileNotFound, "Datei nicht gefunden"},
    {text::kEmptyText, "Leerer Text"},
};

const std::unordered_map<int, std::string>& Table() {
  static const auto* table = [] {
    auto* map = new std::unordered_map<int, std::string>;
    for (const Entry& e : kEntries) map->emplace(e.id, Utf8ToCp1252(e.utf8));
    return map;
  }();
  return *table;
}

}  // namespace

const std::string& LoadText(int id) {
  static const std::string notFound = kTextNotFound;
  const auto& table = Table();
  const auto it = table.find(id);
  return it == table.end() ? notFound : it->second;
}

}  // namespace ostrelin
