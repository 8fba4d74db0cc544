#include "ui/clipboard_text.h"
#include "ui/program_folder.h"

#include <gtest/gtest.h>

TEST(ProgramFolder, EndsInOneSeparator)
{
    EXPECT_EQ(ProgramFolderFrom(QStringLiteral("/home/u/ostrel")), QStringLiteral("/home/u/ostrel/"));
    EXPECT_EQ(ProgramFolderFrom(QStringLiteral("/home/u/ostrel/")), QStringLiteral("/home/u/ostrel/"));
    EXPECT_EQ(ProgramFolderFrom(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(ProgramFolderFrom(QString(600, QLatin1Char('a'))).size(), 501);
}

TEST(TemporaryFolderRule, TempInAnyCaseOrLocals)
{
    const QString sysTemp = QStringLiteral("/tmp");
    EXPECT_TRUE(IsTemporaryFolder(QStringLiteral("/home/u/Temp/"), sysTemp));
    EXPECT_TRUE(IsTemporaryFolder(QStringLiteral("/home/u/TEMP/x/"), sysTemp));
    EXPECT_TRUE(IsTemporaryFolder(QStringLiteral("/home/u/temp"), sysTemp));
    EXPECT_TRUE(IsTemporaryFolder(QStringLiteral("/home/u/Local Settings/"), sysTemp) == false);
    EXPECT_TRUE(IsTemporaryFolder(QStringLiteral("/home/u/LocalSettings/"), sysTemp));
    EXPECT_FALSE(IsTemporaryFolder(QStringLiteral("/home/u/temperature/"), sysTemp));
    EXPECT_FALSE(IsTemporaryFolder(QStringLiteral("/home/u/ostrel/"), sysTemp));
}

TEST(TemporaryFolderRule, SystemTemporaryFolderCounts)
{
    EXPECT_TRUE(IsTemporaryFolder(QStringLiteral("/tmp/"), QStringLiteral("/tmp")));
    EXPECT_TRUE(IsTemporaryFolder(QStringLiteral("/tmp/archive-1/"), QStringLiteral("/tmp/")));
    EXPECT_FALSE(IsTemporaryFolder(QStringLiteral("/tmpfiles/"), QStringLiteral("/tmp")));
    // A root temporary folder would make every folder temporary.
    EXPECT_FALSE(IsTemporaryFolder(QStringLiteral("/home/u/"), QStringLiteral("/")));
    EXPECT_FALSE(IsTemporaryFolder(QStringLiteral("/home/u/"), QString()));
}

TEST(TemporaryFolderRule, ProposesTheDocumentsSubfolder)
{
    EXPECT_EQ(ProposedSavePath(QStringLiteral("/home/u/Temp/"), QStringLiteral("/tmp"), QStringLiteral("/home/u/Documents")),
              QStringLiteral("/home/u/Documents/Lumbrack/"));
    EXPECT_EQ(ProposedSavePath(QStringLiteral("/home/u/Temp/"), QStringLiteral("/tmp"), QStringLiteral("/home/u/Documents/")),
              QStringLiteral("/home/u/Documents/Lumbrack/"));
    EXPECT_EQ(ProposedSavePath(QStringLiteral("/home/u/app/"), QStringLiteral("/tmp"), QStringLiteral("/home/u/Documents")),
              QStringLiteral("/home/u/app/"));
}

TEST(StartupClipboard, TrimmedAndShorterThan200)
{
    EXPECT_EQ(StartupAddressFromClipboard(QStringLiteral("  https://item.jd.com/1.html \n")),
              QStringLiteral("https://item.jd.com/1.html"));
    EXPECT_EQ(StartupAddressFromClipboard(QString(199, QLatin1Char('x'))), QString(199, QLatin1Char('x')));
    EXPECT_TRUE(StartupAddressFromClipboard(QString(200, QLatin1Char('x'))).isEmpty());
    // Blanks around do not count towards the length.
    EXPECT_EQ(StartupAddressFromClipboard(QStringLiteral("  ") + QString(199, QLatin1Char('x')) + QStringLiteral("  ")).size(), 199);
    EXPECT_TRUE(StartupAddressFromClipboard(QStringLiteral(" \t\n")).isEmpty());
}
