#include "core/records.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

ST_PERLISTRECORD Album(const QString &name, const QString &url = QStringLiteral("https://item.jd.com/1.html"))
{
    ST_PERLISTRECORD r;
    r.strName = name;
    r.strUrl = url;
    r.nPicCount = -1;
    return r;
}

TEST(AlbumList, AddCopiesTheRecordAndNumbersIt)
{
    CAlbumList list;
    ST_PERLISTRECORD src = Album(QStringLiteral("商品A"));
    src.strCoverUrl = QStringLiteral("cover");
    src.nAttrib = 2;
    src.nSpare4 = 44;
    src.nSpare5 = 55;
    src.nThumbIndex = 9;   // always reset
    src.nListIndex = 123;  // always replaced
    EXPECT_EQ(list.AddAlbum(src), 1);
    EXPECT_EQ(list.AddAlbum(Album(QStringLiteral("商品B"))), 2);
    const ST_PERLISTRECORD a = list.GetAlbum(0);
    EXPECT_EQ(a.strName, QStringLiteral("商品A"));
    EXPECT_EQ(a.strUrl, src.strUrl);
    EXPECT_EQ(a.strCoverUrl, QStringLiteral("cover"));
    EXPECT_EQ(a.nPicCount, -1);
    EXPECT_EQ(a.nAttrib, 2);
    EXPECT_EQ(a.nSpare4, 44);
    EXPECT_EQ(a.nSpare5, 55);
    EXPECT_EQ(a.nThumbIndex, -1);
    EXPECT_EQ(a.nListIndex, 0);
    EXPECT_EQ(list.GetAlbum(1).nListIndex, 1);
    EXPECT_EQ(list.Count(), 2);
}

TEST(AlbumList, SameCleanedNameGetsACounter)
{
    CAlbumList list;
    list.AddAlbum(Album(QStringLiteral("Phone")));
    list.AddAlbum(Album(QStringLiteral("Phone/")));  // cleans to "Phone"
    list.AddAlbum(Album(QStringLiteral(" Phone ")));
    list.AddAlbum(Album(QStringLiteral("phone")));   // case differs: no clash
    EXPECT_EQ(list.GetAlbum(1).strName, QStringLiteral("Phone (1)"));
    EXPECT_EQ(list.GetAlbum(2).strName, QStringLiteral("Phone (2)"));
    EXPECT_EQ(list.GetAlbum(3).strName, QStringLiteral("phone"));
}

TEST(AlbumList, CounterSkipsNamesAlreadyTaken)
{
    CAlbumList list;
    list.AddAlbum(Album(QStringLiteral("A (1)")));
    list.AddAlbum(Album(QStringLiteral("A")));
    list.AddAlbum(Album(QStringLiteral("A")));
    EXPECT_EQ(list.GetAlbum(2).strName, QStringLiteral("A (2)"));
}

TEST(AlbumList, PercentSignsInNamesStayAsTheyAre)
{
    CAlbumList list;
    list.AddAlbum(Album(QStringLiteral("100% %1 %s")));
    list.AddAlbum(Album(QStringLiteral("100% %1 %s")));
    EXPECT_EQ(list.GetAlbum(1).strName, QStringLiteral("100% %1 %s (1)"));
}

TEST(AlbumList, NameThatCleansToNothingGetsATimeStamp)
{
    CAlbumList list;
    list.AddAlbum(Album(QStringLiteral(" /:*? ")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}$")).match(list.GetAlbum(0).strName).hasMatch());
    list.AddAlbum(Album(QStringLiteral("|||")));
    EXPECT_TRUE(list.GetAlbum(1).strName.startsWith(list.GetAlbum(0).strName.left(8)));
}

TEST(AlbumList, EntitiesInTitlesAreDecoded)
{
    CAlbumList list;
    list.AddAlbum(Album(QStringLiteral("Tom &amp; Jerry")));
    EXPECT_EQ(list.GetAlbum(0).strName, QStringLiteral("Tom & Jerry"));
}

TEST(AlbumList, OutOfRangeGivesAnEmptyRecord)
{
    CAlbumList list;
    list.AddAlbum(Album(QStringLiteral("x")));
    EXPECT_EQ(list.GetAlbum(1).nListIndex, -1);
    EXPECT_EQ(list.GetAlbum(-1).nListIndex, -1);
    EXPECT_TRUE(list.GetAlbum(5).strName.isEmpty());
    EXPECT_FALSE(list.UpdateAlbum(3, [](ST_PERLISTRECORD &) {}));
}

TEST(AlbumList, ClearEmptiesAndRestartsNumbering)
{
    CAlbumList list;
    list.AddAlbum(Album(QStringLiteral("x")));
    list.AddAlbum(Album(QStringLiteral("y")));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.AddAlbum(Album(QStringLiteral("x"))), 1);
    EXPECT_EQ(list.GetAlbum(0).strName, QStringLiteral("x"));
    EXPECT_EQ(list.GetAlbum(0).nListIndex, 0);
}

