#include "engine/jobs.h"

#include "engine/address_list.h"
#include "engine/bulk_list.h"
#include "engine/bulk_texts.h"
#include "engine/down_pic.h"
#include "engine/engine_state.h"
#include "engine/job_files.h"
#include "engine/job_host.h"
#include "engine/notices.h"
#include "engine/product_page.h"
#include "util/file_utils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Highest site entry that has a list type of its own.
constexpr int kLastSiteKind = 20;

// A folder level made by the list job: cleaned, empty or ending in '/'.
void FinishFolderText(QString &folder)
{
    MakeSafeFileName(folder, 0, false);
    folder.replace(u'\\', u'/');
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
}

int64_t Now()
{
    return QDateTime::currentSecsSinceEpoch();
}

// Adds an album's picture run to the job's saved / failed / skipped counts;
// returns the album's failed pictures.
int CountAlbumOutcome(CEngineState &state, int nCount)
{
    const int saved = state.pics.nPicSaved.load();
    const int done = state.pics.nPicDone.load();
    const int cut = state.pics.nPicCut.load();
    const int failed = std::max(0, done - saved - cut);
    state.nJobPicSaved += uint32_t(saved);
    state.nJobPicFailed += uint32_t(failed);
    state.nJobPicSkipped += uint32_t(std::max(0, nCount - done + cut));
    return failed;
}

// Adds the pictures the run saved to the album folder's record.
void RecordSavedPictures(CEngineState &state)
{
    const ST_DOWNJOB &job = state.job;
    std::vector<int> saved;
    {
        std::lock_guard lock(state.pics.mtxWake);
        saved = state.pics.arrSavedPics;
    }
    ST_ALBUMRUN &run = state.albumRun;
    if (saved.empty() || run.strFolder.isEmpty())
        return;
    for (const int i : saved)
        if (i >= 0 && i < job.Count() && !IsAbsoluteFileName(job.arrFileName[i]))
            run.saved.Add(RecordedAddress(job.arrUrl[i]), job.arrFileName[i]);
    run.saved.Save(run.strFolder);
}

// A stopped album that saved nothing leaves no folder behind when this run
// made it (its record is all it holds).
void RemoveEmptyAlbumFolder(const ST_ALBUMRUN &run)
{
    if (!run.bFolderMade || run.strFolder.isEmpty())
        return;
    const QDir dir(run.strFolder);
    const QStringList left =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (left.size() > 1 || (left.size() == 1 && left[0] != CSavedRecord::FileName()))
        return;
    QFile::remove(run.strFolder + CSavedRecord::FileName());
    QDir().rmdir(run.strFolder);
}

// The picture pool of one album.  It may start while the collection still
// adds pictures (choice pages loading), and is always waited for.
class CAlbumPool
{
public:
    explicit CAlbumPool(CEngineState &state) : m_state(state) {}
    ~CAlbumPool()
    {
        // Only an exception in the collection comes here with a running pool.
        if (m_manager.joinable()) {
            m_state.pics.bStopDownPic = true;
            EndCollection();
            m_manager.join();
        }
    }
    CAlbumPool(const CAlbumPool &) = delete;
    CAlbumPool &operator=(const CAlbumPool &) = delete;

    bool Started() const { return m_manager.joinable(); }

    // Starts the pool on the pictures collected so far, more to follow.
    bool StartEarly()
    {
        if (Started() || m_state.job.Count() == 0 ||
            m_state.DownloadJobState.load() == DOWN_STOP_REQUESTED)
            return false;
        m_state.pics.bMorePictures = true;
        m_manager = StartDownPic(m_state);
        if (!Started())
            m_state.pics.bMorePictures = false; // tried again when the collection ends
        return Started();
    }
    // No more pictures come.
    void EndCollection()
    {
        m_state.pics.bMorePictures = false;
        m_state.pics.WakeManager();
    }
    // Starts the pool unless it runs.  False when it could not be started.
    bool Start()
    {
        if (!Started())
            m_manager = StartDownPic(m_state);
        return Started();
    }
    void Wait() { m_manager.join(); }

private:
    CEngineState &m_state;
    std::thread m_manager;
};

} // namespace

