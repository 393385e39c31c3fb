#pragma once
// The program's string table: German texts in Windows-1252, fetched by identifier.

#include <string>

#include "resources/core/text_ids.h"

namespace ostrelin {

inline constexpr const char* kTextNotFound = "TEXT-Ressource NICHT GEFUNDEN !?!";

// The entry with identifier `id` (Windows-1252), or "TEXT-Ressource NICHT GEFUNDEN !?!".
const std::string& LoadText(int id);

}  // namespace ostrelin
