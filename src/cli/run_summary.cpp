#include "cli/run_summary.h"

#include "engine/engine_state.h"

void ResetJobCounts(CEngineState &state)
{
    state.nJobPicTotal = 0;
    state.nJobAlbumsUpToDate = 0;
    state.nJobPicSaved = 0;
    state.nJobPicFailed = 0;
    state.nJobPicSkipped = 0;
}

AddressOutcome TakeOutcome(const CEngineState &state)
{
    AddressOutcome o;
    o.bOneAlbum = state.albums.Count() == 1;
    o.nCollected = state.nJobPicTotal.load();
    o.nSaved = state.nJobPicSaved.load();
    o.nFailed = state.nJobPicFailed.load();
    o.nSkipped = state.nJobPicSkipped.load();
    o.nUpToDate = state.nJobAlbumsUpToDate.load();
    return o;
}

bool Succeeded(const AddressOutcome &o)
{
    // One album means the download job ran on it; it either found pictures
    // or found them all downloaded by an earlier run (SkipDownloaded).
    return o.bOneAlbum && o.nFailed == 0 && o.nSaved + o.nSkipped >= o.nCollected &&
           (o.nCollected > 0 || o.nUpToDate > 0);
}

QString SummaryLine(const QString &address, const AddressOutcome &o)
{
    return QStringLiteral("汇总: 已保存 %1, 失败 %2, 跳过 %3 (%4)")
        .arg(o.nSaved)
        .arg(o.nFailed)
        .arg(o.nSkipped)
        .arg(address);
}
