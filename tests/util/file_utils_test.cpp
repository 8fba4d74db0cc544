#include "util/file_utils.h"

#include "util/recording_message_box.h"
#include "util/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>
#include <sys/stat.h>

namespace {

QString Safe(const QString &in, int index = 0, bool fallback = false)
{
    QString s = in;
    MakeSafeFileName(s, index, fallback);
    return s;
}

bool IsTimeStamp(const QString &s)
{
    return QRegularExpression(QStringLiteral("^\\d{14}$")).match(s).hasMatch();
}

void WriteFile(const QString &path, const QByteArray &data)
{
    ASSERT_TRUE(WriteTestFile(path, data));
}

QByteArray ReadFile(const QString &path)
{
    return ReadTestFile(path);
}

// ---- MakeSafeFileName -------------------------------------------------------

TEST(MakeSafeFileName, CollapsesSpaceRunsAndTrims)
{
    EXPECT_EQ(Safe(QStringLiteral("  a     b  c ")), QStringLiteral("a b c"));
}

TEST(MakeSafeFileName, DotsOnlyBecomeIdeographicFullStops)
{
    EXPECT_EQ(Safe(QStringLiteral("...")), QString(3, QChar(0x3002)));
    EXPECT_EQ(Safe(QStringLiteral(" . ")), QString(QChar(0x3002)));
}

TEST(MakeSafeFileName, DropsCharactersFileNamesCannotHold)
{
    EXPECT_EQ(Safe(QStringLiteral("x/y:z")), QStringLiteral("xyz"));
    EXPECT_EQ(Safe(QStringLiteral("a\\b*c?d\"e<f>g|h\r\ni")), QStringLiteral("abcdefghi"));
    EXPECT_EQ(Safe(QStringLiteral("bell") + QChar(7) + QStringLiteral("x")), QStringLiteral("bellx"));
}

TEST(MakeSafeFileName, TabsBecomeUnderscores)
{
    EXPECT_EQ(Safe(QStringLiteral("a\tb")), QStringLiteral("a_b"));
}

TEST(MakeSafeFileName, StripsDotsAtBothEnds)
{
    EXPECT_EQ(Safe(QStringLiteral(".name.")), QStringLiteral("name"));
    EXPECT_EQ(Safe(QStringLiteral("..a.b..")), QStringLiteral("a.b"));
    // Blanks uncovered by the dot trimming go too.
    EXPECT_EQ(Safe(QStringLiteral(". name .")), QStringLiteral("name"));
}

// Found by fuzzing: dropped characters left blanks around dots, and the
// trimming that followed uncovered a parent-folder name.
TEST(MakeSafeFileName, NeverGivesTheParentFolder)
{
    for (const QString &in : {QStringLiteral("* .. *"), QStringLiteral("| . |"), QStringLiteral(": .. . ..:")}) {
        EXPECT_EQ(Safe(in), QString()) << in.toStdString();
        EXPECT_EQ(Safe(in, 2, true), QStringLiteral("pic2")) << in.toStdString();
    }
    EXPECT_EQ(Safe(QStringLiteral("x. .")), QStringLiteral("x"));
}

// Found by fuzzing: a zero character made a name no file can have.
TEST(MakeSafeFileName, DropsZeroCharacters)
{
    EXPECT_EQ(Safe(QStringLiteral("a") + QChar(0) + QStringLiteral("b")), QStringLiteral("ab"));
    EXPECT_EQ(Safe(QString(2, QChar(0)), 4, true), QStringLiteral("pic4"));
}

TEST(MakeSafeFileName, DecodesEntitiesFirst)
{
    EXPECT_EQ(Safe(QStringLiteral("A&amp;B &lt;x&gt;")), QStringLiteral("A&B x"));
    EXPECT_EQ(Safe(QStringLiteral("a&nbsp;&nbsp;b")), QStringLiteral("a b"));
}

TEST(MakeSafeFileName, FallbackNames)
{
    EXPECT_EQ(Safe(QString(), 7, true), QStringLiteral("pic7"));
    EXPECT_EQ(Safe(QStringLiteral("//::"), 3, true), QStringLiteral("pic3"));
    EXPECT_TRUE(IsTimeStamp(Safe(QString(), SAFE_NAME_TIMESTAMP, true)));
    // Without the fallback an empty name stays empty.
    EXPECT_EQ(Safe(QStringLiteral("???"), 7, false), QString());
}

TEST(MakeSafeFileName, ThousandCharactersAreTooLong)
{
    const QString n999(999, QChar(u'x'));
    EXPECT_EQ(Safe(n999, 1, true), n999);
    EXPECT_EQ(Safe(QString(1000, QChar(u'x')), 1, true), QStringLiteral("pic1"));
    EXPECT_EQ(Safe(QString(1000, QChar(u'x')), 1, false).size(), 1000);
}

TEST(MakeSafeFileName, AddsNoExtension)
{
    EXPECT_EQ(Safe(QStringLiteral("京东 商品"), 0, true), QStringLiteral("京东 商品"));
}

TEST(TrimDots, OnlyTheEndRuns)
{
    QString a = QStringLiteral("a.b...");
    TrimTrailingDots(a);
    EXPECT_EQ(a, QStringLiteral("a.b"));
    QString b = QStringLiteral("...a.b.");
    TrimLeadingDots(b);
    EXPECT_EQ(b, QStringLiteral("a.b."));
    QString c = QStringLiteral("..");
    TrimTrailingDots(c);
    EXPECT_TRUE(c.isEmpty());
}

TEST(FormatTimeStamp, FourteenDigitsOfLocalTime)
{
    const int64_t t = 1700000000;
    const time_t tt = time_t(t);
    struct tm local {};
    localtime_r(&tt, &local);
    char buf[32];
    strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &local);
    EXPECT_EQ(FormatTimeStamp(t), QString::fromLatin1(buf));
    EXPECT_TRUE(IsTimeStamp(FormatTimeStamp(t)));
}