void GetListFunc(CEngineState &state, IJobHost &host)
{
    state.ext = LoadExtSettings(state.ProgramFolder);
    state.SiteKind = SITE_JD;
    state.strSiteFolder.clear();
    state.strSecondFolder.clear();
    state.keptPages.Clear();

    QString address = host.AddressText().trimmed();
    if (address.isEmpty()) {
        host.ShowMessage(notice::NoAddress());
        state.ListJobState = JOB_IDLE;
        return;
    }

    host.ShowListRunningLook();
    host.SetStatus1(QStringLiteral("正在获取相册列表，请稍等..."));
    host.SetStatus2(QString());

    bool bOneAlbum = false;
    bool bSeveral = false;
    if (!address.contains(QStringLiteral("http://")) && state.SiteKind.load() != 0 &&
        !address.contains(QStringLiteral("https://"))) {
        host.ShowMessage(notice::NotWebAddress());
    } else {
        const int listType = host.ListTypeChoice();
        if (listType >= 0)
            state.nListType = listType;
        const QStringList several = ProductAddresses(address);
        // A text with blanks or line ends is no address of its own: the one
        // product address in it is (it once went out as "…html%0A…").
        static const QRegularExpression blank(QStringLiteral("\\s"));
        if (several.size() == 1 && address.contains(blank))
            address = several.first();
        if (state.SiteKind.load() == SITE_JD && several.size() > 1) {
            // A list never starts a download by itself and stays out of the history.
            bSeveral = true;
            AddProductAlbums(state, host, several);
        } else if (state.SiteKind.load() == SITE_JD) {
            if (!address.contains(QStringView(kProductHostFragment))) {
                host.ShowMessage(notice::NotProductPage());
            } else {
                AddProductAlbum(state, host, address);
                bOneAlbum = state.albums.Count() == 1;
            }
        }
    }

    FinishFolderText(state.strSiteFolder);
    FinishFolderText(state.strSecondFolder);
    host.RedrawAlbumGrid();

    const int nAlbums = state.albums.Count();
    host.SetListCaption(QStringLiteral("相册列表(共%1个)").arg(nAlbums));
    host.SetStatus1(QStringLiteral("获取相册列表完成，共%1个").arg(nAlbums));
    host.ShowListIdleLook(nAlbums);

    if (nAlbums >= 1 && !bSeveral) {
        const QString &pushed = address;
        bool bPushed = false;
        {
            std::lock_guard lock(state.mtxSettings);
            bPushed = PushHistory(state.settings.arrUrlHistory, pushed) == 1;
            if (bPushed)
                SaveSettings(state.settings, state.ProgramFolder);
        }
        if (bPushed)
            host.AddAddressItem(pushed);
    }
    // A stopped list job kept no page, so it starts no download either.
    if (bOneAlbum && state.ListJobState.load() != LIST_STOP_REQUESTED) {
        host.SelectAllRows();
        RunDownloadCommand(state, host);
        // A stop that came since the look above found no download to stop:
        // the one just started takes it, or nothing would ever stop it.
        if (state.ListJobState.load() == LIST_STOP_REQUESTED)
            state.RequestStopAll();
    }
    // Only now: until the download job has taken over, a new list job must
    // not reset the album list under it.
    state.ListJobState = JOB_IDLE;
}

