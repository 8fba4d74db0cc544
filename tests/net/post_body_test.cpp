#include "net/post_body.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::size_t> Pieces(const QByteArray &data, std::size_t room = 65536)
{
    CPostBody body(data);
    std::vector<char> buf(room);
    std::vector<std::size_t> sizes;
    QByteArray joined;
    for (std::size_t n; (n = body.Next(buf.data(), room)) > 0;) {
        sizes.push_back(n);
        joined.append(buf.data(), qsizetype(n));
    }
    EXPECT_EQ(joined, data.left(qstrlen(data.constData())));
    return sizes;
}

TEST(PostBody, IsHandedOutInPiecesOf1024InOrder)
{
    QByteArray data(2500, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char('A' + i % 50);
    EXPECT_EQ(Pieces(data), (std::vector<std::size_t>{1024, 1024, 452}));
    EXPECT_EQ(Pieces(QByteArray(2048, 'q')), (std::vector<std::size_t>{1024, 1024}));
}

TEST(PostBody, EmptyOrAbsentBodyGivesNoPiece)
{
    EXPECT_TRUE(Pieces(QByteArray()).empty());
    EXPECT_TRUE(Pieces(QByteArray("")).empty());
    EXPECT_EQ(CPostBody(QByteArray()).Length(), 0u);
}

TEST(PostBody, LengthStopsAtTheFirstZeroByte)
{
    const QByteArray data("abc\0def", 7);
    EXPECT_EQ(CPostBody(data).Length(), 3u);
    EXPECT_EQ(Pieces(data), (std::vector<std::size_t>{3}));
}

TEST(PostBody, SmallRoomGivesSmallerPiecesAndRewindStartsOver)
{
    CPostBody body(QByteArray(1500, 'r'));
    char buf[600];
    EXPECT_EQ(body.Next(buf, sizeof buf), 600u);
    EXPECT_EQ(body.Next(buf, sizeof buf), 600u);
    EXPECT_EQ(body.Next(buf, sizeof buf), 300u);
    EXPECT_EQ(body.Next(buf, sizeof buf), 0u);
    body.Rewind();
    EXPECT_EQ(body.Next(buf, sizeof buf), 600u);
}

} // namespace
