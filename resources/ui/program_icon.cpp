#include "resources/ui/program_icon.h"

#include <QFile>

namespace ostrelin {

QIcon ProgramIcon() {
  const QString path = QStringLiteral(":/icons/%1.png").arg(kProgramIconId);
  return QFile::exists(path) ? QIcon(path) : QIcon();
}

}  // namespace ostrelin
