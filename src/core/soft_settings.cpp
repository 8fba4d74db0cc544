#include "core/soft_settings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Little-endian writer into a zero-filled buffer of the final size.
class Writer
{
public:
    explicit Writer(QByteArray &buf) : m_buf(buf) {}
    void u8(int pos, uint8_t v) { m_buf[pos] = char(v); }
    void u16(int pos, uint16_t v)
    {
        m_buf[pos] = char(v & 0xFF);
        m_buf[pos + 1] = char(v >> 8);
    }
    // `chars` UTF-16 units including the terminating zero.
    void text(int pos, int chars, const QString &s)
    {
        qsizetype n = std::min<qsizetype>(s.size(), chars - 1);
        if (n < s.size() && n > 0 && s[n - 1].isHighSurrogate() && s[n].isLowSurrogate())
            --n; // a cut never splits a character
        for (qsizetype i = 0; i < n; ++i)
            u16(pos + int(i) * 2, s[i].unicode());
    }

private:
    QByteArray &m_buf;
};

// Reader that sees zeros past the end of a short buffer.
class Reader
{
public:
    explicit Reader(const QByteArray &buf) : m_buf(buf) {}
    uint8_t u8(int pos) const { return pos < m_buf.size() ? uint8_t(m_buf[pos]) : 0; }
    uint16_t u16(int pos) const { return uint16_t(u8(pos) | (u8(pos + 1) << 8)); }
    // Ends at the first zero; a field without one gives its first chars - 1
    // units, so a stored text always fits back with its zero.
    QString text(int pos, int chars) const
    {
        QString s;
        for (int i = 0; i < chars - 1; ++i) {
            const uint16_t c = u16(pos + i * 2);
            if (c == 0)
                break;
            s.append(QChar(c));
        }
        return s;
    }

private:
    const QByteArray &m_buf;
};

constexpr int NamingOffset(int site) { return SOFTDAT_NAMING_OFFSET + site * NAMINGRECORD_SIZE; }

QString SoftDatPath(const QString &programFolder)
{
    if (programFolder.isEmpty() || programFolder.endsWith(u'/'))
        return programFolder + SOFTDAT_FILE_NAME;
    return programFolder + u'/' + SOFTDAT_FILE_NAME;
}

} // namespace

QByteArray SerializeSettings(const SoftSettings &s)
{
    QByteArray buf(SOFTDAT_SIZE, '\0');
    Writer w(buf);
    for (int i = 0; i < SITE_COUNT; ++i) {
        const DownloadParams &d = s.arrDownload[size_t(i)];
        const int at = i * DOWNLOADPARAMS_SIZE;
        w.u16(at, d.wMinKB);
        w.u16(at + 2, d.wMaxKB);
        w.u16(at + 4, d.wThreads);
        w.u16(at + 6, d.wTimeoutSec);
    }
    for (int i = 0; i < SITE_COUNT; ++i) {
        const NamingRecord &n = s.arrNaming[size_t(i)];
        const int at = NamingOffset(i);
        w.text(at, NAMING_CHARS, n.strFilePrefix);
        w.text(at + 80, NAMING_CHARS, n.strFileSuffix);
        w.text(at + 160, NAMING_CHARS, n.strReplaceWhat);
        w.text(at + 240, NAMING_CHARS, n.strReplaceWith);
        w.text(at + 320, NAMING_CHARS, n.strFolderPrefix);
        w.text(at + 400, NAMING_CHARS, n.strFolderSuffix);
        w.u16(at + 480, n.wFlags);
        w.u8(at + 482, n.nFileNameSource);
        w.u8(at + 483, n.nFolderSource);
    }
    for (int i = 0; i < HISTORY_COUNT; ++i) {
        w.text(SOFTDAT_URLHISTORY_OFFSET + i * HISTORY_CHARS * 2, HISTORY_CHARS, s.arrUrlHistory[size_t(i)]);
        w.text(SOFTDAT_SAVEHISTORY_OFFSET + i * HISTORY_CHARS * 2, HISTORY_CHARS,
               s.arrSavePathHistory[size_t(i)]);
    }
    return buf;
}