TEST(FormatTimeStamp, UnconvertibleTimeIsEmpty)
{
    EXPECT_EQ(FormatTimeStamp(INT64_MAX), QString());
}

TEST(FitNameBytes, CutsAtCharacterBoundaries)
{
    QString a(300, QChar(u'a'));
    FitNameBytes(a);
    EXPECT_EQ(a.size(), 255);
    QString zh(100, QChar(0x4E2D)); // 3 bytes each
    FitNameBytes(zh);
    EXPECT_EQ(zh.size(), 85);
    QString pairs = QString::fromUcs4(U"\U0001F600\U0001F600");
    FitNameBytes(pairs, 7);
    EXPECT_EQ(pairs.size(), 2); // one whole pair, never half of one
    QString shortName = QStringLiteral("abc");
    FitNameBytes(shortName);
    EXPECT_EQ(shortName, QStringLiteral("abc"));
}

// ---- CreateDirectoryPath ---------------------------------------------------

TEST(CreateDirectoryPath, CreatesEveryMissingLevel)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QString path = QStringLiteral("  ") + tmp.path() + QStringLiteral("/a/b/c ");
    CRecordingMessageBox box;
    EXPECT_TRUE(CreateDirectoryPath(path, &box));
    EXPECT_EQ(path, tmp.path() + QStringLiteral("/a/b/c/"));
    EXPECT_TRUE(QFileInfo(tmp.path() + QStringLiteral("/a/b/c")).isDir());
    EXPECT_TRUE(box.texts.isEmpty());
}

