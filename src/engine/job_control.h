#pragma once

class CEngineState;
class IJobHost;

// The window's job buttons.  Both run on the GUI thread (the list job also
// runs the download command itself when it found exactly one album) and never
// wait for a job.  The host must outlive the jobs they start.

// "获取相册" (1004): starts GetListFunc, or asks the running list job to stop.
// Ignored before StartupReady is 1 and while a download job runs.
void OnGetListClick(CEngineState &state, IJobHost &host);

// "下载" (1005): starts DownJobFunc on the chosen albums, or asks the running
// download to stop (DownloadJobState 3 and the picture pool's stop flag).
// Ignored while a list job runs.
void OnDownloadClick(CEngineState &state, IJobHost &host);
