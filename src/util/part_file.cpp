#include "util/part_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names tried before the folder counts as taking no new file.
constexpr int kNameTries = 100;
// A file this young may belong to a run that has made it and not yet taken
// its lock.
constexpr time_t kStaleAfterSec = 10;

// Six characters as mkstemp would pick them.
QByteArray RandomSuffix()
{
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix(6, '\0');
    for (char &c : suffix)
        c = kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))];
    return suffix;
}

} // namespace

bool CPartFile::Open(const QString &finalPath, unsigned mode)
{
    Discard();
    const qsizetype slash = finalPath.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : finalPath.left(slash);
    // The folder as it stands now: a link at its name is not followed, and
    // one swapped in later cannot take the file elsewhere.
    m_dirFd = ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (m_dirFd < 0)
        return false;
    m_finalName = QFile::encodeName(finalPath.mid(slash + 1));
    for (int i = 0; i < kNameTries; ++i) {
        // A short name of our own: the final name may already use all 255 bytes.
        const QByteArray name = kPartFilePrefix + RandomSuffix();
        // O_EXCL: a planted link is never followed.  Mode 0666 less the
        // umask, as any file the user makes; no chmod afterwards.
        const int fd = ::openat(m_dirFd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            break;
        ::flock(fd, LOCK_EX | LOCK_NB);
        m_fd = fd;
        m_tempName = name;
        m_size = 0;
        return true;
    }
    Discard();
    return false;
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
    const bool ok = ::close(fd) == 0 &&
                    ::renameat(m_dirFd, m_tempName.constData(), m_dirFd, m_finalName.constData()) == 0;
    if (ok)
        m_tempName.clear();
    Discard();
    return ok;
}

void CPartFile::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempName.isEmpty()) {
        ::unlinkat(m_dirFd, m_tempName.constData(), 0);
        m_tempName.clear();
    }
    if (m_dirFd >= 0) {
        ::close(m_dirFd);
        m_dirFd = -1;
    }
}

bool ReplaceFileWith(const QString &path, const QByteArray &bytes, unsigned mode)
{
    CPartFile part;
    return part.Open(path, mode) && part.Write(bytes.constData(), size_t(bytes.size())) && part.Commit();
}

int RemoveStaleParts(const QString &folder)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({QString::fromLatin1(kPartFilePrefix) + u'*'},
                                            QDir::Files | QDir::Hidden | QDir::System);
    const time_t now = ::time(nullptr);
    int removed = 0;
    for (const QString &name : names) {
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // A live writer holds its lock; only a regular file of ours goes.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime >= kStaleAfterSec &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.constData()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}