TEST(CreateDirectoryPath, KeepsOneTrailingSeparatorAndTheRoot)
{
    QTemporaryDir tmp;
    QString path = tmp.path() + QStringLiteral("/x/");
    EXPECT_TRUE(CreateDirectoryPath(path));
    EXPECT_EQ(path, tmp.path() + QStringLiteral("/x/"));
    EXPECT_TRUE(path.startsWith(u'/'));
    QString root = QStringLiteral("/");
    EXPECT_TRUE(CreateDirectoryPath(root));
    EXPECT_EQ(root, QStringLiteral("/"));
}

TEST(CreateDirectoryPath, ExistingFoldersAndDoubleSeparatorsAreFine)
{
    QTemporaryDir tmp;
    QString path = tmp.path() + QStringLiteral("//d1///d2");
    EXPECT_TRUE(CreateDirectoryPath(path));
    EXPECT_TRUE(QFileInfo(tmp.path() + QStringLiteral("/d1/d2")).isDir());
    QString again = tmp.path() + QStringLiteral("/d1/d2");
    EXPECT_TRUE(CreateDirectoryPath(again));
}

TEST(CreateDirectoryPath, RelativePathsStartAtTheCurrentFolder)
{
    QTemporaryDir tmp;
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    QString path = QStringLiteral("rel/sub");
    const bool ok = CreateDirectoryPath(path);
    QDir::setCurrent(old);
    EXPECT_TRUE(ok);
    EXPECT_EQ(path, QStringLiteral("rel/sub/"));
    EXPECT_TRUE(QFileInfo(tmp.path() + QStringLiteral("/rel/sub")).isDir());
}

TEST(CreateDirectoryPath, FailureShowsTheFailingFolder)
{
    QTemporaryDir tmp;
    WriteFile(tmp.path() + QStringLiteral("/file"), "x");
    QString path = tmp.path() + QStringLiteral("/file/sub/deeper");
    CRecordingMessageBox box;
    EXPECT_FALSE(CreateDirectoryPath(path, &box));
    ASSERT_EQ(box.texts.size(), 1);
    EXPECT_EQ(box.texts[0], tmp.path() + QStringLiteral("/file"));
    EXPECT_FALSE(CreateDirectoryPath(path)); // no box: quiet
}

TEST(CreateDirectoryPath, ChineseNames)
{
    QTemporaryDir tmp;
    QString path = tmp.path() + QStringLiteral("/京东/商品 (1)");
    EXPECT_TRUE(CreateDirectoryPath(path));
    EXPECT_TRUE(QFileInfo(tmp.path() + QStringLiteral("/京东/商品 (1)")).isDir());
}

// ---- FixExtensionByContent -------------------------------------------------

struct Signature
{
    QByteArray head;
    const char *ext;
};

TEST(FixExtensionByContent, RenamesBySignature)
{
    const Signature table[] = {
        {QByteArray("\xFF\xD8\xFF\xE0", 4), ".jpg"},
        {QByteArray("\x89PNG\r\n", 6), ".png"},
        {QByteArray("GIF89a"), ".gif"},
        {QByteArray("BM\x10\x00", 4), ".bmp"},
        {QByteArray("II*\x00", 4), ".tiff"},
        {QByteArray("MM\x00*", 4), ".tiff"},
        {QByteArray("\x00\x00\x02\x00\x00\x00\x00", 7), ".tga"},
        {QByteArray("\x00\x00\x10\x00\x00\x00\x00", 7), ".tga"},
        {QByteArray("\x00\x00\x01\x00\x01\x00", 6), ".ico"},
        {QByteArray("\x00\x00\x02\x00\x01\x00", 6), ".cur"},
    };
    QTemporaryDir tmp;
    int i = 0;
    for (const Signature &sig : table) {
        QString path = tmp.path() + QStringLiteral("/f%1.dat").arg(i++);
        WriteFile(path, sig.head + QByteArray("rest"));
        const QString expected = path.left(path.size() - 4) + QLatin1String(sig.ext);
        EXPECT_TRUE(FixExtensionByContent(path)) << sig.ext;
        EXPECT_EQ(path, expected);
        EXPECT_TRUE(QFileInfo::exists(expected));
        EXPECT_EQ(ReadFile(expected), sig.head + QByteArray("rest"));
    }
}

