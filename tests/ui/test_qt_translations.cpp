// The stock dialogs speak the program's language.
#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QTranslator>
#include <gtest/gtest.h>

TEST(QtTranslations, LocaleWithoutNameFallsBackToSimplifiedChinese)
{
    const struct
    {
        const char *system;
        const char *used;
    } cases[] = {{"C", "zh_CN"}, {"POSIX", "zh_CN"}, {"", "zh_CN"}, {"C.UTF-8", "zh_CN"},
                 {"zh_TW", "zh_TW"}, {"de_DE", "de_DE"}, {"en_US.UTF-8", "en_US"}};
    for (const auto &c : cases)
        EXPECT_EQ(QtTranslationLocale(QString::fromLatin1(c.system)), QString::fromLatin1(c.used)) << c.system;
}

TEST(QtTranslations, ChineseButtonsOnceInstalled)
{
    auto &app = *QCoreApplication::instance();
    ASSERT_TRUE(InstallQtTranslations(app, QStringLiteral("zh_CN")));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    // Leave the shared application as it was for the other tests.
    for (QTranslator *t : app.findChildren<QTranslator *>())
        QCoreApplication::removeTranslator(t);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_FALSE(InstallQtTranslations(app, QStringLiteral("xx_YY")));
}
