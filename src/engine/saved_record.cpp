#include "engine/saved_record.h"

#include "engine/page_reader.h"
#include "util/file_utils.h"
#include "util/part_file.h"

#include <QUrl>

namespace {

const QString kProductKey = QStringLiteral("product");

// A tab or a line end inside a field would forge lines of the record.
bool Storable(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20)
            return false;
    return true;
}

} // namespace

QString CSavedRecord::FileName()
{
    return QStringLiteral(".pictures.saved");
}

void CSavedRecord::Clear()
{
    m_product.clear();
    m_saved.clear();
    m_order.clear();
}

void CSavedRecord::Load(const QString &folder)
{
    Clear();
    // Only a regular file, never through a link: a FIFO would block the
    // open, a link leads elsewhere.
    const std::optional<QByteArray> bytes = ReadRegularFile(folder + FileName(), false);
    if (!bytes)
        return;
    const QStringList lines = QString::fromUtf8(*bytes).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        const QString key = line.left(tab);
        const QString value = line.mid(tab + 1);
        if (key == kProductKey)
            m_product = value;
        else
            Add(key, value);
    }
}

void CSavedRecord::Add(const QString &url, const QString &fileName)
{
    if (url.isEmpty() || fileName.isEmpty() || !Storable(url) || !Storable(fileName) || url == kProductKey)
        return;
    if (!m_saved.contains(url))
        m_order.append(url);
    m_saved.insert(url, fileName);
}

bool CSavedRecord::Save(const QString &folder) const
{
    QByteArray bytes;
    if (!m_product.isEmpty() && Storable(m_product))
        bytes += (kProductKey + u'\t' + m_product + u'\n').toUtf8();
    for (const QString &url : m_order)
        bytes += (url + u'\t' + m_saved.value(url) + u'\n').toUtf8();

    // As pictures are written: a link planted at the name is replaced, never
    // followed, and a temporary file a kill leaves is cleared by the next run.
    return ReplaceFileWith(folder + FileName(), bytes);
}

QString RecordedAddress(const QString &entry)
{
    const qsizetype crlf = entry.indexOf(QStringLiteral("\r\n"));
    return crlf < 0 ? entry : entry.left(crlf);
}

QString ProductId(const QString &albumUrl)
{
    const QString sku = ProductSku(albumUrl);
    return sku.isEmpty() ? albumUrl : QUrl(albumUrl).host().toLower() + u'/' + sku;
}
