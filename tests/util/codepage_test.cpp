#include "util/codepage.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

const QString kZhong = QString(QChar(0x4E2D));  // 中
const QString kWen = QString(QChar(0x6587));    // 文
const QChar kBad(0xFFFD);

QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

TEST(BytesToWide, DecodesUtf8)
{
    EXPECT_EQ(BytesToWide(Bytes({'a', 0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}), CP_UTF8), QStringLiteral("a") + kZhong + kWen);
}

TEST(BytesToWide, StopsAtTheFirstZeroByte)
{
    const QByteArray b = Bytes({'a', 'b', 0, 'c', 'd'});
    EXPECT_EQ(BytesToWide(b, CP_UTF8), QStringLiteral("ab"));
    EXPECT_EQ(BytesToWide(b.constData(), b.size(), CP_GBK), QStringLiteral("ab"));
    EXPECT_EQ(BytesToWide(Bytes({0, 'x'}), CP_UTF8), QString());
}

TEST(BytesToWide, InvalidBytesBecomeReplacementAndConversionGoesOn)
{
    const QString w = BytesToWide(Bytes({'a', 0xFF, 'b', 0xC3, 'c'}), CP_UTF8);
    EXPECT_EQ(w, QStringLiteral("a") + QString(kBad) + QStringLiteral("b") + QString(kBad) + QStringLiteral("c"));
}

TEST(BytesToWide, CutOffCharacterAtTheEndBecomesReplacement)
{
    EXPECT_EQ(BytesToWide(Bytes({'a', 0xE4, 0xB8}), CP_UTF8), QStringLiteral("a") + QString(kBad));
    EXPECT_EQ(BytesToWide(Bytes({'a', 0xD6}), CP_GBK), QStringLiteral("a") + QString(kBad));
}

TEST(BytesToWide, FourByteUtf8GivesASurrogatePair)
{
    const QString w = BytesToWide(Bytes({0xF0, 0x9F, 0x98, 0x80, 'x'}), CP_UTF8);
    ASSERT_EQ(w.size(), 3);
    EXPECT_TRUE(w[0].isHighSurrogate());
    EXPECT_EQ(w.toUcs4().front(), 0x1F600u);
}

TEST(BytesToWide, DecodesGbkAndTheAnsiCodePage)
{
    const QByteArray gbk = Bytes({0xD6, 0xD0, 0xCE, 0xC4, '1'});
    EXPECT_EQ(BytesToWide(gbk, CP_GBK), kZhong + kWen + QStringLiteral("1"));
    EXPECT_EQ(BytesToWide(gbk, CP_ACP), kZhong + kWen + QStringLiteral("1"));
}

TEST(BytesToWide, DecodesBig5AndEucKr)
{
    EXPECT_EQ(BytesToWide(Bytes({0xA4, 0xA4, 0xA4, 0xE5}), CP_BIG5), kZhong + kWen);
    // 한 (U+D55C) in EUC-KR.
    EXPECT_EQ(BytesToWide(Bytes({0xC7, 0xD1}), CP_EUCKR), QString(QChar(0xD55C)));
}

TEST(BytesToWide, EmptyAndUnknownGiveEmpty)
{
    EXPECT_EQ(BytesToWide(QByteArray(), CP_UTF8), QString());
    EXPECT_EQ(BytesToWide(nullptr, 5, CP_UTF8), QString());
    EXPECT_EQ(BytesToWide("abc", -1, CP_UTF8), QString());
    EXPECT_EQ(BytesToWide(QByteArray("abc"), 12345), QString());
}

TEST(BytesToWide, LongInputConvertsWhole)
{
    QByteArray b;
    for (int i = 0; i < 100000; ++i)
        b.append("\xE4\xB8\xAD", 3);
    const QString w = BytesToWide(b, CP_UTF8);
    ASSERT_EQ(w.size(), 100000);
    EXPECT_EQ(w.back(), QChar(0x4E2D));
}

TEST(WideToGbk, EncodesChineseAndAscii)
{
    EXPECT_EQ(WideToGbk(kZhong + kWen + QStringLiteral("a1")), Bytes({0xD6, 0xD0, 0xCE, 0xC4, 'a', '1'}));
    EXPECT_EQ(WideToGbk(QString()), QByteArray());
}

TEST(WideToGbk, StopsAtTheFirstZero)
{
    QString t = QStringLiteral("ab");
    t.append(QChar(0));
    t.append(QStringLiteral("cd"));
    EXPECT_EQ(WideToGbk(t), QByteArray("ab"));
}

TEST(WideToGbk, UnmappableCharactersBecomeQuestionMarks)
{
    const QString smiley = QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(WideToGbk(QStringLiteral("a") + smiley + QStringLiteral("b")), QByteArray("a?b"));
    QString lone = QStringLiteral("x");
    lone.append(QChar(0xD800));
    lone.append(u'y');
    EXPECT_EQ(WideToGbk(lone), QByteArray("x?y"));
    QString trailing = QStringLiteral("z");
    trailing.append(QChar(0xDBFF));
    EXPECT_EQ(WideToGbk(trailing), QByteArray("z?"));
}

TEST(WideToGbk, RoundTripsThroughBytesToWide)
{
    const QString text = QStringLiteral("京东商品图片 €100 (测试)");
    EXPECT_EQ(BytesToWide(WideToGbk(text), CP_GBK), text);
}

} // namespace
