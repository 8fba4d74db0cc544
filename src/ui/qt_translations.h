#pragma once

#include <QString>

class QCoreApplication;

// The locale whose Qt translations the stock dialogs use: the system's, or
// zh_CN when the system names none (C, POSIX), since the program's own texts
// are Chinese.
QString QtTranslationLocale(const QString &systemLocaleName);

// Loads the "qtbase" translator of `localeName` into the application; false
// when no translation file was found (the stock dialogs stay in English).
bool InstallQtTranslations(QCoreApplication &app, const QString &localeName);
