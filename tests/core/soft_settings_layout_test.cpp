#include "core/soft_settings.h"

#include <gtest/gtest.h>

#include <random>

namespace {

uint16_t U16(const QByteArray &b, int pos)
{
    return uint16_t(uint8_t(b[pos]) | (uint8_t(b[pos + 1]) << 8));
}

// The UTF-16LE text stored at `pos` in a field of `chars` units; checks that
// the rest of the field is zero.
QString Text(const QByteArray &b, int pos, int chars)
{
    QString s;
    int i = 0;
    for (; i < chars && U16(b, pos + 2 * i) != 0; ++i)
        s.append(QChar(U16(b, pos + 2 * i)));
    for (; i < chars; ++i)
        EXPECT_EQ(U16(b, pos + 2 * i), 0) << "padding at " << pos + 2 * i;
    return s;
}

// Distinct values in every field of every entry.
SoftSettings Distinct()
{
    SoftSettings s;
    for (int i = 0; i < SITE_COUNT; ++i) {
        DownloadParams &d = s.arrDownload[size_t(i)];
        d.wMinKB = uint16_t(0x0100 + i);
        d.wMaxKB = uint16_t(0x0200 + i);
        d.wThreads = uint16_t(0x0300 + i);
        d.wTimeoutSec = uint16_t(0xF400 + i);
        NamingRecord &n = s.arrNaming[size_t(i)];
        n.strFilePrefix = QStringLiteral("fp%1").arg(i);
        n.strFileSuffix = QStringLiteral("文件后缀%1").arg(i);
        n.strReplaceWhat = QStringLiteral("a|b%1").arg(i);
        n.strReplaceWith = QStringLiteral("c|d%1").arg(i);
        n.strFolderPrefix = QStringLiteral("dp%1").arg(i);
        n.strFolderSuffix = QStringLiteral("ds%1").arg(i);
        n.wFlags = uint16_t(0x8001 + i);
        n.nFileNameSource = uint8_t(i % 3);
        n.nFolderSource = uint8_t(0xA0 + i);
    }
    for (int i = 0; i < HISTORY_COUNT; ++i) {
        s.arrUrlHistory[size_t(i)] = QStringLiteral("https://item.jd.com/%1.html").arg(i);
        s.arrSavePathHistory[size_t(i)] = QStringLiteral("/home/用户/图片%1/").arg(i);
    }
    return s;
}

TEST(SoftDatLayout, SizesAndOffsets)
{
    EXPECT_EQ(SOFTDAT_SIZE, 19808);
    EXPECT_EQ(SITE_COUNT * DOWNLOADPARAMS_SIZE, SOFTDAT_NAMING_OFFSET);
    EXPECT_EQ(SOFTDAT_NAMING_OFFSET + SITE_COUNT * NAMINGRECORD_SIZE, SOFTDAT_URLHISTORY_OFFSET);
    EXPECT_EQ(SOFTDAT_URLHISTORY_OFFSET + HISTORY_COUNT * HISTORY_CHARS * 2, SOFTDAT_SAVEHISTORY_OFFSET);
    EXPECT_EQ(SOFTDAT_SAVEHISTORY_OFFSET + HISTORY_COUNT * HISTORY_CHARS * 2, SOFTDAT_SIZE);
    EXPECT_EQ(SerializeSettings(SoftSettings()), QByteArray(SOFTDAT_SIZE, '\0'));
}

TEST(SoftDatLayout, DownloadParamsAtTheirOffsets)
{
    const QByteArray b = SerializeSettings(Distinct());
    ASSERT_EQ(b.size(), SOFTDAT_SIZE);
    for (int i = 0; i < SITE_COUNT; ++i) {
        const int at = i * 8;
        EXPECT_EQ(U16(b, at + 0), 0x0100 + i) << i;
        EXPECT_EQ(U16(b, at + 2), 0x0200 + i) << i;
        EXPECT_EQ(U16(b, at + 4), 0x0300 + i) << i;
        EXPECT_EQ(U16(b, at + 6), 0xF400 + i) << i;
        // Little-endian: low byte first.
        EXPECT_EQ(uint8_t(b[at + 6]), uint8_t(i));
        EXPECT_EQ(uint8_t(b[at + 7]), 0xF4);
    }
}

TEST(SoftDatLayout, NamingRecordsAtTheirOffsets)
{
    const QByteArray b = SerializeSettings(Distinct());
    for (int i = 0; i < SITE_COUNT; ++i) {
        const int at = 192 + i * 484;
        EXPECT_EQ(Text(b, at + 0, 40), QStringLiteral("fp%1").arg(i));
        EXPECT_EQ(Text(b, at + 80, 40), QStringLiteral("文件后缀%1").arg(i));
        EXPECT_EQ(Text(b, at + 160, 40), QStringLiteral("a|b%1").arg(i));
        EXPECT_EQ(Text(b, at + 240, 40), QStringLiteral("c|d%1").arg(i));
        EXPECT_EQ(Text(b, at + 320, 40), QStringLiteral("dp%1").arg(i));
        EXPECT_EQ(Text(b, at + 400, 40), QStringLiteral("ds%1").arg(i));
        EXPECT_EQ(U16(b, at + 480), 0x8001 + i);
        EXPECT_EQ(uint8_t(b[at + 482]), uint8_t(i % 3));
        EXPECT_EQ(uint8_t(b[at + 483]), uint8_t(0xA0 + i));
    }
}

TEST(SoftDatLayout, HistoriesAtTheirOffsets)
{
    const QByteArray b = SerializeSettings(Distinct());
    for (int i = 0; i < HISTORY_COUNT; ++i) {
        EXPECT_EQ(Text(b, 11808 + i * 800, 400), QStringLiteral("https://item.jd.com/%1.html").arg(i));
        EXPECT_EQ(Text(b, 15808 + i * 800, 400), QStringLiteral("/home/用户/图片%1/").arg(i));
    }
}

TEST(SoftDatLayout, RoundTripKeepsEveryValue)
{
    const SoftSettings s = Distinct();
    EXPECT_EQ(DeserializeSettings(SerializeSettings(s)), s);
}

// A file as the Windows program writes it: every field filled by hand.
TEST(SoftDatLayout, HandMadeFileLoadsAndIsWrittenBackByteIdentical)
{
    std::mt19937 rng(42);
    QByteArray b(SOFTDAT_SIZE, '\0');
    auto put16 = [&](int pos, uint16_t v) {
        b[pos] = char(v & 0xFF);
        b[pos + 1] = char(v >> 8);
    };
    auto putText = [&](int pos, int chars) {
        const int len = int(rng() % uint32_t(chars)); // 0 .. chars-1, so the zero fits
        for (int k = 0; k < len; ++k)
            put16(pos + 2 * k, uint16_t(0x20 + rng() % 0xD000)); // no zero, no surrogate
    };
    for (int i = 0; i < SITE_COUNT; ++i)
        for (int k = 0; k < 4; ++k)
            put16(i * 8 + 2 * k, uint16_t(rng()));
    for (int i = 0; i < SITE_COUNT; ++i) {
        const int at = 192 + i * 484;
        for (int t = 0; t < 6; ++t)
            putText(at + t * 80, 40);
        put16(at + 480, uint16_t(rng()));
        b[at + 482] = char(rng());
        b[at + 483] = char(rng());
    }
    for (int i = 0; i < 10; ++i)
        putText(11808 + i * 800, 400);
    const SoftSettings s = DeserializeSettings(b);
    EXPECT_EQ(SerializeSettings(s), b);
    EXPECT_EQ(s.arrDownload[3].wThreads, U16(b, 3 * 8 + 4));
    EXPECT_EQ(s.arrNaming[23].wFlags, U16(b, 192 + 23 * 484 + 480));
}

TEST(SoftDatLayout, OverlongTextsAreCutToLeaveTheZero)
{
    SoftSettings s;
    s.arrNaming[0].strFilePrefix = QString(39, QChar(u'p'));
    s.arrNaming[0].strFileSuffix = QString(45, QChar(u's'));
    s.arrUrlHistory[0] = QString(399, QChar(u'u'));
    s.arrUrlHistory[1] = QString(500, QChar(u'v'));
    const QByteArray b = SerializeSettings(s);
    ASSERT_EQ(b.size(), SOFTDAT_SIZE);
    EXPECT_EQ(Text(b, 192, 40), QString(39, QChar(u'p')));
    EXPECT_EQ(Text(b, 192 + 80, 40), QString(39, QChar(u's')));
    EXPECT_EQ(Text(b, 11808, 400), QString(399, QChar(u'u')));
    EXPECT_EQ(Text(b, 11808 + 800, 400), QString(399, QChar(u'v')));
    // The neighbour field is untouched.
    EXPECT_EQ(Text(b, 11808 + 1600, 400), QString());
}

TEST(SoftDatLayout, CutNeverLeavesHalfACharacter)
{
    SoftSettings s;
    s.arrNaming[0].strFilePrefix = QString(38, QChar(u'x')) + QString::fromUcs4(U"\U0001F600");
    const QByteArray b = SerializeSettings(s);
    EXPECT_EQ(Text(b, 192, 40), QString(38, QChar(u'x')));
}

TEST(SoftDatLayout, ShortBufferLeavesTheRestZero)
{
    const QByteArray full = SerializeSettings(Distinct());
    const SoftSettings s = DeserializeSettings(full.left(100));
    EXPECT_EQ(s.arrDownload[0].wThreads, 0x0300);
    EXPECT_EQ(s.arrDownload[11].wTimeoutSec, 0xF400 + 11); // bytes 94..95
    EXPECT_EQ(s.arrDownload[12].wMinKB, 0x0100 + 12);     // bytes 96..97
    EXPECT_EQ(s.arrDownload[12].wThreads, 0);             // byte 100 is past the end
    EXPECT_TRUE(s.arrNaming[0].strFilePrefix.isEmpty());
    // An odd length: the last byte alone is the low half of the value.
    const SoftSettings odd = DeserializeSettings(full.left(5));
    EXPECT_EQ(odd.arrDownload[0].wThreads, 0x0300 & 0xFF);
    EXPECT_EQ(DeserializeSettings(QByteArray()), SoftSettings());
}

TEST(SoftDatLayout, HostileBytesStayInsideTheirFields)
{
    // Random bytes without any zero: no text is terminated.
    std::mt19937 rng(7);
    QByteArray b(SOFTDAT_SIZE + 1000, '\0');
    for (char &c : b)
        c = char(1 + rng() % 255);
    const SoftSettings s = DeserializeSettings(b);
    for (const NamingRecord &n : s.arrNaming) {
        EXPECT_EQ(n.strFilePrefix.size(), 39);
        EXPECT_EQ(n.strFolderSuffix.size(), 39);
    }
    for (const QString &h : s.arrSavePathHistory)
        EXPECT_EQ(h.size(), 399);
    // Written back, every field ends in its zero and the size stays exact.
    const QByteArray again = SerializeSettings(s);
    ASSERT_EQ(again.size(), SOFTDAT_SIZE);
    EXPECT_EQ(U16(again, 192 + 78), 0);
    EXPECT_EQ(U16(again, SOFTDAT_SIZE - 2), 0);
    EXPECT_EQ(DeserializeSettings(again), s);
}

} // namespace
