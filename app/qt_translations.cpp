#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ostrelin {

std::unique_ptr<QTranslator> InstallQtTranslations(const QLocale& locale) {
  const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const QString name = QStringLiteral("qtbase");
  const QString separator = QStringLiteral("_");
  auto translator = std::make_unique<QTranslator>();
  const bool loaded =
      (locale.language() == QLocale::German &&
       translator->load(locale, name, separator, directory)) ||
      translator->load(QLocale(QLocale::German, QLocale::Germany), name, separator, directory);
  if (!loaded || !QCoreApplication::installTranslator(translator.get())) return nullptr;
  return translator;
}

}  // namespace ostrelin
