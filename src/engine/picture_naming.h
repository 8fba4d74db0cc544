#pragma once

#include <QString>

class CEngineState;
class IJobHost;

// Names a picture by the file-name settings of the current site entry and
// appends it to the job object.  At the album's first picture it also makes
// the album folder and loads the address remembered in its pic.zvk.  With
// SkipDownloaded, meeting that address sets DownloadJobState to 2 instead
// (the caller stops collecting when it reads 2 or 3).
void AddPicture(CEngineState &state, IJobHost &host, const QString &url, const QString &name,
                const QString &header, int albumIndex);

// True when AddPicture or the user asked to stop collecting (DownloadJobState
// 2 or 3); with 2, the `nLeft` pictures not collected count as skipped.
bool StopCollecting(CEngineState &state, qsizetype nLeft = 0);
