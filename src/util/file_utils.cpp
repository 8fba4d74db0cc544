#include "util/file_utils.h"

#include "util/message_box.h"
#include "util/text_utils.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}

// A rename that never replaces an existing file.
bool MoveNoReplace(const QString &from, const QString &to)
{
    const QByteArray src = Native(from);
    const QByteArray dst = Native(to);
    if (src == dst)
        return true;
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: link refuses an existing target too.
    if (::link(src.constData(), dst.constData()) != 0)
        return false;
    ::unlink(src.constData());
    return true;
}

void SetTimes(const QString &path, int64_t nTime, bool bFolderToo)
{
    if (nTime <= 0)
        return;
    const QByteArray p = Native(path);
    // A link planted at a picture's name changes its own times, never its target's.
    struct stat st {};
    if (::lstat(p.constData(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode) && !bFolderToo)
        return;
    struct timespec times[2] = {};
    times[0].tv_sec = time_t(nTime);
    times[1].tv_sec = time_t(nTime);
    ::utimensat(AT_FDCWD, p.constData(), times, AT_SYMLINK_NOFOLLOW);
}

} // namespace

void TrimTrailingDots(QString &name)
{
    qsizetype n = name.size();
    while (n > 0 && name[n - 1] == u'.')
        --n;
    name.truncate(n);
}

void TrimLeadingDots(QString &name)
{
    qsizetype n = 0;
    while (n < name.size() && name[n] == u'.')
        ++n;
    name.remove(0, n);
}

QString FormatTimeStamp(int64_t nTime)
{
    const time_t t = time_t(nTime);
    struct tm local {};
    if (!::localtime_r(&t, &local))
        return QString();
    char buf[128];
    const size_t len = std::strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &local);
    if (len == 0)
        return QString();
    return QString::fromLatin1(buf, qsizetype(len));
}

void MakeSafeFileName(QString &name, int nIndex, bool bUseFallback)
{
    DecodeHtmlEntities(name);
    while (name.contains(QStringLiteral("  ")))
        name.replace(QStringLiteral("  "), QStringLiteral(" "));
    name = name.trimmed();
    bool bDotsOnly = true;
    for (const QChar c : std::as_const(name))
        bDotsOnly = bDotsOnly && c == u'.';
    if (bDotsOnly)
        name.replace(u'.', QChar(0x3002));
    static constexpr std::array<char16_t, 11> removed = {u'\r', u'\n', u'\\', u'/', u':', u'*',
                                                         u'?',  u'"',  u'<',  u'>', u'|'};
    // Control characters (ESC, BEL ...) from a page would reach file names
    // and terminals, a zero would end the name at the system call; the tab
    // alone becomes "_" below.
    name.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        const bool bControl = (u < 0x20 && u != u'\t') || (u >= 0x7F && u <= 0x9F);
        return bControl || std::find(removed.begin(), removed.end(), u) != removed.end();
    });
    name.replace(u'\t', u'_');
    // Trimming blanks can uncover dots and the other way round: "* .. *"
    // must not end as "..", the parent folder.
    for (qsizetype before = -1; before != name.size();) {
        before = name.size();
        TrimTrailingDots(name);
        TrimLeadingDots(name);
        name = name.trimmed();
    }
    if (bUseFallback && (name.isEmpty() || name.size() >= 1000)) {
        if (nIndex == SAFE_NAME_TIMESTAMP)
            name = FormatTimeStamp(int64_t(std::time(nullptr)));
        else
            name = QStringLiteral("pic%1").arg(nIndex);
    }
}