TEST(AlbumList, UpdateChangesInPlace)
{
    CAlbumList list;
    list.AddAlbum(Album(QStringLiteral("x")));
    EXPECT_TRUE(list.UpdateAlbum(0, [](ST_PERLISTRECORD &r) { r.nThumbIndex = 4; }));
    EXPECT_EQ(list.GetAlbum(0).nThumbIndex, 4);
}

TEST(AlbumTexts, AttribColumn)
{
    EXPECT_EQ(AlbumAttribText(0), QString());
    EXPECT_EQ(AlbumAttribText(1), QStringLiteral("加密相册"));
    EXPECT_EQ(AlbumAttribText(3), QStringLiteral("加密相册"));
    EXPECT_EQ(AlbumAttribText(2), QStringLiteral("私密相册"));
    EXPECT_EQ(AlbumAttribText(6), QStringLiteral("私密相册"));
    EXPECT_EQ(AlbumAttribText(4), QStringLiteral("好友可见"));
    EXPECT_EQ(AlbumAttribText(8), QString());
    EXPECT_EQ(AlbumAttribText(int32_t(0x80000005u)), QStringLiteral("00000005"));
    EXPECT_EQ(AlbumAttribText(-1), QStringLiteral("2147483647"));
}

TEST(AlbumTexts, CountColumn)
{
    EXPECT_EQ(AlbumCountText(-1), QStringLiteral("未知"));
    EXPECT_EQ(AlbumCountText(7), QStringLiteral("   7"));
    EXPECT_EQ(AlbumCountText(12345), QStringLiteral("12345"));
}

TEST(DownJob, AppendKeepsTheArraysParallel)
{
    ST_DOWNJOB job;
    job.AppendPicture(QStringLiteral("u1"), QStringLiteral("a.jpg"), QString());
    job.AppendPicture(QStringLiteral("u2\r\nalt"), QStringLiteral("b.jpg"), QStringLiteral("Referer: x"));
    EXPECT_EQ(job.Count(), 2);
    EXPECT_EQ(job.arrFileName.size(), 2);
    EXPECT_EQ(job.arrHeader.size(), 2);
    EXPECT_EQ(job.arrHeader[1], QStringLiteral("Referer: x"));
    job.strFolder = QStringLiteral("/keep/");
    job.ResetPictures();
    EXPECT_EQ(job.Count(), 0);
    EXPECT_TRUE(job.arrFileName.isEmpty());
    EXPECT_TRUE(job.arrHeader.isEmpty());
    EXPECT_EQ(job.strFolder, QStringLiteral("/keep/"));
    EXPECT_EQ(job.nNotifyCtrl, 1006);
    EXPECT_EQ(job.hNotifyWnd, nullptr);
}

TEST(DownJob, FindUrlNeedsTheWholeEntry)
{
    ST_DOWNJOB job;
    job.AppendPicture(QStringLiteral("https://img/a.jpg"), QStringLiteral("1.jpg"), QString());
    job.AppendPicture(QStringLiteral("https://img/b.jpg"), QStringLiteral("2.jpg"), QString());
    job.AppendPicture(QStringLiteral("https://img/b.jpg"), QStringLiteral("3.jpg"), QString());
    EXPECT_EQ(job.FindUrl(QStringLiteral("https://img/b.jpg")), 1);
    EXPECT_EQ(job.FindUrl(QStringLiteral("img/a.jpg")), -1);
    EXPECT_EQ(job.FindUrl(QStringLiteral("https://img/a.jpg?x")), -1);
    EXPECT_EQ(job.FindUrl(QStringLiteral("HTTPS://img/a.jpg")), -1);
}

TEST(DownJob, FindFileNameIgnoresCase)
{
    ST_DOWNJOB job;
    job.AppendPicture(QStringLiteral("u"), QStringLiteral("主图_1.JPG"), QString());
    job.AppendPicture(QStringLiteral("u"), QStringLiteral("Ärger.jpg"), QString());
    EXPECT_EQ(job.FindFileName(QStringLiteral("主图_1.jpg")), 0);
    EXPECT_EQ(job.FindFileName(QStringLiteral("ärger.JPG")), 1);
    EXPECT_EQ(job.FindFileName(QStringLiteral("主图_1")), -1);
}

TEST(DownJob, FullPathOfAbsoluteAndRelativeNames)
{
    ST_DOWNJOB job;
    job.strFolder = QStringLiteral("/save/京东/album/");
    job.AppendPicture(QStringLiteral("u"), QStringLiteral("a.jpg"), QString());
    job.AppendPicture(QStringLiteral("u"), QStringLiteral("/elsewhere/b.jpg"), QString());
    EXPECT_EQ(job.FullPath(0), QStringLiteral("/save/京东/album/a.jpg"));
    EXPECT_EQ(job.FullPath(1), QStringLiteral("/elsewhere/b.jpg"));
    EXPECT_EQ(job.FullPath(2), QString());
    EXPECT_TRUE(IsAbsoluteFileName(QStringLiteral("/x")));
    EXPECT_FALSE(IsAbsoluteFileName(QStringLiteral("x/y")));
}

} // namespace
