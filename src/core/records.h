#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// One album of the album list.
struct ST_PERLISTRECORD
{
    QString strName;     // album name; cleaned and made unique when added
    QString strUrl;      // album (product page) address
    QString strCoverUrl; // cover picture address; empty for product pages
    QString strSpare1;
    QString strSpare2;
    int32_t nPicCount = -1; // -1 = unknown
    int32_t nAttrib = 0;    // 1 encrypted, 2 private, 4 friends only
    int32_t nSpare4 = 0;    // sort key of the "好评" sort links
    int32_t nSpare5 = 0;
    int32_t nListIndex = 0;   // position in the album list
    int32_t nThumbIndex = -1; // cover index in the thumbnail list, -1 = not loaded
};

// Text of the grid column "备注" for an album's access bits.
QString AlbumAttribText(int32_t nAttrib);
// Text of the grid column "数量": "%4u" or "未知" for -1.
QString AlbumCountText(int32_t nPicCount);

// The albums of the last list job.  The list job adds while the window reads,
// so every access takes the list's own lock and readers get copies.
class CAlbumList
{
public:
    // Copies the record, cleans its name for use as a folder name and makes it
    // unique (" (1)", " (2)" ...).  Returns the new number of records.
    int AddAlbum(const ST_PERLISTRECORD &src);
    void Clear();
    int Count() const;
    // A copy of record `nIndex`; an index out of range gives a default record
    // with nListIndex -1.
    ST_PERLISTRECORD GetAlbum(int nIndex) const;
    // Changes record `nIndex` in place under the lock (thumbnail index, name
    // cut by the grid).  Returns false for an index out of range.
    bool UpdateAlbum(int nIndex, const std::function<void(ST_PERLISTRECORD &)> &change);
    // Reorders the records by `less` (not stable: equal records may swap).
    void Sort(const std::function<bool(const ST_PERLISTRECORD &, const ST_PERLISTRECORD &)> &less);

    // Number of albums chosen for the current download job.
    std::atomic<int32_t> nSelCount{0};

private:
    mutable std::mutex m_lock;
    std::vector<std::unique_ptr<ST_PERLISTRECORD>> m_records;
};

// Who hears about a picture pool's progress: the window hands each call to its
// GUI thread; the headless front end prints; tests record.
class IDownloadNotify
{
public:
    virtual ~IDownloadNotify() = default;
    // Text of control `nCtrl` (the second status line, 1006).
    virtual void SetControlText(int nCtrl, const QString &text) = 0;
    // End of a pool run (WM_DOWNLOAD_FINISHED): elapsed seconds, number of pictures.
    virtual void DownloadFinished(int64_t nElapsedSec, int nCount) = 0;
};

// What a picture worker needs of one entry of the job object.
struct ST_DOWNENTRY
{
    QString strUrl;    // address, optionally CR LF and an alternative address
    QString strHeader; // extra request headers
    QString strPath;   // full target path
};

// The picture list of the album being downloaded: three parallel arrays.
// One thread (the collection) writes it; while the picture pool runs beside
// the collection, the pool reads only through Count() and Entry(), which
// take the lock that AppendPicture takes.
struct ST_DOWNJOB
{
    QStringList arrUrl;      // address, optionally CR LF and an alternative address
    QStringList arrFileName; // absolute path, or a name relative to strFolder
    QStringList arrHeader;   // extra request headers per picture; may be empty as a whole
    QString strFolder;       // album folder, ending in '/'
    IDownloadNotify *hNotifyWnd = nullptr; // not owned; null = no progress
    int nNotifyCtrl = 1006;

    // Empties the three arrays.
    void ResetPictures();
    // Index of the first entry of arrUrl that is equal to `url` (same length
    // and contains it), or -1.
    int FindUrl(const QString &url) const;
    // Index of the first entry of arrFileName equal to `name` ignoring case, or -1.
    int FindFileName(const QString &name) const;
    void AppendPicture(const QString &url, const QString &fileName, const QString &header);
    int Count() const;
    // A copy of entry `i`, for a thread other than the writer.
    ST_DOWNENTRY Entry(int i) const;
    // Full target path of picture `i`: an absolute name as it is, otherwise strFolder + name.
    QString FullPath(int i) const;

private:
    // Hash indexes beside the lists, so collecting tens of thousands of
    // pictures stays linear.  Rebuilt when the lists were changed around
    // AppendPicture; an entry changed in place (fix-format) is not seen.
    void UpdateIndexes() const;
    mutable QHash<QString, int> m_urlIndex;  // first index of each address
    mutable QHash<QString, int> m_nameIndex; // first index of each case-folded name
    mutable qsizetype m_nIndexed = 0;
    mutable std::mutex m_mtxAppend; // AppendPicture against the pool's reads
};

// True when a file name in arrFileName is a full path of its own.
bool IsAbsoluteFileName(const QString &name);
