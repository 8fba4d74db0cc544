#include "core/soft_settings.h"

#include "util/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SoftDatFile : public ::testing::Test
{
protected:
    QString Folder() const { return m_dir.path() + u'/'; }
    QString DatPath() const { return Folder() + QStringLiteral("soft.dat"); }
    void WriteDat(const QByteArray &bytes)
    {
        ASSERT_TRUE(WriteTestFile(DatPath(), bytes));
    }
    QByteArray ReadDat() const
    {
        return ReadTestFile(DatPath());
    }

    QTemporaryDir m_dir;
};

TEST_F(SoftDatFile, FirstStartCreatesTheFileWithDefaults)
{
    SoftSettings s;
    s.arrUrlHistory[0] = QStringLiteral("stale");
    EXPECT_FALSE(LoadSettings(s, Folder()));
    const QByteArray bytes = ReadDat();
    ASSERT_EQ(bytes.size(), 19808);
    EXPECT_EQ(DeserializeSettings(bytes), s);
    EXPECT_TRUE(s.arrUrlHistory[0].isEmpty());
    for (int i = 0; i < SITE_COUNT; ++i) {
        const DownloadParams &d = s.arrDownload[size_t(i)];
        const NamingRecord &n = s.arrNaming[size_t(i)];
        EXPECT_EQ(d.wThreads, 5) << i;
        EXPECT_EQ(d.wTimeoutSec, 30) << i;
        EXPECT_EQ(d.wMinKB, 0) << i;
        EXPECT_EQ(d.wMaxKB, 0) << i;
        EXPECT_TRUE(n.wFlags & OpenFolderWhenDone) << i;
        uint16_t expected = OpenFolderWhenDone;
        if (i == 7)
            expected |= FixOrder | YupooBigPictures;
        if (i == 11 || i == 16)
            expected |= FixOrder;
        EXPECT_EQ(n.wFlags, expected) << i;
        EXPECT_EQ(n.nFileNameSource, i == 8 ? 1 : 0) << i;
        EXPECT_EQ(n.strFilePrefix, i == 17 ? QStringLiteral("?2) ") : QString()) << i;
        EXPECT_EQ(n.nFolderSource, 0) << i;
    }
}

TEST_F(SoftDatFile, SecondStartKeepsWhatTheFileSays)
{
    SoftSettings s;
    LoadSettings(s, Folder());
    s.arrNaming[SITE_JD].wFlags = SkipDownloaded; // OpenFolderWhenDone switched off
    s.arrNaming[SITE_INSTAGRAM].strFilePrefix.clear();
    s.arrDownload[SITE_JD].wThreads = 15;
    s.arrDownload[SITE_JD].wMaxKB = 2048;
    ASSERT_TRUE(SaveSettings(s, Folder()));
    SoftSettings again;
    EXPECT_TRUE(LoadSettings(again, Folder()));
    EXPECT_EQ(again, s);
}

TEST_F(SoftDatFile, RepairsThreadCountAndTimeOut)
{
    SoftSettings s;
    s.arrDownload[16].wThreads = 16;
    s.arrDownload[16].wTimeoutSec = 9;
    s.arrDownload[15].wThreads = 15;
    s.arrDownload[15].wTimeoutSec = 10;
    s.arrDownload[14].wThreads = 1;
    s.arrDownload[14].wTimeoutSec = 65535;
    s.arrDownload[13].wThreads = 0xFFFF;
    WriteDat(SerializeSettings(s));
    SoftSettings loaded;
    EXPECT_TRUE(LoadSettings(loaded, Folder()));
    EXPECT_EQ(loaded.arrDownload[16].wThreads, 5);
    EXPECT_EQ(loaded.arrDownload[16].wTimeoutSec, 30);
    EXPECT_EQ(loaded.arrDownload[15].wThreads, 15);
    EXPECT_EQ(loaded.arrDownload[15].wTimeoutSec, 10);
    EXPECT_EQ(loaded.arrDownload[14].wThreads, 1);
    EXPECT_EQ(loaded.arrDownload[14].wTimeoutSec, 65535);
    EXPECT_EQ(loaded.arrDownload[13].wThreads, 5);
    EXPECT_EQ(loaded.arrDownload[0].wThreads, 5);
    // No first-run defaults: the file existed.
    EXPECT_EQ(loaded.arrNaming[16].wFlags, 0);
    // The repaired record was written back.
    EXPECT_EQ(DeserializeSettings(ReadDat()), loaded);
}

