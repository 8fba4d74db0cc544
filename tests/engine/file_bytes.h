#pragma once

// Whole-file reads and writes and UTF-16LE bytes, for checking what the jobs wrote.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace filebytes {

inline QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray Utf16Le(const QString &text)
{
    QByteArray b;
    for (const QChar c : text) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    return b;
}

} // namespace filebytes
