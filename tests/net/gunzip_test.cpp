#include "net/gunzip.h"

#include "net_test_support.h"

namespace {

QByteArray Text(int n)
{
    QByteArray t;
    for (int i = 0; i < n; ++i)
        t += QByteArray::number(i * 7919 % 1000) + ' ';
    return t;
}

TEST(Gunzip, InflatesGzipAndZlibData)
{
    const QByteArray plain = Text(20000); // many 8192-byte passes
    QByteArray out;
    EXPECT_TRUE(GunzipToString(Deflate(plain, 31).constData(), std::size_t(Deflate(plain, 31).size()), out));
    EXPECT_EQ(out, plain);
    out.clear();
    const QByteArray z = Deflate(plain, 15);
    EXPECT_TRUE(GunzipToString(z.constData(), std::size_t(z.size()), out));
    EXPECT_EQ(out, plain);
}

TEST(Gunzip, AppendsToTheOutput)
{
    const QByteArray gz = Deflate("tail");
    QByteArray out("head ");
    EXPECT_TRUE(GunzipToString(gz.constData(), std::size_t(gz.size()), out));
    EXPECT_EQ(out, "head tail");
}

TEST(Gunzip, TruncatedDataKeepsWhatWasInflated)
{
    const QByteArray plain = Text(20000);
    const QByteArray gz = Deflate(plain);
    QByteArray out;
    EXPECT_FALSE(GunzipToString(gz.constData(), std::size_t(gz.size() / 2), out));
    EXPECT_FALSE(out.isEmpty());
    EXPECT_TRUE(plain.startsWith(out));
}

TEST(Gunzip, InflaterTakesTheDataInPiecesOfAnySize)
{
    const QByteArray plain = Text(20000);
    const QByteArray gz = Deflate(plain);
    for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(8192), gz.size()}) {
        CInflater inflater;
        QByteArray out;
        bool fed = true;
        for (qsizetype at = 0; at < gz.size() && fed; at += piece)
            fed = inflater.Feed(gz.constData() + at, std::size_t(std::min(piece, gz.size() - at)),
                                [&](const char *p, std::size_t n) {
                                    out.append(p, qsizetype(n));
                                    return true;
                                });
        EXPECT_TRUE(fed && inflater.Ended()) << piece;
        EXPECT_EQ(out, plain) << piece;
    }
    CInflater cut;
    EXPECT_TRUE(cut.Feed(gz.constData(), std::size_t(gz.size() / 2), [](const char *, std::size_t) { return true; }));
    EXPECT_FALSE(cut.Ended());
}

TEST(Gunzip, GarbageAndEmptyInputFail)
{
    QByteArray out;
    EXPECT_FALSE(GunzipToString("this is not gzip", 16, out));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(GunzipToString("", 0, out));
    EXPECT_FALSE(GunzipToString(nullptr, 0, out));
    EXPECT_TRUE(out.isEmpty());
}

TEST(Gunzip, CorruptedMiddleFails)
{
    QByteArray gz = Deflate(Text(5000));
    for (int i = 20; i < 60; ++i)
        gz[i] = char(gz[i] ^ 0x5A);
    QByteArray out;
    EXPECT_FALSE(GunzipToString(gz.constData(), std::size_t(gz.size()), out));
}

TEST(Gunzip, BombStopsAtTheCap)
{
    const QByteArray bomb = Deflate(QByteArray(8 * 1024 * 1024, '\0'));
    ASSERT_LT(bomb.size(), 20000);
    QByteArray out;
    EXPECT_FALSE(GunzipToString(bomb.constData(), std::size_t(bomb.size()), out, 1000000));
    EXPECT_EQ(out.size(), 1000000);
    // Exactly at the cap the stream still ends properly.
    const QByteArray fits = Deflate(QByteArray(65536, 'f'));
    out.clear();
    EXPECT_TRUE(GunzipToString(fits.constData(), std::size_t(fits.size()), out, 65536));
    EXPECT_EQ(out.size(), 65536);
}

} // namespace