TEST(FixExtensionByContent, UpperCaseJpgBecomesLowerCase)
{
    QTemporaryDir tmp;
    QString path = tmp.path() + QStringLiteral("/a.JPG");
    WriteFile(path, "\xFF\xD8 jpeg");
    EXPECT_TRUE(FixExtensionByContent(path));
    EXPECT_EQ(path, tmp.path() + QStringLiteral("/a.jpg"));
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + QStringLiteral("/a.JPG")));
}

TEST(FixExtensionByContent, JpegNamedFileWithPngContent)
{
    QTemporaryDir tmp;
    QString path = tmp.path() + QStringLiteral("/b.jpeg");
    WriteFile(path, "\x89PNG");
    EXPECT_TRUE(FixExtensionByContent(path));
    EXPECT_EQ(path, tmp.path() + QStringLiteral("/b.png"));
}

TEST(FixExtensionByContent, UnknownContentKeepsTheName)
{
    QTemporaryDir tmp;
    QString path = tmp.path() + QStringLiteral("/c.webp");
    WriteFile(path, "RIFF....WEBP");
    const QString before = path;
    EXPECT_TRUE(FixExtensionByContent(path));
    EXPECT_EQ(path, before);
    EXPECT_TRUE(QFileInfo::exists(before));
}

TEST(FixExtensionByContent, ShortAndEmptyFilesKeepTheirNames)
{
    QTemporaryDir tmp;
    QString one = tmp.path() + QStringLiteral("/one.jpg");
    WriteFile(one, "\xFF");
    EXPECT_TRUE(FixExtensionByContent(one));
    EXPECT_EQ(one, tmp.path() + QStringLiteral("/one.jpg"));
    QString empty = tmp.path() + QStringLiteral("/empty.png");
    WriteFile(empty, QByteArray());
    EXPECT_TRUE(FixExtensionByContent(empty));
    EXPECT_EQ(empty, tmp.path() + QStringLiteral("/empty.png"));
    // Two zero bytes alone are no TGA, icon or cursor.
    QString zeros = tmp.path() + QStringLiteral("/zeros.gif");
    WriteFile(zeros, QByteArray(2, '\0'));
    EXPECT_TRUE(FixExtensionByContent(zeros));
    EXPECT_EQ(zeros, tmp.path() + QStringLiteral("/zeros.gif"));
}

