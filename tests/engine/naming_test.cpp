// Picture file naming: modes, escapes, replace pairs, limits, extension,
// collisions, the album folder, SkipDownloaded and the original-name file.

#include "engine/engine_fixture.h"
#include "engine/picture_naming.h"
#include "engine/job_files.h"

#include <QRegularExpression>

namespace {

class NamingTest : public EngineFixture
{
protected:
    QString JobFolder() const { return tmp.path() + QStringLiteral("/save/京东/"); }
    void Add(const QString &url, const QString &name, int album = 0)
    {
        AddPicture(state, host, url, name, QString(), album);
    }
    QStringList Names() const { return state.job.arrFileName; }
};

TEST_F(NamingTest, SequenceModeWithAlbumNumberPrefix)
{
    AddAlbum(QStringLiteral("一"));
    const int second = AddAlbum(QStringLiteral("二"));
    Naming().nFileNameSource = 1;
    Naming().strFilePrefix = QStringLiteral("?3_");
    StartAlbum(JobFolder());
    for (int i = 1; i <= 5; ++i)
        Add(QStringLiteral("http://img.jd.com/p%1.jpg").arg(i), QStringLiteral("x"), second);
    ASSERT_EQ(Names().size(), 5);
    EXPECT_EQ(Names()[4], QStringLiteral("2_5.jpg"));
    EXPECT_EQ(state.job.strFolder, JobFolder() + QStringLiteral("二/"));
}

TEST_F(NamingTest, AddressWithAControlCharacterIsNoPicture)
{
    AddAlbum(QStringLiteral("商品"));
    StartAlbum(JobFolder());
    for (const char16_t *url : {u"http://evil.example/p.jpg\t/root/.bashrc", u"http://img.jd.com/a.jpg\nx",
                                u"http://img.jd.com/a.jpg\u2028", u"http://img.jd.com/a.jpg\r\nhttp://b/\tc"})
        Add(QString::fromUtf16(url), QStringLiteral("主图_1"));
    EXPECT_TRUE(Names().isEmpty());
    // The one CR LF before an alternative address is no control character here.
    Add(QStringLiteral("http://img.jd.com/a.jpg\r\nhttp://img.jd.com/b.jpg"), QStringLiteral("主图_1"));
    EXPECT_EQ(Names().size(), 1);
}

TEST_F(NamingTest, DescriptionModeWithPaddedAlbumNumber)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().strFileSuffix = QStringLiteral("_?9");
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/a.jpg"), QStringLiteral("主图_1"));
    EXPECT_EQ(Names(), QStringList{QStringLiteral("主图_1_0001.jpg")});
}

TEST_F(NamingTest, AddressModeTakesLastPartAndCountsCollisions)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().nFileNameSource = 2;
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://a.jd.com/x/abc.png"), QStringLiteral("主图_1"));
    Add(QStringLiteral("http://b.jd.com/y/abc.png"), QStringLiteral("主图_2"));
    Add(QStringLiteral("http://c.jd.com/z/ABC.png"), QStringLiteral("主图_3"));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("abc.png"), QStringLiteral("abc.png(1).png"),
                                   QStringLiteral("ABC.png(2).png")}));
}

TEST_F(NamingTest, AddressModeWithoutSlashFallsBackToNumber)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().nFileNameSource = 2;
    StartAlbum(JobFolder());
    Add(QStringLiteral("/abc.png"), QStringLiteral("n"));
    EXPECT_EQ(Names(), QStringList{QStringLiteral("1.jpg")});
}

TEST_F(NamingTest, AllEscapes)
{
    AddAlbum(QStringLiteral("甲"));
    state.albums.nSelCount = 1;
    Naming().nFileNameSource = 1;
    Naming().strFilePrefix = QStringLiteral("?1-?3-?4-?5-?6-?7-?8-");
    state.strSiteFolder = QStringLiteral("京东/");
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/a.jpg"), QStringLiteral("n"));
    EXPECT_EQ(Names(), QStringList{QStringLiteral("甲-1-0-0-1-1-京东-1.jpg")});
}

TEST_F(NamingTest, ReplacePairsPieceByPiece)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().strReplaceWhat = QStringLiteral("a|b");
    Naming().strReplaceWith = QStringLiteral("x|y");
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("aabb"));
    EXPECT_EQ(Names(), QStringList{QStringLiteral("xxyy.jpg")});
}

