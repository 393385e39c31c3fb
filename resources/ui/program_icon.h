#pragma once
// The program's icon (resource 102), compiled in from the artwork as ":/icons/102.png".

#include <QIcon>

namespace ostrelin {

inline constexpr int kProgramIconId = 102;

// The icon of the atlas's windows and of the about box; a null icon if it was not linked in.
QIcon ProgramIcon();

}  // namespace ostrelin
