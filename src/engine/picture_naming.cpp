#include "engine/picture_naming.h"

#include "engine/engine_state.h"
#include "engine/job_files.h"
#include "engine/job_host.h"
#include "engine/notices.h"
#include "util/file_utils.h"
#include "util/part_file.h"
#include "util/text_utils.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// Longest name (before its extension) that keeps the whole path within the
// classic limit; never so short that nothing of the name is left.
constexpr int kPathLimit = 250;
constexpr int kShortestName = 16;
// File systems here hold names of up to 255 UTF-8 bytes.
constexpr int kNameBytes = 255;

const QStringList &PictureExtensions()
{
    static const QStringList list{QStringLiteral(".jpeg"), QStringLiteral(".jpg"),
                                  QStringLiteral(".bmp"),  QStringLiteral(".gif"),
                                  QStringLiteral(".png"),  QStringLiteral(".tif")};
    return list;
}

void ReplaceEscape(QString &text, int digit, const QString &value)
{
    text.replace(QStringLiteral("?%1").arg(digit), value);
}

// Cuts `name` so that name + `tail` + `ext` fits the character and byte limits.
QString FitName(QString name, const QString &tail, const QString &ext, int maxChars)
{
    name.truncate(std::max(0, maxChars - int(tail.size())));
    FitNameBytes(name, kNameBytes - int(ext.toUtf8().size() + tail.toUtf8().size()));
    return name + tail;
}

// Anything at that path, a dangling link included.
bool PathTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The album folder `name` under `parent`, unless its record names another
// product: then the first free "<name>(2)", "<name>(3)" …
QString AlbumFolderFor(const QString &parent, const QString &name, const QString &product)
{
    QString candidate = name;
    for (int n = 2;; ++n) {
        CSavedRecord record;
        record.Load(parent + candidate + u'/');
        if (record.Product().isEmpty() || record.Product() == product)
            return candidate;
        const QString tail = QStringLiteral("(%1)").arg(n);
        candidate = name;
        FitNameBytes(candidate, kNameBytes - int(tail.toUtf8().size()));
        candidate += tail;
    }
}

// Whichever reader found it, an address with a line break or a tab in it is
// none, and would forge rows of a listing.  Only the one CR LF before an
// alternative address belongs in an entry.
bool IsCleanEntry(const QString &entry)
{
    const qsizetype crlf = entry.indexOf(QStringLiteral("\r\n"));
    const auto clean = [](QStringView s) { return std::none_of(s.begin(), s.end(), IsControlCharacter); };
    return crlf < 0 ? clean(entry) : clean(QStringView(entry).left(crlf)) && clean(QStringView(entry).mid(crlf + 2));
}

} // namespace

