#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

class IMessageBox;

// Index that asks MakeSafeFileName for a time-stamp fallback instead of "pic%d".
inline constexpr int SAFE_NAME_TIMESTAMP = 0xFFFF;

// Turns a title into a name that every file system can hold: decodes the HTML
// entities, collapses spaces, trims, turns a dots-only name into "。" marks,
// drops CR LF \ / : * ? " < > | and every other control character, turns tabs into "_", strips
// dots and blanks at both ends (so the name is never "." or "..").  With `bUseFallback`, an empty name or one of 1000 characters or
// more becomes FormatTimeStamp(now) for index SAFE_NAME_TIMESTAMP, else "pic%d".
void MakeSafeFileName(QString &name, int nIndex, bool bUseFallback);

// Trims the path, gives it exactly one trailing '/', and creates every missing
// level.  On failure the failing folder is shown through `pMsg` (when given),
// put into `pFailed` (when given) and false is returned.
bool CreateDirectoryPath(QString &path, IMessageBox *pMsg = nullptr, QString *pFailed = nullptr);

// Looks at the first bytes of the file and gives it the extension its content
// says (.jpg .png .gif .bmp .tiff .tga .ico .cur); unknown content keeps the
// extension.  On success `path` holds the new path.  Never replaces another
// file: on failure `path` is left as it was and false is returned.
bool FixExtensionByContent(QString &path);

// True for .jpeg .jpg .bmp .gif .png .tif (any letter case).
bool IsPictureExtension(const QString &path);

// Sets the access and modification times of a file (SetFileTimes) or of a
// folder or file (SetFolderTimes) to `nTime` seconds since 1970 UTC.
// A time of 0 or less, or a missing path, changes nothing.
void SetFileTimes(const QString &path, int64_t nTime);
void SetFolderTimes(const QString &path, int64_t nTime);

// Local time as "%Y%m%d%H%M%S"; empty when the time cannot be converted.
QString FormatTimeStamp(int64_t nTime);

// Removes the run of dots at the end / all dots at the start of a name.
void TrimTrailingDots(QString &name);
void TrimLeadingDots(QString &name);

// Cuts a single path component so that its UTF-8 form fits `nMaxBytes`
// (file systems here limit a name to 255 bytes), never splitting a character.
void FitNameBytes(QString &name, int nMaxBytes = 255);

// The first folder level of `relative` below `base` (both '/'-separated) that
// is a symbolic link, as a full path; empty when there is none.  Levels that
// do not exist yet are no links.
QString FirstLinkBelow(const QString &base, const QString &relative);
// True when `path` (a trailing '/' ignored) is itself a symbolic link.
bool IsSymLink(const QString &path);

// The bytes of the regular file at `path`; nothing for a pipe, a device or a
// folder (opened without waiting, so a pipe planted at the name never blocks),
// and, without `bFollowLinks`, nothing for a link either.
std::optional<QByteArray> ReadRegularFile(const QString &path, bool bFollowLinks = true);