TEST_F(NamingTest, ReplaceListsOfDifferentLengthReplaceTheWholeText)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().strReplaceWhat = QStringLiteral("a|b");
    Naming().strReplaceWith = QStringLiteral("x");
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("aabb"));
    // The prefix is not cleaned before the replacement, the description is.
    Naming().strFilePrefix = QStringLiteral("a|b-");
    Add(QStringLiteral("http://img.jd.com/2.jpg"), QStringLiteral("za|bz"));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("aabb.jpg"), QStringLiteral("x-zabz.jpg")}));
}

TEST_F(NamingTest, SameNameTwiceGetsCounter)
{
    AddAlbum(QStringLiteral("商品"));
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("主图_1"));
    Add(QStringLiteral("http://img.jd.com/2.jpg"), QStringLiteral("主图_1"));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("主图_1.jpg"), QStringLiteral("主图_1(1).jpg")}));
}

TEST_F(NamingTest, NoAlbumFolderPutsEveryAlbumIntoTheJobFolder)
{
    AddAlbum(QStringLiteral("一"));
    AddAlbum(QStringLiteral("二"));
    Naming().nFolderSource = 1;
    for (int album = 0; album < 2; ++album) {
        StartAlbum(JobFolder());
        Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("主图_1"), album);
        EXPECT_EQ(state.job.strFolder, JobFolder());
        // The counter only looks within one album.
        EXPECT_EQ(Names(), QStringList{QStringLiteral("主图_1.jpg")});
    }
}

TEST_F(NamingTest, AlbumFolderFromPrefixSuffixAndEscapes)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().strFolderPrefix = QStringLiteral("?9 ");
    Naming().strFolderSuffix = QStringLiteral(" (?3)");
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("主图_1"));
    const QString folder = JobFolder() + QStringLiteral("0001 商品 (1)/");
    EXPECT_EQ(state.job.strFolder, folder);
    EXPECT_TRUE(QDir(folder).exists());
}

TEST_F(NamingTest, FolderNameThatCleansToNothingGivesNoAlbumFolder)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().nFolderSource = 1;
    Naming().strFolderPrefix = QStringLiteral("?:*");
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("主图_1"));
    EXPECT_EQ(state.job.strFolder, JobFolder());
}

TEST_F(NamingTest, LongNameIsCutToThePathLimit)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().nFolderSource = 1;
    QString folder = tmp.path() + u'/';
    folder += QString(59 - folder.size(), u'f') + u'/';
    ASSERT_EQ(folder.size(), 60);
    StartAlbum(folder);
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QString(300, u'a'));
    ASSERT_EQ(Names().size(), 1);
    EXPECT_EQ(Names()[0], QString(190, u'a') + QStringLiteral(".jpg"));
}

TEST_F(NamingTest, LongChineseNameFitsTheFileSystem)
{
    AddAlbum(QStringLiteral("商品"));
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QString(200, QChar(u'图')));
    Add(QStringLiteral("http://img.jd.com/2.jpg"), QString(200, QChar(u'图')));
    ASSERT_EQ(Names().size(), 2);
    for (const QString &name : Names())
        EXPECT_LE(name.toUtf8().size(), 255) << name.size();
    EXPECT_TRUE(Names()[1].endsWith(QStringLiteral("(1).jpg")));
    EXPECT_NE(Names()[0], Names()[1]);
}

TEST_F(NamingTest, PictureExtensionIsKeptAsWritten)
{
    AddAlbum(QStringLiteral("商品"));
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1"), QStringLiteral("a.JPEG"));
    Add(QStringLiteral("http://img.jd.com/2"), QStringLiteral("b.webp"));
    Add(QStringLiteral("http://img.jd.com/3"), QStringLiteral("c.tiff"));
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("a.JPEG"), QStringLiteral("b.webp.jpg"),
                                   QStringLiteral("c.tiff.jpg")}));
}

TEST_F(NamingTest, NameThatCleansToNothingGetsATimeStamp)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().strFilePrefix = QStringLiteral("?");
    Naming().nFileNameSource = 2;
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/a/"), QStringLiteral("x"));
    ASSERT_EQ(Names().size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}\\.jpg$")).match(Names()[0]).hasMatch())
        << Names()[0].toStdString();
}

