#include "engine/saved_record.h"

#include "engine/page_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>

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
    const QString path = folder + FileName();
    // Only a regular file: a FIFO would block the open, a link leads elsewhere.
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
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

    QTemporaryFile tmp(folder + FileName() + QStringLiteral(".XXXXXX"));
    tmp.setAutoRemove(true);
    if (!tmp.open() || tmp.write(bytes) != bytes.size() || !tmp.flush())
        return false;
    // rename() replaces a link planted at the name, never what it points to.
    if (std::rename(QFile::encodeName(tmp.fileName()).constData(),
                    QFile::encodeName(folder + FileName()).constData()) != 0)
        return false;
    tmp.setAutoRemove(false);
    return true;
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
