#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// A file's temporary file beside its final name (pictures, pic.zvk, lists).  Bytes go to a fresh file
// of a short hidden name in the same folder; Commit moves it onto the final
// name in one step, so a cut, a full disk or a kill never leaves a partial
// picture under the final name and never touches what stood there.  A file
// that is neither committed nor kept is removed when the object goes.
class CPartFile
{
public:
    CPartFile() = default;
    ~CPartFile() { Discard(); }
    CPartFile(const CPartFile &) = delete;
    CPartFile &operator=(const CPartFile &) = delete;

    // Creates the temporary file for `finalPath` (never following a link,
    // never reusing a name) and holds a lock on it while it is open, so
    // another run can tell a live one from one a kill left behind.  The file
    // stays in the folder that stood at the path at this call: a link at the
    // folder's own name is refused.  False when the folder takes no new file.
    // `mode` is the new file's permissions, less the umask.
    bool Open(const QString &finalPath, unsigned mode = 0666);
    bool IsOpen() const { return m_fd >= 0; }
    // Appends; false on a short or failed write (disk full, file-size limit).
    bool Write(const char *data, size_t len);
    uint64_t Size() const { return m_size; }
    // Closes and renames onto the final name; a link standing there is
    // replaced itself, its target is left alone.  The temporary file is gone
    // either way.
    bool Commit();
    // Closes and removes the temporary file.
    void Discard();

private:
    int m_fd = -1;
    int m_dirFd = -1;       // the folder, opened at Open
    QByteArray m_tempName;  // names within that folder
    QByteArray m_finalName;
    uint64_t m_size = 0;
};

// Name prefix of the temporary files, so tests and tools can tell them.
inline constexpr char kPartFilePrefix[] = ".ostrel-";

// Writes `bytes` as the whole of `path` the way a picture is written: a link
// standing at `path` is replaced, never followed.
bool ReplaceFileWith(const QString &path, const QByteArray &bytes, unsigned mode = 0666);

// Removes the temporary files in `folder` that no process holds any more
// (left by a kill or a crash).  Returns how many went.
int RemoveStaleParts(const QString &folder);