TEST_F(NamingTest, EmptyDescriptionTakesTheAlbumName)
{
    AddAlbum(QStringLiteral("商品"));
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("  "));
    EXPECT_EQ(Names(), QStringList{QStringLiteral("商品.jpg")});
}

TEST_F(NamingTest, HostileNamesStayInsideTheAlbumFolder)
{
    AddAlbum(QStringLiteral("../../etc"));
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("../../../etc/passwd"));
    ASSERT_EQ(Names().size(), 1);
    EXPECT_FALSE(Names()[0].contains(u'/'));
    EXPECT_TRUE(state.job.strFolder.startsWith(JobFolder()));
    EXPECT_FALSE(state.job.strFolder.mid(JobFolder().size()).contains(QStringLiteral("..")));
}

// Found by fuzzing: characters dropped around dots left ".." as the
// album folder, one level above the site folder.
TEST_F(NamingTest, DotsBetweenDroppedCharactersGiveNoParentFolder)
{
    AddAlbum(QStringLiteral("* .. *"));
    Naming().nFolderSource = 1;
    Naming().strFolderPrefix = QStringLiteral("| .");
    Naming().strFolderSuffix = QStringLiteral(". |");
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("主图_1"));
    EXPECT_EQ(state.job.strFolder, JobFolder());
    EXPECT_NE(state.albums.GetAlbum(0).strName, QStringLiteral(".."));
}

TEST_F(NamingTest, AbsoluteNameFromThePageStaysInTheAlbumFolder)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().strFilePrefix = QStringLiteral("p_");
    StartAlbum(JobFolder());
    // Choice titles reach the name: "/some/folder/evil", "/ 红色", control characters.
    Add(QStringLiteral("http://img.jd.com/1.jpg"), tmp.path() + QStringLiteral("/elsewhere/pic.png"));
    Add(QStringLiteral("http://img.jd.com/2.jpg"), QStringLiteral("/ 红色_主图_1"));
    Add(QStringLiteral("http://img.jd.com/3.jpg"), QStringLiteral("a\x1b[31mb\x07" "c\x9b"));
    ASSERT_EQ(Names().size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Names()[i].startsWith(QStringLiteral("p_"))) << Names()[i].toStdString();
        EXPECT_EQ(state.job.FullPath(i), state.job.strFolder + Names()[i]);
    }
    EXPECT_EQ(Names()[1], QStringLiteral("p_红色_主图_1.jpg"));
    EXPECT_EQ(Names()[2], QStringLiteral("p_a[31mbc.jpg"));
}

TEST_F(NamingTest, ProgressTextCountsPictures)
{
    AddAlbum(QStringLiteral("商品"));
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("a"));
    Add(QStringLiteral("http://img.jd.com/2.jpg"), QStringLiteral("b"));
    EXPECT_EQ(host.Status2().last(), QStringLiteral("已获取到2张图片信息"));
}

TEST_F(NamingTest, SkipDownloadedStopsAtTheRememberedFirstPicture)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().wFlags = SkipDownloaded;
    QDir().mkpath(JobFolder() + QStringLiteral("商品"));
    WriteAll(JobFolder() + QStringLiteral("商品/pic.zvk"), Utf16Le(QStringLiteral("http://img.jd.com/old.jpg")));
    state.DownloadJobState = JOB_RUNNING;
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/new.jpg"), QStringLiteral("主图_1"));
    EXPECT_EQ(state.DownloadJobState.load(), JOB_RUNNING);
    Add(QStringLiteral("http://img.jd.com/old.jpg"), QStringLiteral("主图_2"));
    EXPECT_EQ(state.DownloadJobState.load(), DOWN_SKIP_REST);
    EXPECT_EQ(state.job.arrUrl, QStringList{QStringLiteral("http://img.jd.com/new.jpg")});
}

