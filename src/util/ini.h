#pragma once

#include <QHash>
#include <QString>
#include <cstdint>

// Read-only INI reader with the lookup rules of the Windows profile functions:
// section and key names compare case-insensitively, blanks around names and
// values are trimmed, one pair of matching quotes around a value is removed,
// the first matching section and the first matching key in it win, lines
// starting with ';' are comments.  The file may be UTF-16LE with BOM, UTF-8
// (with or without BOM) or GBK.
class CIni
{
public:
    CIni() = default;
    explicit CIni(const QString &path) : m_pszPath(path) {}
    virtual ~CIni() = default;

    void SetPath(const QString &path)
    {
        m_pszPath = path;
        m_bLoaded = false;
    }
    const QString &Path() const { return m_pszPath; }

    // The value, or `def` when the file, section or key is missing.  A null
    // section or key returns `def` without reading the file.
    QString GetString(const QString &section, const QString &key, const QString &def = QString()) const;

    // The value's first 64 characters read as an unsigned decimal number
    // (blanks and a plus sign skipped, stops at the first non-digit, no digits
    // give 0, so a negative value is 0), or `def` when the value is missing or empty.
    uint32_t GetInt(const QString &section, const QString &key, uint32_t def) const;

private:
    // The file is read and parsed at the first lookup only: the first section
    // of each name, the first key of each name in it (names case-folded).
    void Load() const;

    QString m_pszPath;
    mutable bool m_bLoaded = false;
    mutable QHash<QString, QHash<QString, QString>> m_sections;
};

// Sets `key` in `section` of the INI file at `path` as the reader above would
// find it: the first such key of the first such section is replaced, else
// the key goes at the end of that section, else a new section at the end of
// the file.  Every other line, the encoding and the line ends are kept; the
// file is replaced whole, never half written.  False when it cannot be written.
bool SetIniString(const QString &path, const QString &section, const QString &key, const QString &value);
