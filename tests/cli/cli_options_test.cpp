// ostrel-cli's command line, input lists and progress text, without running it.

#include "cli/cli_options.h"
#include "cli/cli_progress.h"
#include "ostrel_version.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

CliParse Parse(QStringList args)
{
    args.prepend(QStringLiteral("ostrel-cli"));
    return ParseCliOptions(args);
}

TEST(CliOptions, EveryOptionReachesItsField)
{
    const CliParse p = Parse({QStringLiteral("-gq"), QStringLiteral("--threads"), QStringLiteral("15"),
                              QStringLiteral("--timeout=10"), QStringLiteral("--min-kb"), QStringLiteral("0"),
                              QStringLiteral("--max-kb"), QStringLiteral("65535"), QStringLiteral("-i"),
                              QStringLiteral("a.txt"), QStringLiteral("--input-file"), QStringLiteral("-"),
                              QStringLiteral("--save"), QStringLiteral("/pics"), QStringLiteral("u1"),
                              QStringLiteral("u2")});
    ASSERT_EQ(p.action, CliParse::Run) << p.text.toStdString();
    const CliOptions &o = p.options;
    EXPECT_TRUE(o.bGetUrls);
    EXPECT_TRUE(o.bQuiet);
    EXPECT_EQ(o.run.wThreads, 15);
    EXPECT_EQ(o.run.wTimeoutSec, 10);
    EXPECT_EQ(o.run.wMinKB, 0);
    EXPECT_EQ(o.run.wMaxKB, 65535);
    EXPECT_FALSE(o.run.NamesOnly()); // the front end sets the listing itself
    EXPECT_EQ(o.inputFiles, (QStringList{QStringLiteral("a.txt"), QStringLiteral("-")}));
    EXPECT_EQ(o.savePath, QStringLiteral("/pics"));
    EXPECT_EQ(o.addresses, (QStringList{QStringLiteral("u1"), QStringLiteral("u2")}));
    EXPECT_TRUE(o.programFolder.isEmpty());
}

TEST(CliOptions, BadCommandLinesAreUsageErrors)
{
    const QStringList cases[] = {
        {},
        {QStringLiteral("--threads"), QStringLiteral("0"), QStringLiteral("u")},
        {QStringLiteral("--threads"), QStringLiteral("16"), QStringLiteral("u")},
        {QStringLiteral("--threads"), QStringLiteral("4x"), QStringLiteral("u")},
        {QStringLiteral("--timeout"), QStringLiteral("9"), QStringLiteral("u")},
        {QStringLiteral("--min-kb"), QStringLiteral("-1"), QStringLiteral("u")},
        {QStringLiteral("--max-kb"), QStringLiteral("65536"), QStringLiteral("u")},
        {QStringLiteral("--bogus"), QStringLiteral("u")},
        {QStringLiteral("-i")},
        {QStringLiteral("--program-folder"), QStringLiteral("/no/such/folder"), QStringLiteral("u")},
        {QStringLiteral("--program-folder"), QStringLiteral("/"), QStringLiteral("--app-data"), QStringLiteral("u")},
    };
    for (const QStringList &args : cases) {
        const CliParse p = Parse(args);
        EXPECT_EQ(p.action, CliParse::UsageError) << args.join(u' ').toStdString();
        EXPECT_FALSE(p.text.isEmpty()) << args.join(u' ').toStdString();
    }
}

TEST(CliOptions, HelpAndVersion)
{
    const CliParse help = Parse({QStringLiteral("--help")});
    EXPECT_EQ(help.action, CliParse::Help);
    EXPECT_TRUE(help.text.startsWith(QStringLiteral("usage: ostrel-cli ")));
    EXPECT_TRUE(help.text.contains(QStringLiteral("Exit status")));
    const CliParse version = Parse({QStringLiteral("--version")});
    EXPECT_EQ(version.action, CliParse::Version);
    EXPECT_EQ(version.text, QStringLiteral("ostrel-cli %1\n").arg(QLatin1String(kOstrelVersion)));
}

TEST(CliOptions, ProgramFolderIsAbsoluteWithItsSeparator)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QStringLiteral("prog")));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    const CliParse p = Parse({QStringLiteral("--program-folder"), QStringLiteral("prog"), QStringLiteral("u")});
    QDir::setCurrent(before);
    ASSERT_EQ(p.action, CliParse::Run) << p.text.toStdString();
    EXPECT_EQ(p.options.programFolder, tmp.path() + QStringLiteral("/prog/"));
}

TEST(CliOptions, AppDataMakesTheDataFolder)
{
    QTemporaryDir tmp;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", tmp.path().toUtf8());
    const CliParse p = Parse({QStringLiteral("--app-data"), QStringLiteral("u")});
    qputenv("XDG_DATA_HOME", before);
    ASSERT_EQ(p.action, CliParse::Run) << p.text.toStdString();
    EXPECT_EQ(p.options.programFolder, tmp.path() + QStringLiteral("/Lumbrack/Ostrel/"));
    EXPECT_TRUE(QDir(p.options.programFolder).exists());
}

TEST(CliProgress, LineShowsBytesAndSpeed)
{
    const QString pool = QStringLiteral("已下载2/5......");
    EXPECT_EQ(ProgressLine(pool, 900, 0), pool + QStringLiteral("  900 B"));
    EXPECT_EQ(ProgressLine(pool, 3 * 1024 * 1024, 2000), pool + QStringLiteral("  3.0 MB  1.5 MB/s"));
    EXPECT_EQ(ProgressLine(pool, 20 * 1024, 1000), pool + QStringLiteral("  20 KB  20 KB/s"));
}

} // namespace
