#pragma once
// Texts of the navigation panel (Windows-1252).

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
