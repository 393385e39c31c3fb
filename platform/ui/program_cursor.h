#pragma once
// The atlas's own cursors by resource number: 4024 (one structure under the mouse), 4025 (several
// overlapping structures) and 4026 (a link in the text). Each is the bitmap "CURSOR<number>" of the
// bitmap store (32 x 32, transparent ground) with its hot spot from the table in the source;
// without the bitmap a standard shape of the same meaning stands in.

#include <QCursor>

namespace ostrelin {

namespace cursor_id {
inline constexpr int kOneStructure = 4024;
inline constexpr int kSeveralStructures = 4025;
inline constexpr int kLink = 4026;
}  // namespace cursor_id

QCursor ProgramCursor(int resourceId);

}  // namespace ostrelin
