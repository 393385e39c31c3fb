#include "platform/ui/program_cursor.h"

#include <QPixmap>
#include <string>

#include "platform/ui/bitmap_store.h"

namespace ostrelin {
namespace {

struct CursorEntry {
  int id;
  int hotX, hotY;           // in the 32 x 32 bitmap
  Qt::CursorShape standIn;  // when the bitmap is missing
};

constexpr CursorEntry kCursors[] = {
    {cursor_id::kOneStructure, 15, 15, Qt::CrossCursor},
    {cursor_id::kSeveralStructures, 15, 15, Qt::WhatsThisCursor},
    {cursor_id::kLink, 10, 2, Qt::PointingHandCursor},
};

}  // namespace

QCursor ProgramCursor(int resourceId) {
  for (const CursorEntry& entry : kCursors) {
    if (entry.id != resourceId) continue;
    const QImage image = LoadBitmap("CURSOR" + std::to_string(resourceId));
    if (image.isNull()) return QCursor(entry.standIn);
    return QCursor(QPixmap::fromImage(image), entry.hotX, entry.hotY);
  }
  return QCursor(Qt::ArrowCursor);
}

}  // namespace ostrelin
