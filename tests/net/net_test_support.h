#pragma once

// Shared pieces of the web access tests: gzip data, a sandboxed cookie file.

#include "net/cookie_store.h"

#include <QByteArray>
#include <QList>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>

inline QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

inline std::string S(const QByteArray &b)
{
    return std::string(b.constData(), std::size_t(b.size()));
}

// A Cookie header's cookies in name order: libcurl and browsers order them
// by path length, then as they like.
inline QByteArray SortedCookies(const QByteArray &cookieHeader)
{
    QList<QByteArray> parts = cookieHeader.split(';');
    for (QByteArray &p : parts)
        p = p.trimmed();
    std::sort(parts.begin(), parts.end());
    return parts.join("; ");
}

// windowBits 31 = gzip wrapper, 15 = zlib wrapper.
inline QByteArray Deflate(const QByteArray &plain, int windowBits = 31)
{
    z_stream zs{};
    if (deflateInit2(&zs, 9, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&zs, uLong(plain.size()))) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.constData()));
    zs.avail_in = uInt(plain.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.truncate(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return out;
}

// Every test starts with an empty cookie store kept in a file of its own.
class NetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(m_dir.isValid());
        CCookieStore::Instance().SetCookieFile(CookiePath());
        CCookieStore::Instance().Clear();
    }
    QString CookiePath() const { return m_dir.filePath(QStringLiteral("cookies.txt")); }
    QString TempPath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
