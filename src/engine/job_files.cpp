#include "engine/job_files.h"

#include "core/records.h"
#include "util/codepage.h"
#include "util/file_utils.h"
#include "util/part_file.h"

#include <optional>

namespace {

QByteArray Utf16Le(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        bytes.append(char(u & 0xFF));
        bytes.append(char(u >> 8));
    }
    return bytes;
}

} // namespace

bool WritePicZvk(const ST_DOWNJOB &job)
{
    if (job.arrUrl.isEmpty())
        return false;
    return WritePicZvk(job.strFolder, job.arrUrl.first());
}

bool WritePicZvk(const QString &folder, const QString &firstUrl)
{
    if (firstUrl.isEmpty())
        return false;
    return ReplaceFileWith(folder + QStringLiteral("pic.zvk"), Utf16Le(firstUrl));
}

QString ReadPicZvk(const QString &folder)
{
    const QByteArray bytes = ReadRegularFile(folder + QStringLiteral("pic.zvk"), false).value_or(QByteArray());
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t u = char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8));
        if (u == u'\n')
            break;
        text.append(QChar(u));
    }
    return text;
}

bool WriteListFile(const ST_DOWNJOB &job, const QString &albumName)
{
    QByteArray bytes;
    for (const QString &entry : job.arrUrl) {
        bytes += WideToGbk(entry);
        bytes += "\r\n";
    }
    return ReplaceFileWith(job.strFolder + albumName + QStringLiteral(".lst"), bytes);
}

bool AppendOriginalName(const QString &path, const QString &name, bool create)
{
    QByteArray bytes;
    if (create) {
        bytes = QByteArray("\xFF\xFE", 2);
    } else {
        // Later pictures only add to a file the first one made.
        const std::optional<QByteArray> earlier = ReadRegularFile(path, false);
        if (!earlier)
            return false;
        bytes = *earlier;
    }
    bytes += Utf16Le(name + QStringLiteral("\r\n"));
    return ReplaceFileWith(path, bytes);
}

void FixPictureFormats(ST_DOWNJOB &job)
{
    for (int i = 0; i < job.Count(); ++i) {
        QString path = job.FullPath(i);
        if (!FixExtensionByContent(path))
            continue;
        if (IsAbsoluteFileName(job.arrFileName[i]))
            job.arrFileName[i] = path;
        else
            job.arrFileName[i] = path.mid(path.lastIndexOf(u'/') + 1);
    }
}

void FixPictureOrder(const ST_DOWNJOB &job, int64_t nNow)
{
    int64_t t = nNow;
    for (int i = 0; i < job.Count(); ++i) {
        SetFileTimes(job.FullPath(i), t);
        t -= 60;
    }
}
