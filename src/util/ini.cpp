#include "util/ini.h"

#include "util/codepage.h"
#include "util/file_utils.h"

#include <QSaveFile>
#include <QStringEncoder>
#include <QStringDecoder>

namespace {

enum class IniEncoding { Utf16LE, Utf16BE, Utf8Bom, Utf8, Gbk };

// The file as text: UTF-16 with BOM, UTF-8 with or without BOM, else GBK.
QString ReadIniText(const QString &path, IniEncoding *encoding = nullptr)
{
    IniEncoding found = IniEncoding::Utf8;
    QString text;
    if (const std::optional<QByteArray> read = ReadRegularFile(path)) {
        const QByteArray &raw = *read;
        QStringDecoder utf8(QStringDecoder::Utf8);
        if (raw.startsWith("\xFF\xFE")) {
            found = IniEncoding::Utf16LE;
            text = QStringDecoder(QStringDecoder::Utf16LE)(raw.mid(2));
        } else if (raw.startsWith("\xFE\xFF")) {
            found = IniEncoding::Utf16BE;
            text = QStringDecoder(QStringDecoder::Utf16BE)(raw.mid(2));
        } else if (raw.startsWith("\xEF\xBB\xBF")) {
            found = IniEncoding::Utf8Bom;
            text = QString::fromUtf8(raw.mid(3));
        } else if (text = utf8(raw); utf8.hasError()) {
            // BytesToWide stops at a zero byte; a GBK file has none.
            found = IniEncoding::Gbk;
            text = BytesToWide(raw, CP_GBK);
        }
    }
    if (encoding)
        *encoding = found;
    return text;
}

QByteArray EncodeIniText(const QString &text, IniEncoding encoding)
{
    switch (encoding) {
    case IniEncoding::Utf16LE:
        return QByteArray("\xFF\xFE") + QStringEncoder(QStringEncoder::Utf16LE)(text);
    case IniEncoding::Utf16BE:
        return QByteArray("\xFE\xFF") + QStringEncoder(QStringEncoder::Utf16BE)(text);
    case IniEncoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case IniEncoding::Utf8:
        return text.toUtf8();
    case IniEncoding::Gbk:
        break;
    }
    return WideToGbk(text);
}

// The name of a section line, case-folded, or a null string for other lines.
QString SectionName(QStringView line)
{
    if (!line.startsWith(u'['))
        return QString();
    qsizetype close = line.indexOf(u']');
    if (close < 0)
        close = line.size();
    return line.mid(1, close - 1).trimmed().toString().toCaseFolded();
}

QString Unquote(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

void CIni::Load() const
{
    m_bLoaded = true;
    m_sections.clear();
    const QString text = ReadIniText(m_pszPath);
    QHash<QString, QString> *current = nullptr; // null: outside a section, or in a repeated one
    qsizetype from = 0;
    while (from <= text.size()) {
        qsizetype eol = text.indexOf(u'\n', from);
        if (eol < 0)
            eol = text.size();
        const QStringView line = QStringView(text).mid(from, eol - from).trimmed();
        from = eol + 1;
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const QString name = SectionName(line);
            // Only the first section of that name counts.
            current = m_sections.contains(name) ? nullptr : &m_sections[name];
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString name = line.left(eq).trimmed().toString().toCaseFolded();
        if (!current->contains(name)) // the first key of that name wins
            current->insert(name, Unquote(line.mid(eq + 1).trimmed().toString()));
    }
}

QString CIni::GetString(const QString &section, const QString &key, const QString &def) const
{
    if (section.isNull() || key.isNull() || m_pszPath.isEmpty())
        return def;
    if (!m_bLoaded)
        Load();
    const auto sec = m_sections.constFind(section.trimmed().toCaseFolded());
    if (sec == m_sections.constEnd())
        return def;
    const auto it = sec->constFind(key.trimmed().toCaseFolded());
    return it == sec->constEnd() ? def : *it;
}

uint32_t CIni::GetInt(const QString &section, const QString &key, uint32_t def) const
{
    const QString value = GetString(section, key, QString()).left(64);
    if (value.isEmpty())
        return def;
    // Blanks, an optional plus sign, digits; an overflow saturates.  A minus
    // sign is no digit: "-255" reads as 0, not as 255 negated modulo 2^32.
    qsizetype i = 0;
    while (i < value.size() && (value[i] == u' ' || value[i] == u'\t' || value[i] == u'\r' ||
                                value[i] == u'\n' || value[i] == u'\v' || value[i] == u'\f'))
        ++i;
    if (i < value.size() && value[i] == u'+')
        ++i;
    uint64_t n = 0;
    bool bOverflow = false;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i) {
        n = n * 10 + uint64_t(value[i].unicode() - u'0');
        if (n > 0xFFFFFFFFull) {
            bOverflow = true;
            n = 0xFFFFFFFFull;
        }
    }
    if (bOverflow)
        return 0xFFFFFFFFu;
    return uint32_t(n);
}

bool SetIniString(const QString &path, const QString &section, const QString &key, const QString &value)
{
    IniEncoding encoding = IniEncoding::Utf8;
    const QString text = ReadIniText(path, &encoding);
    const QString eol = text.contains(QStringLiteral("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = text.split(u'\n');
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    const QString wantSection = section.trimmed().toCaseFolded();
    const QString wantKey = key.trimmed().toCaseFolded();
    const QString entry = key + u'=' + value;
    // As the reader looks: the first section of the name, the first key in it.
    qsizetype sectionAt = -1;
    qsizetype insertAt = -1; // after the section's last line that is not blank
    bool bDone = false;
    for (qsizetype i = 0; i < lines.size() && !bDone; ++i) {
        const QStringView line = QStringView(lines[i]).trimmed();
        const QString name = SectionName(line);
        if (!name.isNull()) {
            if (sectionAt >= 0)
                break;
            if (name == wantSection) {
                sectionAt = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionAt < 0 || line.isEmpty())
            continue;
        insertAt = i + 1;
        const qsizetype eq = line.indexOf(u'=');
        if (!line.startsWith(u';') && eq >= 0 && line.left(eq).trimmed().toString().toCaseFolded() == wantKey) {
            lines[i] = entry;
            bDone = true;
        }
    }
    if (!bDone && sectionAt >= 0) {
        lines.insert(insertAt, entry);
    } else if (!bDone) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines.append(QString());
        lines.append(u'[' + section + u']');
        lines.append(entry);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(EncodeIniText(lines.join(eol) + eol, encoding));
    return file.commit();
}
