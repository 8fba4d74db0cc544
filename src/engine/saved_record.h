#pragma once

#include <QHash>
#include <QString>

// The record an album folder keeps of the pictures saved into it: which
// product the folder belongs to, and for each picture address saved there
// the file it went to.  A rerun with SkipDownloaded fetches only pictures
// the record does not hold; a product of the same title never takes a folder
// whose record names another product.
//
// The file is hidden and written whole through a temporary file and a
// rename, so a cut run leaves the old record or the new one, never half.
class CSavedRecord
{
public:
    static QString FileName();

    // Reads folder + FileName(); an absent or unreadable record (or anything
    // there but a regular file) reads as empty.
    void Load(const QString &folder);
    bool Save(const QString &folder) const;
    void Clear();

    // Who the folder belongs to (ProductId of the album address); empty when
    // nobody claimed it.
    QString Product() const { return m_product; }
    void SetProduct(const QString &product) { m_product = product; }

    // The file a picture address was saved to, or empty.
    QString SavedName(const QString &url) const { return m_saved.value(url); }
    void Add(const QString &url, const QString &fileName);
    int Count() const { return int(m_saved.size()); }

private:
    QString m_product;
    QHash<QString, QString> m_saved;
    QStringList m_order; // addresses in the order they were saved
};

// The address a record keeps for a job entry: its first address (an entry may
// carry an alternative after CR LF).
QString RecordedAddress(const QString &entry);
// What names a product in a record: host and number of a product page,
// otherwise the address itself.
QString ProductId(const QString &albumUrl);

// The album being downloaded: its record and what the collection did with
// it.  Download job thread only.
struct ST_ALBUMRUN
{
    CSavedRecord saved;
    int nSkippedSaved = 0;    // pictures passed over because the record holds them
    bool bFolderMade = false; // this run made the album folder
    QString strFolder;        // the album folder, once made
    bool bGated = false;      // its pages met the shop's log-in or check
    QString strFirstUrl;      // its first picture's address, collected or passed over

    void Reset() { *this = ST_ALBUMRUN(); }
};
