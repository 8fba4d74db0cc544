// The stock dialogs speak the program's language.
#include "ui/file_dialogs.h"
#include "ui/qt_translations.h"
#include "ui_test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
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

TEST(QtTranslations, FolderChooserNamesTypesAndDatesInTheTextsLanguage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QFile file(dir.filePath(QStringLiteral("a.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QFileSystemModel files;
    QSignalSpy loaded(&files, &QFileSystemModel::directoryLoaded);
    files.setRootPath(dir.path());
    ASSERT_TRUE(loaded.wait(5000));
    CLocalizedFileModel shown;
    shown.setSourceModel(&files);
    const auto cell = [&](const QString &name, int column) {
        return shown.mapFromSource(files.index(dir.filePath(name)).siblingAtColumn(column)).data().toString();
    };
    EXPECT_EQ(cell(QStringLiteral("sub"), 2), QStringLiteral("文件夹"));
    EXPECT_EQ(cell(QStringLiteral("a.txt"), 2), QStringLiteral("txt 文件"));
    QLocale::setDefault(QLocale(QStringLiteral("zh_CN")));
    EXPECT_EQ(cell(QStringLiteral("a.txt"), 3),
              QLocale(QStringLiteral("zh_CN")).toString(files.lastModified(files.index(dir.filePath(QStringLiteral("a.txt")))),
                                                        QLocale::ShortFormat));
    QLocale::setDefault(QLocale::c());
}

TEST(QtTranslations, FolderWithoutAFileManagerIsNamed)
{
    // The offscreen platform opens nothing, as a desktop without a file manager.
    CRecordingMessageBox messages;
    OpenFolderOrSay(QStringLiteral("/tmp/相册"), messages);
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().constFirst().contains(QStringLiteral("/tmp/相册")));
}