void AddPicture(CEngineState &state, IJobHost &host, const QString &url, const QString &name,
                const QString &header, int albumIndex)
{
    NamingRecord rec;
    {
        std::lock_guard lock(state.mtxSettings);
        rec = state.settings.arrNaming[state.SiteEntry()];
    }
    ST_DOWNJOB &job = state.job;
    if (state.bAlbumRefused.load() || !IsCleanEntry(url))
        return;
    const ST_PERLISTRECORD album = state.albums.GetAlbum(albumIndex);
    ST_ALBUMRUN &run = state.albumRun;
    // Pictures passed over as saved before still take their numbers.
    const int nSeen = job.Count() + run.nSkippedSaved;
    const bool bFirst = nSeen == 0;
    const QString number = QString::number(nSeen + 1);
    if (bFirst)
        run.strFirstUrl = url;

    // The given name comes from the page, so it never counts as a path of its
    // own: it is cleaned like every other name and stays in the album folder.
    QString fileName;
    {
        QString base;
        switch (rec.nFileNameSource) {
        case 0:
            base = name;
            MakeSafeFileName(base, 0, false);
            if (base.isEmpty())
                base = album.strName;
            break;
        case 2:
            if (url.lastIndexOf(u'/') > 0) {
                base = url.mid(url.lastIndexOf(u'/') + 1);
                break;
            }
            [[fallthrough]];
        default:
            base = number;
            break;
        }
        fileName = rec.strFilePrefix + base + rec.strFileSuffix;
        ReplaceEscape(fileName, 1, album.strName);
        ReplaceEscape(fileName, 2, number);
        ReplaceEscape(fileName, 3, QString::number(album.nListIndex + 1));
        ReplaceEscape(fileName, 4, QString::number(album.nSpare4));
        ReplaceEscape(fileName, 5, QString::number(album.nSpare5));
        ReplaceEscape(fileName, 6, QString::number(state.albums.nSelCount.load()));
        ReplaceEscape(fileName, 7, QString::number(state.albums.Count()));
        ReplaceEscape(fileName, 8, state.strSiteFolder);
        ReplaceEscape(fileName, 9, QString::asprintf("%04d", album.nListIndex + 1));
        if (!rec.strReplaceWhat.isEmpty())
            ReplaceEach(fileName, rec.strReplaceWhat, rec.strReplaceWith);
        MakeSafeFileName(fileName, SAFE_NAME_TIMESTAMP, true);
    }
    const QString collisionBase = fileName;

    if (bFirst) {
        QString folder = rec.nFolderSource == 0 ? album.strName : QString();
        folder = rec.strFolderPrefix + folder + rec.strFolderSuffix;
        ReplaceEscape(folder, 1, album.strName);
        ReplaceEscape(folder, 3, QString::number(album.nListIndex + 1));
        ReplaceEscape(folder, 9, QString::asprintf("%04d", album.nListIndex + 1));
        MakeSafeFileName(folder, 0, false);
        FitNameBytes(folder, kNameBytes);
        const QString product = ProductId(album.strUrl);
        const QString jobFolder = job.strFolder;
        if (!folder.isEmpty())
            job.strFolder += AlbumFolderFor(job.strFolder, folder, product) + u'/';
        // An existing folder is kept; one that cannot be made shows later as
        // pictures that could not be written.  A names-only run makes none.
        if (!state.run.NamesOnly()) {
            // A link there would carry the album out of the save path.
            if (!folder.isEmpty() && IsSymLink(job.strFolder)) {
                host.ShowMessage(notice::LinkRefused(job.strFolder.chopped(1)));
                job.strFolder = jobFolder;
                state.bAlbumRefused = true;
                state.SetDownloadState(DOWN_SKIP_REST);
                return;
            }
            run.bFolderMade = QDir().mkdir(job.strFolder);
            SetFolderTimes(job.strFolder, QDateTime::currentSecsSinceEpoch());
            // Temporary files a killed run left behind.
            RemoveStaleParts(job.strFolder);
        }
        run.strFolder = job.strFolder;
        run.saved.Load(job.strFolder);
        // The album's own folder is claimed at once, so a namesake product
        // of a later run keeps out even when this run saves nothing.
        if (!folder.isEmpty() && run.saved.Product().isEmpty() && !state.run.NamesOnly()) {
            run.saved.SetProduct(product);
            run.saved.Save(job.strFolder);
        }
        state.strFirstUrl = ReadPicZvk(job.strFolder);
    }

    QString ext = QStringLiteral(".jpg");
    const int maxChars = std::max(kShortestName, kPathLimit - int(job.strFolder.size()));
    fileName.truncate(maxChars);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot >= 0 && PictureExtensions().contains(fileName.mid(dot), Qt::CaseInsensitive)) {
        ext = fileName.mid(dot);
        fileName.truncate(dot);
    }
    fileName = FitName(fileName, QString(), ext, maxChars);

    // With SkipDownloaded the earlier run's pictures stay: positional names
    // move when the shop puts a new picture in front, so a name already on
    // disk takes the collision counter instead of replacing that file.
    const bool bKeepOld = (rec.wFlags & SkipDownloaded) || state.bOnlyMissing.load();
    const auto taken = [&](const QString &candidate) {
        return (!bFirst && job.FindFileName(candidate) >= 0) ||
               (bKeepOld && PathTaken(job.strFolder + candidate));
    };
    for (unsigned n = 1; taken(fileName + ext); ++n)
        fileName = FitName(collisionBase, QStringLiteral("(%1)").arg(n), ext, maxChars);
    fileName += ext;

    if ((rec.wFlags & SkipDownloaded) && url == state.strFirstUrl) {
        state.SetDownloadState(DOWN_SKIP_REST);
        return;
    }
    // pic.zvk marks only a complete album; the record also knows the
    // pictures of a run that failed or was stopped half way.
    if (bKeepOld) {
        const QString saved = run.saved.SavedName(RecordedAddress(url));
        if (!saved.isEmpty() && PathTaken(job.strFolder + saved)) {
            ++run.nSkippedSaved;
            ++state.nJobPicSkipped;
            return;
        }
    }

    job.AppendPicture(url, fileName, header);
    state.pics.WakeManager();
    // A pool that already runs beside the collection shows its own progress there.
    if (!state.pics.bDownPicBusy.load())
        host.SetStatus2(QStringLiteral("已获取到%1张图片信息").arg(job.Count()));

    if ((rec.wFlags & OriginalNameFile) && !state.run.NamesOnly()) {
        // A long product title alone can pass what a file name may hold.
        const QString txt = QStringLiteral(".txt");
        QString txtName = album.strName;
        FitNameBytes(txtName, kNameBytes - int(txt.size()));
        const QString path = job.strFolder + txtName + txt;
        // An earlier run's list is added to, never emptied, when its pictures stay.
        const QFileInfo earlier(path);
        AppendOriginalName(path, name, job.Count() == 1 && !(bKeepOld && earlier.isFile() && !earlier.isSymLink()));
    }
}

bool StopCollecting(CEngineState &state, qsizetype nLeft)
{
    const uint8_t s = state.DownloadJobState.load();
    if (s == DOWN_SKIP_REST)
        state.nJobPicSkipped += uint32_t(std::max<qsizetype>(0, nLeft));
    return s == DOWN_SKIP_REST || s == DOWN_STOP_REQUESTED;
}