TEST_F(NamingTest, SkipDownloadedNeverOverwritesAUserStop)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().wFlags = SkipDownloaded;
    QDir().mkpath(JobFolder() + QStringLiteral("商品"));
    WriteAll(JobFolder() + QStringLiteral("商品/pic.zvk"), Utf16Le(QStringLiteral("http://img.jd.com/old.jpg")));
    state.DownloadJobState = DOWN_STOP_REQUESTED;
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/old.jpg"), QStringLiteral("主图_1"));
    EXPECT_EQ(state.DownloadJobState.load(), DOWN_STOP_REQUESTED);
    EXPECT_EQ(state.job.Count(), 0);
}

TEST_F(NamingTest, OriginalNameFileHoldsTheGivenNames)
{
    AddAlbum(QStringLiteral("商品"));
    Naming().wFlags = OriginalNameFile;
    Naming().nFileNameSource = 1;
    StartAlbum(JobFolder());
    const QString txt = JobFolder() + QStringLiteral("商品/商品.txt");
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("红色_主图_1"));
    Add(QStringLiteral("http://img.jd.com/2.jpg"), QStringLiteral("主图_2"));
    EXPECT_EQ(ReadAll(txt), QByteArray("\xFF\xFE", 2) + Utf16Le(QStringLiteral("红色_主图_1\r\n主图_2\r\n")));
    // A new run over the album starts the file again.
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/3.jpg"), QStringLiteral("主图_3"));
    EXPECT_EQ(ReadAll(txt), QByteArray("\xFF\xFE", 2) + Utf16Le(QStringLiteral("主图_3\r\n")));
}

// Found by fuzzing: a title of more than 251 UTF-8 bytes gave an original-name
// file that could not be made, and the names were lost.
TEST_F(NamingTest, OriginalNameFileOfALongTitle)
{
    const QString title(100, QChar(u'杯'));
    AddAlbum(title);
    Naming().wFlags = OriginalNameFile;
    Naming().nFolderSource = 1;
    StartAlbum(JobFolder());
    Add(QStringLiteral("http://img.jd.com/1.jpg"), QStringLiteral("主图_1"));
    const QString txt = JobFolder() + QString(83, QChar(u'杯')) + QStringLiteral(".txt");
    EXPECT_EQ(ReadAll(txt), QByteArray("\xFF\xFE", 2) + Utf16Le(QStringLiteral("主图_1\r\n")));
}

TEST(JobFiles, PicZvkRoundTripAndFirstLineOnly)
{
    QTemporaryDir tmp;
    ST_DOWNJOB job;
    job.strFolder = tmp.path() + u'/';
    job.AppendPicture(QStringLiteral("http://img.jd.com/图.jpg"), QStringLiteral("a.jpg"), QString());
    job.AppendPicture(QStringLiteral("http://img.jd.com/2.jpg"), QStringLiteral("b.jpg"), QString());
    ASSERT_TRUE(WritePicZvk(job));
    QFile f(job.strFolder + QStringLiteral("pic.zvk"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), QStringLiteral("http://img.jd.com/图.jpg").size() * 2); // no BOM, no line end
    EXPECT_EQ(ReadPicZvk(job.strFolder), QStringLiteral("http://img.jd.com/图.jpg"));
    EXPECT_EQ(ReadPicZvk(tmp.path() + QStringLiteral("/missing/")), QString());
}

TEST(JobFiles, DamagedPicZvkGivesWhatItCanRead)
{
    QTemporaryDir tmp;
    const QString folder = tmp.path() + u'/';
    QFile f(folder + QStringLiteral("pic.zvk"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("a\0b\0\n\0c\0d", 9)); // a line feed and an odd last byte
    f.close();
    EXPECT_EQ(ReadPicZvk(folder), QStringLiteral("ab"));
}

TEST(JobFiles, ListFileIsGbkWithCrLf)
{
    QTemporaryDir tmp;
    ST_DOWNJOB job;
    job.strFolder = tmp.path() + u'/';
    job.AppendPicture(QStringLiteral("http://img.jd.com/图.jpg"), QStringLiteral("a.jpg"), QString());
    job.AppendPicture(QStringLiteral("http://img.jd.com/2.jpg"), QStringLiteral("b.jpg"), QString());
    ASSERT_TRUE(WriteListFile(job, QStringLiteral("商品")));
    QFile f(job.strFolder + QStringLiteral("商品.lst"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("http://img.jd.com/\xCD\xBC.jpg\r\nhttp://img.jd.com/2.jpg\r\n"));
}

} // namespace
