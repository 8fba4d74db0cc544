#include "core/records.h"

#include "util/file_utils.h"

#include <algorithm>

QString AlbumAttribText(int32_t nAttrib)
{
    if (nAttrib < 0)
        return QString::asprintf("%08u", unsigned(uint32_t(nAttrib) & 0x7FFFFFFFu));
    if (nAttrib & 1)
        return QStringLiteral("加密相册");
    if (nAttrib & 2)
        return QStringLiteral("私密相册");
    if (nAttrib & 4)
        return QStringLiteral("好友可见");
    return QString();
}

QString AlbumCountText(int32_t nPicCount)
{
    if (nPicCount == -1)
        return QStringLiteral("未知");
    return QString::asprintf("%4u", unsigned(nPicCount));
}

int CAlbumList::AddAlbum(const ST_PERLISTRECORD &src)
{
    auto rec = std::make_unique<ST_PERLISTRECORD>(src);
    rec->nThumbIndex = -1;
    MakeSafeFileName(rec->strName, SAFE_NAME_TIMESTAMP, true);

    const std::lock_guard<std::mutex> guard(m_lock);
    rec->nListIndex = int32_t(m_records.size());
    auto taken = [this](const QString &name) {
        for (const auto &r : m_records)
            if (r->strName == name)
                return true;
        return false;
    };
    if (taken(rec->strName)) {
        const QString base = rec->strName;
        unsigned n = 1;
        do
            rec->strName = QStringLiteral("%1 (%2)").arg(base, QString::number(n++));
        while (taken(rec->strName));
    }
    m_records.push_back(std::move(rec));
    return int(m_records.size());
}

void CAlbumList::Clear()
{
    const std::lock_guard<std::mutex> guard(m_lock);
    m_records.clear();
}

void CAlbumList::Sort(const std::function<bool(const ST_PERLISTRECORD &, const ST_PERLISTRECORD &)> &less)
{
    const std::lock_guard<std::mutex> guard(m_lock);
    std::sort(m_records.begin(), m_records.end(),
              [&less](const auto &a, const auto &b) { return less(*a, *b); });
}

int CAlbumList::Count() const
{
    const std::lock_guard<std::mutex> guard(m_lock);
    return int(m_records.size());
}

ST_PERLISTRECORD CAlbumList::GetAlbum(int nIndex) const
{
    const std::lock_guard<std::mutex> guard(m_lock);
    if (nIndex < 0 || size_t(nIndex) >= m_records.size()) {
        ST_PERLISTRECORD none;
        none.nListIndex = -1;
        return none;
    }
    return *m_records[size_t(nIndex)];
}

bool CAlbumList::UpdateAlbum(int nIndex, const std::function<void(ST_PERLISTRECORD &)> &change)
{
    const std::lock_guard<std::mutex> guard(m_lock);
    if (nIndex < 0 || size_t(nIndex) >= m_records.size())
        return false;
    change(*m_records[size_t(nIndex)]);
    return true;
}

bool IsAbsoluteFileName(const QString &name)
{
    return name.startsWith(u'/');
}

void ST_DOWNJOB::ResetPictures()
{
    {
        std::lock_guard lock(m_mtxAppend);
        arrUrl.clear();
        arrFileName.clear();
        arrHeader.clear();
    }
    UpdateIndexes();
}

void ST_DOWNJOB::UpdateIndexes() const
{
    const qsizetype n = std::min(arrUrl.size(), arrFileName.size());
    if (m_nIndexed > n) {
        m_urlIndex.clear();
        m_nameIndex.clear();
        m_nIndexed = 0;
    }
    for (; m_nIndexed < n; ++m_nIndexed) {
        const QString name = arrFileName[m_nIndexed].toCaseFolded();
        if (!m_urlIndex.contains(arrUrl[m_nIndexed]))
            m_urlIndex.insert(arrUrl[m_nIndexed], int(m_nIndexed));
        if (!m_nameIndex.contains(name))
            m_nameIndex.insert(name, int(m_nIndexed));
    }
}

int ST_DOWNJOB::FindUrl(const QString &url) const
{
    UpdateIndexes();
    return m_urlIndex.value(url, -1);
}

int ST_DOWNJOB::FindFileName(const QString &name) const
{
    UpdateIndexes();
    return m_nameIndex.value(name.toCaseFolded(), -1);
}

void ST_DOWNJOB::AppendPicture(const QString &url, const QString &fileName, const QString &header)
{
    std::lock_guard lock(m_mtxAppend);
    arrUrl.append(url);
    arrFileName.append(fileName);
    arrHeader.append(header);
}

int ST_DOWNJOB::Count() const
{
    std::lock_guard lock(m_mtxAppend);
    return int(arrUrl.size());
}

ST_DOWNENTRY ST_DOWNJOB::Entry(int i) const
{
    std::lock_guard lock(m_mtxAppend);
    ST_DOWNENTRY e;
    if (i < 0 || i >= arrUrl.size())
        return e;
    e.strUrl = arrUrl.at(i);
    if (i < arrHeader.size())
        e.strHeader = arrHeader.at(i);
    e.strPath = FullPath(i);
    return e;
}

QString ST_DOWNJOB::FullPath(int i) const
{
    if (i < 0 || i >= arrFileName.size())
        return QString();
    const QString &name = arrFileName[i];
    return IsAbsoluteFileName(name) ? name : strFolder + name;
}