TEST(FixExtensionByContent, SplitsWithinTheFileNameOnly)
{
    QTemporaryDir tmp;
    QDir(tmp.path()).mkdir(QStringLiteral("album.v2"));
    QString path = tmp.path() + QStringLiteral("/album.v2/noext");
    WriteFile(path, "GIF87a");
    EXPECT_TRUE(FixExtensionByContent(path));
    EXPECT_EQ(path, tmp.path() + QStringLiteral("/album.v2/noext.gif"));
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST(FixExtensionByContent, NeverReplacesAnotherFile)
{
    QTemporaryDir tmp;
    QString path = tmp.path() + QStringLiteral("/p.jpg");
    WriteFile(path, "\x89PNG new");
    WriteFile(tmp.path() + QStringLiteral("/p.png"), "old png");
    const QString before = path;
    EXPECT_FALSE(FixExtensionByContent(path));
    EXPECT_EQ(path, before);
    EXPECT_EQ(ReadFile(before), QByteArray("\x89PNG new"));
    EXPECT_EQ(ReadFile(tmp.path() + QStringLiteral("/p.png")), QByteArray("old png"));
}

TEST(FixExtensionByContent, MissingFileOrFolderChangesNothing)
{
    QTemporaryDir tmp;
    QString missing = tmp.path() + QStringLiteral("/none.jpg");
    EXPECT_FALSE(FixExtensionByContent(missing));
    EXPECT_EQ(missing, tmp.path() + QStringLiteral("/none.jpg"));
    QString dir = tmp.path();
    EXPECT_FALSE(FixExtensionByContent(dir));
}

// ---- IsPictureExtension ----------------------------------------------------

TEST(IsPictureExtension, KnownExtensionsInAnyCase)
{
    EXPECT_TRUE(IsPictureExtension(QStringLiteral("/x/a.JPG")));
    EXPECT_TRUE(IsPictureExtension(QStringLiteral("a.jpeg")));
    EXPECT_TRUE(IsPictureExtension(QStringLiteral("a.Png")));
    EXPECT_TRUE(IsPictureExtension(QStringLiteral("a.gif")));
    EXPECT_TRUE(IsPictureExtension(QStringLiteral("a.bmp")));
    EXPECT_TRUE(IsPictureExtension(QStringLiteral("a.tif")));
    EXPECT_FALSE(IsPictureExtension(QStringLiteral("a.tiff")));
    EXPECT_FALSE(IsPictureExtension(QStringLiteral("a.jpg.txt")));
    EXPECT_FALSE(IsPictureExtension(QStringLiteral("jpg")));
    EXPECT_FALSE(IsPictureExtension(QString()));
}

// ---- SetFileTimes ----------------------------------------------------------

struct Times
{
    int64_t atime = -1;
    int64_t mtime = -1;
};

Times StatTimes(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {int64_t(st.st_atim.tv_sec), int64_t(st.st_mtim.tv_sec)};
}

TEST(SetFileTimes, SetsAccessAndModificationTimes)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/t.jpg");
    WriteFile(path, "x");
    SetFileTimes(path, 1);
    EXPECT_EQ(StatTimes(path).atime, 1);
    EXPECT_EQ(StatTimes(path).mtime, 1);
    SetFileTimes(path, 1444000000);
    EXPECT_EQ(StatTimes(path).mtime, 1444000000);
}

TEST(SetFileTimes, ZeroOrNegativeChangesNothing)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/t.jpg");
    WriteFile(path, "x");
    SetFileTimes(path, 1000);
    SetFileTimes(path, 0);
    SetFileTimes(path, -5);
    EXPECT_EQ(StatTimes(path).mtime, 1000);
}

TEST(SetFileTimes, MissingPathIsIgnored)
{
    QTemporaryDir tmp;
    SetFileTimes(tmp.path() + QStringLiteral("/none"), 1000);
    SetFolderTimes(tmp.path() + QStringLiteral("/none"), 1000);
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + QStringLiteral("/none")));
}

TEST(SetFileTimes, FolderVariantWorksOnFolders)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/album");
    ASSERT_TRUE(QDir().mkdir(dir));
    SetFileTimes(dir, 5000); // the file variant does not open folders
    EXPECT_NE(StatTimes(dir).mtime, 5000);
    SetFolderTimes(dir, 5000);
    EXPECT_EQ(StatTimes(dir).mtime, 5000);
    EXPECT_EQ(StatTimes(dir).atime, 5000);
}

TEST(SetFileTimes, LinkChangesItselfNotItsTarget)
{
    QTemporaryDir tmp;
    const QString target = tmp.path() + QStringLiteral("/target");
    const QString link = tmp.path() + QStringLiteral("/主图_1.jpg");
    WriteFile(target, "x");
    SetFileTimes(target, 1000);
    ASSERT_TRUE(QFile::link(target, link));
    SetFileTimes(link, 5000);
    EXPECT_EQ(StatTimes(target).mtime, 1000);
}

TEST(MakeSafeFileName, DropsEveryControlCharacter)
{
    QString name = QStringLiteral("红\x1b[2J色\x01\x7f\x85\x9b" "a\tb");
    MakeSafeFileName(name, 0, false);
    EXPECT_EQ(name, QStringLiteral("红[2J色a_b"));
}

} // namespace
