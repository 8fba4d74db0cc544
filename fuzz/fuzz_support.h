#pragma once

// Small pieces the fuzz targets share: a check that stops the run with a
// message, a scratch folder for the whole process, and the input cut into
// parts.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// A wrong result is a finding just like a crash: libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

namespace fuzz {

// One folder per process, removed at exit; ends in '/'.
inline const QString &ScratchFolder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path() + u'/';
    return path;
}

// Empties a folder below the scratch folder (made when missing); ends in '/'.
inline QString FreshFolder(const QString &name)
{
    const QString path = ScratchFolder() + name + u'/';
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

// The input cut at every "\n----\n": seeds stay readable text files.
inline QList<QByteArray> Parts(const uint8_t *data, size_t size)
{
    const QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    static const QByteArray sep("\n----\n");
    QList<QByteArray> parts;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = all.indexOf(sep, from);
        if (at < 0) {
            parts.append(all.mid(from));
            return parts;
        }
        parts.append(all.mid(from, at - from));
        from = at + sep.size();
    }
}

// The bytes as UTF-16 units (an odd last byte is dropped): lone surrogates,
// zero and control characters reach the code under test unfiltered.
inline QString Utf16Units(const QByteArray &bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(text.data(), bytes.constData(), size_t(text.size()) * 2);
    return text;
}

// One path component a folder can hold and that stays where it is put: not
// empty, not "." or "..", no '/' or zero, at most 255 bytes.
inline bool SafeComponent(const QString &c)
{
    return !c.isEmpty() && c != u"." && c != u".." && !c.contains(u'/') && !c.contains(QChar(0))
           && QFile::encodeName(c).size() <= 255;
}

} // namespace fuzz