SoftSettings DeserializeSettings(const QByteArray &data)
{
    SoftSettings s;
    const Reader r(data);
    for (int i = 0; i < SITE_COUNT; ++i) {
        DownloadParams &d = s.arrDownload[size_t(i)];
        const int at = i * DOWNLOADPARAMS_SIZE;
        d.wMinKB = r.u16(at);
        d.wMaxKB = r.u16(at + 2);
        d.wThreads = r.u16(at + 4);
        d.wTimeoutSec = r.u16(at + 6);
    }
    for (int i = 0; i < SITE_COUNT; ++i) {
        NamingRecord &n = s.arrNaming[size_t(i)];
        const int at = NamingOffset(i);
        n.strFilePrefix = r.text(at, NAMING_CHARS);
        n.strFileSuffix = r.text(at + 80, NAMING_CHARS);
        n.strReplaceWhat = r.text(at + 160, NAMING_CHARS);
        n.strReplaceWith = r.text(at + 240, NAMING_CHARS);
        n.strFolderPrefix = r.text(at + 320, NAMING_CHARS);
        n.strFolderSuffix = r.text(at + 400, NAMING_CHARS);
        n.wFlags = r.u16(at + 480);
        n.nFileNameSource = r.u8(at + 482);
        n.nFolderSource = r.u8(at + 483);
    }
    for (int i = 0; i < HISTORY_COUNT; ++i) {
        s.arrUrlHistory[size_t(i)] = r.text(SOFTDAT_URLHISTORY_OFFSET + i * HISTORY_CHARS * 2, HISTORY_CHARS);
        s.arrSavePathHistory[size_t(i)] =
            r.text(SOFTDAT_SAVEHISTORY_OFFSET + i * HISTORY_CHARS * 2, HISTORY_CHARS);
    }
    return s;
}

void RepairSettings(SoftSettings &s)
{
    for (DownloadParams &d : s.arrDownload) {
        if (d.wThreads == 0 || d.wThreads > 15)
            d.wThreads = 5;
        if (d.wTimeoutSec < 10)
            d.wTimeoutSec = 30;
    }
}

void ApplyFirstRunDefaults(SoftSettings &s)
{
    for (NamingRecord &n : s.arrNaming)
        n.wFlags |= OpenFolderWhenDone;
    s.arrNaming[SITE_YUPOO].wFlags |= FixOrder | YupooBigPictures;
    s.arrNaming[SITE_TAOBAO].wFlags |= FixOrder;
    s.arrNaming[SITE_JD].wFlags |= FixOrder;
    s.arrNaming[SITE_51].nFileNameSource = 1;
    s.arrNaming[SITE_INSTAGRAM].strFilePrefix = QStringLiteral("?2) ");
}

bool LoadSettings(SoftSettings &s, const QString &programFolder)
{
    s = SoftSettings();
    // Only a regular file is read: a folder or a pipe of that name counts as missing.
    const QString path = SoftDatPath(programFolder);
    QFile file(path);
    const bool bExisted = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
    if (bExisted) {
        s = DeserializeSettings(file.read(SOFTDAT_SIZE));
        file.close();
    }
    RepairSettings(s);
    if (!bExisted)
        ApplyFirstRunDefaults(s);
    SaveSettings(s, programFolder);
    return bExisted;
}

bool SaveSettings(const SoftSettings &s, const QString &programFolder)
{
    // Written to a temporary file beside it and renamed, so a crash never
    // leaves a cut-off soft.dat.  Never in place: a folder that takes no
    // temporary file keeps the old soft.dat, and the caller hears false.
    QSaveFile file(SoftDatPath(programFolder));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning("soft.dat: settings not saved, the program folder takes no new file");
        return false;
    }
    const QByteArray data = SerializeSettings(s);
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

int PushHistory(HistoryList &list, const QString &text)
{
    if (text.size() >= HISTORY_CHARS)
        return 0;
    for (const QString &entry : list)
        if (entry.compare(text, Qt::CaseInsensitive) == 0)
            return 0;
    for (int i = HISTORY_COUNT - 1; i > 0; --i)
        list[size_t(i)] = list[size_t(i - 1)];
    list[0] = text;
    return 1;
}
