#include "engine/kept_pages.h"

void CKeptPages::Clear()
{
    std::lock_guard lock(m_mtx);
    m_pages.clear();
}

void CKeptPages::Keep(const QString &albumUrl, const QString &text, const QString &html)
{
    Packed packed{qCompress(text.toUtf8()), html == text ? QByteArray() : qCompress(html.toUtf8())};
    std::lock_guard lock(m_mtx);
    m_pages.insert(albumUrl, std::move(packed));
}

bool CKeptPages::Any() const
{
    std::lock_guard lock(m_mtx);
    return !m_pages.isEmpty();
}

bool CKeptPages::Restore(const QString &albumUrl, QString &text, QString &html) const
{
    Packed packed;
    {
        std::lock_guard lock(m_mtx);
        const auto it = m_pages.constFind(albumUrl);
        if (it == m_pages.constEnd()) {
            text.clear();
            html.clear();
            return false;
        }
        packed = *it;
    }
    text = QString::fromUtf8(qUncompress(packed.text));
    html = packed.html.isEmpty() ? text : QString::fromUtf8(qUncompress(packed.html));
    return true;
}