TEST_F(SoftDatFile, ShortFileUsesItsBytesAndGetsNoFirstRunDefaults)
{
    SoftSettings s;
    for (DownloadParams &d : s.arrDownload) {
        d.wThreads = 3;
        d.wTimeoutSec = 60;
        d.wMinKB = 7;
    }
    WriteDat(SerializeSettings(s).left(100));
    SoftSettings loaded;
    EXPECT_TRUE(LoadSettings(loaded, Folder()));
    for (int i = 0; i < 12; ++i) { // bytes 0..95 are whole entries
        EXPECT_EQ(loaded.arrDownload[size_t(i)].wThreads, 3) << i;
        EXPECT_EQ(loaded.arrDownload[size_t(i)].wTimeoutSec, 60) << i;
    }
    EXPECT_EQ(loaded.arrDownload[12].wMinKB, 7);     // bytes 96..97 were there
    EXPECT_EQ(loaded.arrDownload[12].wThreads, 5);   // zero, repaired
    EXPECT_EQ(loaded.arrDownload[23].wTimeoutSec, 30);
    for (const NamingRecord &n : loaded.arrNaming)
        EXPECT_EQ(n.wFlags, 0);
    EXPECT_EQ(ReadDat().size(), 19808);
}

TEST_F(SoftDatFile, EmptyFileCountsAsExisting)
{
    WriteDat(QByteArray());
    SoftSettings s;
    EXPECT_TRUE(LoadSettings(s, Folder()));
    EXPECT_EQ(s.arrNaming[SITE_JD].wFlags, 0);
    EXPECT_EQ(s.arrDownload[SITE_JD].wThreads, 5);
}

TEST_F(SoftDatFile, LongerFileReadsOnlyItsFirst19808Bytes)
{
    SoftSettings s;
    s.arrSavePathHistory[4] = QStringLiteral("/last/");
    WriteDat(SerializeSettings(s) + QByteArray(500, 'x'));
    SoftSettings loaded;
    LoadSettings(loaded, Folder());
    EXPECT_EQ(loaded.arrSavePathHistory[4], QStringLiteral("/last/"));
    EXPECT_EQ(ReadDat().size(), 19808);
}

TEST_F(SoftDatFile, FolderWithoutTrailingSeparator)
{
    SoftSettings s;
    LoadSettings(s, m_dir.path());
    EXPECT_EQ(ReadDat().size(), 19808);
}

TEST_F(SoftDatFile, SaveLeavesNoTemporaryFiles)
{
    SoftSettings s;
    s.arrUrlHistory[0] = QStringLiteral("https://item.jd.com/1.html");
    ASSERT_TRUE(SaveSettings(s, Folder()));
    ASSERT_TRUE(SaveSettings(s, Folder()));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("soft.dat")});
    EXPECT_EQ(DeserializeSettings(ReadDat()), s);
}

TEST_F(SoftDatFile, UnwritableFolderKeepsSettingsInMemory)
{
    // A folder that cannot exist: its parent is a regular file.
    WriteDat(QByteArray("x"));
    const QString folder = DatPath() + QStringLiteral("/sub/");
    SoftSettings s;
    EXPECT_FALSE(SaveSettings(s, folder));
    EXPECT_FALSE(LoadSettings(s, folder));
    EXPECT_EQ(s.arrDownload[SITE_JD].wThreads, 5); // defaults live on in memory
    EXPECT_TRUE(s.arrNaming[SITE_JD].wFlags & FixOrder);
}

TEST_F(SoftDatFile, FolderWithoutRoomForATemporaryFileKeepsTheOldFile)
{
    const QByteArray old(SOFTDAT_SIZE, 'o');
    WriteDat(old);
    ::chmod(QFile::encodeName(DatPath()).constData(), 0666);
    ::chmod(QFile::encodeName(m_dir.path()).constData(), 0555);
    // soft.dat itself stays writable, the folder takes no new file.  Root may
    // write anywhere, so the save runs as another user in a child process.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        SoftSettings s;
        ::_exit(SaveSettings(s, Folder()) ? 1 : 0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status; // false: not saved
    EXPECT_EQ(ReadDat(), old); // never written in place
}

TEST_F(SoftDatFile, PipeOfThatNameIsNotRead)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(DatPath()).constData(), 0600), 0);
    SoftSettings s;
    EXPECT_FALSE(LoadSettings(s, Folder())); // would block forever if it were read
    EXPECT_EQ(s.arrDownload[SITE_JD].wThreads, 5);
    EXPECT_TRUE(s.arrNaming[SITE_JD].wFlags & FixOrder);
}

TEST_F(SoftDatFile, DamagedFileLoadsWithinItsFields)
{
    QByteArray junk(19808, '\xEE');
    WriteDat(junk);
    SoftSettings s;
    EXPECT_TRUE(LoadSettings(s, Folder()));
    EXPECT_EQ(s.arrUrlHistory[0].size(), 399);
    EXPECT_EQ(s.arrNaming[0].strFilePrefix.size(), 39);
    EXPECT_EQ(s.arrDownload[0].wThreads, 5);          // 0xEEEE is above 15
    EXPECT_EQ(s.arrDownload[0].wTimeoutSec, 0xEEEE);  // large is fine
    EXPECT_EQ(ReadDat().size(), 19808);
}

} // namespace
