#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <mutex>

// The product pages a list of several addresses loaded, kept by album
// address until the download job reads the albums' pictures from them.
// Packed: a long list of products keeps tens of pages.
//
// Threads: the list job keeps, the download job restores; the two never run
// together, the lock is for the window's reads in between.
class CKeptPages
{
public:
    void Clear();
    void Keep(const QString &albumUrl, const QString &text, const QString &html);
    // True when pages are kept (the list held several addresses).
    bool Any() const;
    // The pages of `albumUrl` into `text` and `html`; false (both emptied)
    // when none is kept for it.
    bool Restore(const QString &albumUrl, QString &text, QString &html) const;

private:
    struct Packed
    {
        QByteArray text;
        QByteArray html;
    };
    mutable std::mutex m_mtx;
    QHash<QString, Packed> m_pages;
};