bool CreateDirectoryPath(QString &path, IMessageBox *pMsg, QString *pFailed)
{
    path = path.trimmed();
    if (!path.endsWith(u'/'))
        path += u'/';
    // A leading '/' is the root: it stays, and the root itself is never created.
    qsizetype from = path.startsWith(u'/') ? 1 : 0;
    for (;;) {
        const qsizetype pos = path.indexOf(u'/', from);
        if (pos <= 0)
            return true;
        from = pos + 1;
        if (path[pos - 1] == u'/')
            continue; // "//": nothing new to create
        const QString prefix = path.left(pos);
        const QByteArray p = Native(prefix);
        struct stat st {};
        if (::stat(p.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            continue;
        if (::mkdir(p.constData(), 0777) == 0)
            continue;
        // Another thread may have made it meanwhile.
        if (errno == EEXIST && ::stat(p.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            continue;
        if (pMsg)
            pMsg->ShowMessage(prefix);
        if (pFailed)
            *pFailed = prefix;
        return false;
    }
}

bool FixExtensionByContent(QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    // Split within the file name only, so a dot in a folder name never counts.
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString base = dot > slash ? path.left(dot) : path;
    QString ext = dot > slash ? path.mid(dot) : QString();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(7);
    file.close();
    auto b = [&](int i) { return i < head.size() ? int(uchar(head[i])) : -1; };
    if (b(0) == 0xFF && b(1) == 0xD8)
        ext = QStringLiteral(".jpg");
    else if (b(0) == 0x89 && b(1) == 0x50)
        ext = QStringLiteral(".png");
    else if (b(0) == 0x47 && b(1) == 0x49 && b(2) == 0x46)
        ext = QStringLiteral(".gif");
    else if (b(0) == 0x42 && b(1) == 0x4D)
        ext = QStringLiteral(".bmp");
    else if ((b(0) == 0x49 && b(1) == 0x49) || (b(0) == 0x4D && b(1) == 0x4D))
        ext = QStringLiteral(".tiff");
    else if (b(0) == 0 && b(1) == 0 && (b(2) == 2 || b(2) == 16) && b(3) == 0 && b(4) == 0)
        ext = QStringLiteral(".tga");
    else if (b(0) == 0 && b(1) == 0 && b(2) == 1 && b(3) == 0 && b(4) == 1)
        ext = QStringLiteral(".ico");
    else if (b(0) == 0 && b(1) == 0 && b(2) == 2 && b(3) == 0 && b(4) == 1)
        ext = QStringLiteral(".cur");

    const QString newPath = base + ext;
    if (!MoveNoReplace(path, newPath))
        return false;
    path = newPath;
    return true;
}

bool IsPictureExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString ext = path.mid(dot).toLower();
    static const std::array<QString, 6> exts = {QStringLiteral(".jpeg"), QStringLiteral(".jpg"),
                                                QStringLiteral(".bmp"),  QStringLiteral(".gif"),
                                                QStringLiteral(".png"),  QStringLiteral(".tif")};
    return std::find(exts.begin(), exts.end(), ext) != exts.end();
}

void SetFileTimes(const QString &path, int64_t nTime)
{
    SetTimes(path, nTime, false);
}

void SetFolderTimes(const QString &path, int64_t nTime)
{
    SetTimes(path, nTime, true);
}

void FitNameBytes(QString &name, int nMaxBytes)
{
    if (nMaxBytes < 0)
        nMaxBytes = 0;
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < name.size()) {
        const char32_t c = name[i].unicode();
        qsizetype units = 1;
        qsizetype len;
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            units = 2;
            len = 4;
        } else {
            len = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        }
        if (bytes + len > nMaxBytes)
            break;
        bytes += len;
        i += units;
    }
    name.truncate(i);
}

std::optional<QByteArray> ReadRegularFile(const QString &path, bool bFollowLinks)
{
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (bFollowLinks ? 0 : O_NOFOLLOW);
    const int fd = ::open(Native(path).constData(), flags);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    QFile file;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    return file.readAll();
}

bool IsSymLink(const QString &path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    struct stat st {};
    return ::lstat(Native(p).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

QString FirstLinkBelow(const QString &base, const QString &relative)
{
    QString path = base.endsWith(u'/') ? base : base + u'/';
    for (const QString &level : relative.split(u'/', Qt::SkipEmptyParts)) {
        path += level;
        if (IsSymLink(path))
            return path;
        path += u'/';
    }
    return QString();
}