void DownJobFunc(CEngineState &state, IJobHost &host)
{
    state.ext = LoadExtSettings(state.ProgramFolder);
    state.nJobPicTotal = 0;
    state.nJobAlbumsUpToDate = 0;
    state.nJobPicSaved = 0;
    state.nJobPicFailed = 0;
    state.nJobPicSkipped = 0;

    QString savePath = host.SavePathText().trimmed();
    if (savePath.isEmpty()) {
        host.ShowMessage(notice::NoSavePath());
        state.bOnlyMissing = false;
        state.DownloadJobState = JOB_IDLE;
        return;
    }
    if (!savePath.endsWith(u'/'))
        savePath += u'/';
    // A names-only run makes no folder.
    const bool bNamesOnly = state.run.NamesOnly();
    // Links in the save path itself are the user's: it is resolved once, so
    // the whole job writes into one place.  Below it no link is followed.
    const QString below = state.strSiteFolder + state.strSecondFolder;
    if (const QString link = FirstLinkBelow(savePath, below); !bNamesOnly && !link.isEmpty()) {
        host.ShowMessage(notice::LinkRefused(link));
        state.bOnlyMissing = false;
        state.DownloadJobState = JOB_IDLE;
        return;
    }
    QString jobFolder = savePath + below;
    // One notice that names the folder, not the bare path and then the notice.
    QString failed;
    if (!bNamesOnly && !CreateDirectoryPath(jobFolder, nullptr, &failed)) {
        host.ShowMessage(notice::BadSavePathAt(failed));
        state.bOnlyMissing = false;
        state.DownloadJobState = JOB_IDLE;
        return;
    }
    if (const QString resolved = QFileInfo(savePath).canonicalFilePath(); !bNamesOnly && !resolved.isEmpty())
        jobFolder = resolved + (resolved.endsWith(u'/') ? QString() : QStringLiteral("/")) + below;
    if (!bNamesOnly)
        SetFolderTimes(jobFolder, Now());

    state.SetDownloadState(JOB_RUNNING);
    host.ShowDownloadRunningLook();

    // Workers a stopped run left behind still read the job object.
    state.JoinLeftWorkers();
    // The stop flag also aborts this job's page loads: a stop of an earlier
    // job must not end them, one asked since our start must.
    state.pics.bStopDownPic = state.DownloadJobState.load() == DOWN_STOP_REQUESTED;
    ST_DOWNJOB &job = state.job;
    job.strFolder = jobFolder;
    const int siteKind = state.SiteKind.load();
    {
        std::lock_guard lock(state.mtxSettings);
        const DownloadParams &params = state.settings.arrDownload[state.SiteEntry()];
        state.pics.wThreads = state.run.wThreads.value_or(params.wThreads);
        state.pics.wTimeoutSec = state.run.wTimeoutSec.value_or(params.wTimeoutSec);
        state.pics.wMinKB = state.run.wMinKB.value_or(params.wMinKB);
        state.pics.wMaxKB = state.run.wMaxKB.value_or(params.wMaxKB);
    }

    std::vector<int> chosen;
    const int nAlbums = state.albums.Count();
    for (const int index : host.ChosenAlbums())
        if (index >= 0 && index < nAlbums)
            chosen.push_back(index);
    state.albums.nSelCount = int(chosen.size());
    if (chosen.empty())
        host.ShowMessage(notice::NoAlbumChosen());
    for (const int index : chosen)
        host.ShowAlbumState(index, -1, bulktext::Waiting());

    uint32_t nTotal = 0;
    bool bStopped = false;
    std::vector<std::pair<int, int>> failedAlbums;
    size_t reached = 0; // albums the loop took up
    for (size_t k = 0; k < chosen.size() && state.DownloadJobState.load() != DOWN_STOP_REQUESTED; ++k) {
        state.JoinLeftWorkers();
        job.ResetPictures();
        job.strFolder = jobFolder;
        state.albumRun.Reset();
        state.bAlbumRefused = false;
        if (!state.SetDownloadState(JOB_RUNNING))
            break;
        reached = k + 1;
        const int index = chosen[k];
        // A list of several products kept each album's page.
        if (state.keptPages.Any())
            state.keptPages.Restore(state.albums.GetAlbum(index).strUrl, state.strPageText, state.strPageHtml);
        host.ShowAlbumState(index, -1, bulktext::Reading());
        host.SetStatus1(QStringLiteral("正在下载第%1/%2个图集").arg(k + 1).arg(chosen.size()));
        host.SetStatus2(QStringLiteral("......"));

        uint16_t flags = 0;
        {
            std::lock_guard lock(state.mtxSettings);
            flags = state.settings.arrNaming[state.SiteEntry()].wFlags;
        }
        // Pictures that are only listed wait for the whole album; downloads
        // start on the first pictures while later choice pages still load.
        const bool bDownload = !bNamesOnly && !(flags & ThunderListOnly);
        CAlbumPool pool(state);
        const auto startEarly = [&] {
            if (pool.StartEarly())
                host.SetStatus2(QStringLiteral("已开始下载图片"));
        };
        if (siteKind > kLastSiteKind)
            host.ShowMessage(notice::BadListType());
        else if (siteKind == SITE_JD)
            ExtractProductPictures(state, host, index, bDownload ? std::function<void()>(startEarly) : nullptr);
        pool.EndCollection();
        const int nKnown = job.Count() + state.albumRun.nSkippedSaved;
        const bool bUpToDate =
            state.DownloadJobState.load() == DOWN_SKIP_REST || state.albumRun.nSkippedSaved > 0;
        if (job.Count() == 0 && bUpToDate && !state.bAlbumRefused.load())
            ++state.nJobAlbumsUpToDate;

        // A stop during the collection still counts what the pool started.
        if (job.Count() < 1 || (state.DownloadJobState.load() == DOWN_STOP_REQUESTED && !pool.Started())) {
            const bool bStop = state.DownloadJobState.load() == DOWN_STOP_REQUESTED;
            const QString empty = state.albumRun.bGated ? bulktext::LoginRequired() : bulktext::NoPictures();
            host.ShowAlbumState(index, nKnown,
                                bStop ? bulktext::Stopped() : (nKnown > 0 ? bulktext::Complete() : empty));
            continue;
        }
        nTotal += uint32_t(job.Count());
        state.nJobPicTotal = nTotal;
        if (bNamesOnly) {
            state.run.listNamedPictures(job);
            state.nJobPicSkipped += uint32_t(job.Count());
            continue;
        }
        if (flags & ThunderListOnly) {
            WriteListFile(job, state.albums.GetAlbum(index).strName);
            state.nJobPicSkipped += uint32_t(job.Count());
            host.ShowAlbumState(index, nKnown, bulktext::Complete());
            continue;
        }
        host.ShowAlbumState(index, nKnown, bulktext::Downloading(0, job.Count()));
        if (!pool.Started())
            host.SetStatus2(QStringLiteral("已开始下载图片"));
        if (!pool.Start()) {
            host.ShowMessage(notice::ManagerThreadFailed());
            continue;
        }
        pool.Wait();
        bStopped = state.DownloadJobState.load() == DOWN_STOP_REQUESTED;
        // A stop aborted the running pictures; they end at once and take
        // their temporary files with them.
        if (bStopped)
            state.JoinLeftWorkers();
        const int nFailed = CountAlbumOutcome(state, job.Count());
        if (nFailed > 0)
            failedAlbums.emplace_back(index, nFailed);
        host.ShowAlbumState(index, nKnown,
                            bStopped ? bulktext::Stopped()
                                     : (nFailed > 0 ? bulktext::Failed(nFailed) : bulktext::Complete()));
        if (bStopped) {
            RecordSavedPictures(state);
            break;
        }
        // Only a complete album is marked: SkipDownloaded would pass over
        // the failed pictures for ever.
        // Pictures the record passed over were saved before: the album's first
        // picture is then not the job's first.
        if (state.pics.nPicSaved.load() == job.Count()) {
            if (state.albumRun.nSkippedSaved > 0)
                WritePicZvk(job.strFolder, state.albumRun.strFirstUrl);
            else
                WritePicZvk(job);
        }
        if (flags & FixFormat)
            FixPictureFormats(job);
        if (flags & FixOrder)
            FixPictureOrder(job, Now());
        // After the fix steps: the record names the files as they end up.
        RecordSavedPictures(state);
    }
    bStopped = bStopped || state.DownloadJobState.load() == DOWN_STOP_REQUESTED;
    // Albums a stop left untouched wait for nothing any more.
    for (size_t rest = reached; rest < chosen.size(); ++rest)
        host.ShowAlbumState(chosen[rest], -1, QString());
    if (bStopped)
        RemoveEmptyAlbumFolder(state.albumRun);

    host.ReportFailedAlbums(failedAlbums);
    host.ShowDownloadIdleLook();
    // A retry of the failed pictures is this one job, however it ends;
    // cleared before the idle state, which lets the next job start.
    state.bOnlyMissing = false;
    state.DownloadJobState = JOB_IDLE;
    // Say what happened: a bare "下载完毕" hid albums where every picture failed.
    host.SetStatus1(bulktext::JobEnd(bStopped, state.nJobPicSaved.load(), state.nJobPicFailed.load(),
                                     state.nJobPicSkipped.load()));
    host.SetStatus2(QString());

    uint16_t flags = 0;
    {
        std::lock_guard lock(state.mtxSettings);
        flags = state.settings.arrNaming[state.SiteEntry()].wFlags;
    }
    // Only a folder that received something is worth opening.
    const bool bWritten = state.nJobPicSaved.load() > 0 || (nTotal > 0 && (flags & ThunderListOnly));
    if (bWritten && !bNamesOnly && (flags & OpenFolderWhenDone))
        host.OpenFolder(job.strFolder);
}
