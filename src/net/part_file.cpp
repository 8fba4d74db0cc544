#include "net/part_file.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Read without umask(), which would change it under the other threads for a moment.
mode_t ProcessUmask()
{
    static const mode_t mask = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray &line : status.readAll().split('\n'))
                if (line.startsWith("Umask:"))
                    return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        return mode_t(022);
    }();
    return mask;
}

} // namespace

bool CPartFile::Open(const QString &finalPath)
{
    Discard();
    const qsizetype slash = finalPath.lastIndexOf(u'/');
    // A short name of our own: the final name may already use all 255 bytes.
    QByteArray templ = QFile::encodeName(finalPath.left(slash + 1)) + kPartFilePrefix + "XXXXXX";
    // mkstemp opens with O_EXCL, so a planted link is never followed.
    const int fd = ::mkostemp(templ.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    m_fd = fd;
    m_tempPath = QFile::decodeName(templ);
    m_finalPath = finalPath;
    m_size = 0;
    return true;
}

bool CPartFile::Write(const char *data, size_t len)
{
    if (m_fd < 0)
        return false;
    while (len > 0) {
        const ssize_t n = ::write(m_fd, data, len);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        len -= size_t(n);
        m_size += uint64_t(n);
    }
    return true;
}

bool CPartFile::Commit()
{
    if (m_fd < 0)
        return false;
    const int fd = m_fd;
    m_fd = -1;
    // mkstemp makes a private file; pictures are plain user files.
    bool ok = ::fchmod(fd, 0666 & ~ProcessUmask()) == 0;
    ok = ::close(fd) == 0 && ok;
    const QByteArray temp = QFile::encodeName(m_tempPath);
    if (ok && ::rename(temp.constData(), QFile::encodeName(m_finalPath).constData()) == 0) {
        m_tempPath.clear();
        return true;
    }
    ::unlink(temp.constData());
    m_tempPath.clear();
    return false;
}

void CPartFile::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.isEmpty()) {
        ::unlink(QFile::encodeName(m_tempPath).constData());
        m_tempPath.clear();
    }
}
