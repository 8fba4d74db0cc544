#include "util/ini.h"

#include "util/codepage.h"
#include "util/file_utils.h"

#include <QStringDecoder>

namespace {

// The file as text: UTF-16 with BOM, UTF-8 with or without BOM, else GBK.
QString ReadIniText(const QString &path)
{
    const QByteArray raw = ReadRegularFile(path).value_or(QByteArray());
    if (raw.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)(raw.mid(2));
    if (raw.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE)(raw.mid(2));
    if (raw.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(raw.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(raw);
    if (!utf8.hasError())
        return text;
    // BytesToWide stops at a zero byte; a GBK file has none.
    return BytesToWide(raw, CP_GBK);
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
            qsizetype close = line.indexOf(u']');
            if (close < 0)
                close = line.size();
            const QString name = line.mid(1, close - 1).trimmed().toString().toCaseFolded();
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
