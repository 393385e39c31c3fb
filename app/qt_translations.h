#pragma once
// Qt's own texts (the file dialogs, the standard buttons, the edit fields' context menus) in
// German, as every text of the atlas is.

#include <QLocale>
#include <QTranslator>
#include <memory>

namespace ostrelin {

// Loads Qt's translation for `locale` when its language is German (so a regional variant is
// preferred where one is shipped), and the German one for any other language: the atlas speaks
// German only, and an English or French file dialog inside it would be the one foreign window.
// The translator is installed in the application and removed when it is destroyed; null when no
// translation could be read (the package with Qt's translations is missing), so Qt's texts stay
// English.
std::unique_ptr<QTranslator> InstallQtTranslations(const QLocale& locale = QLocale());

}  // namespace ostrelin
