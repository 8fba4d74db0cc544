#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

QString QtTranslationLocale(const QString &systemLocaleName)
{
    const QString name = systemLocaleName.section(QLatin1Char('.'), 0, 0);
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return QStringLiteral("zh_CN");
    return name;
}

bool InstallQtTranslations(QCoreApplication &app, const QString &localeName)
{
    const QLocale locale(localeName);
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    translator.release()->setParent(&app);  // the application owns it from here
    return true;
}
