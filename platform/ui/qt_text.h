#pragma once
// Windows-1252 texts at the Qt edge. The core keeps every text as Windows-1252 bytes; widgets and
// Qt APIs take UTF-16. Characters without a Windows-1252 byte become '?' on the way back.

#include <QString>
#include <string>
#include <string_view>

namespace ostrelin {

QString ToQString(std::string_view cp1252);
std::string FromQString(const QString& text);

}  // namespace ostrelin
