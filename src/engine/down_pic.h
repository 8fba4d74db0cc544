#pragma once

#include <thread>

class CEngineState;

// Clears the stop flag and starts the picture manager DownPicFunc on a new
// thread for the pictures of the job object.  The caller joins the thread
// (the job object must not change until then).  A thread that is not
// joinable means the manager could not be started.
std::thread StartDownPic(CEngineState &state);

// The manager: keeps up to wThreads DownOnePicFunc workers running until every
// picture has ended or the stop flag is set, shows "已下载%d/%d......" and
// ends with DownloadFinished on the job object's notify target.
void DownPicFunc(CEngineState &state);

// One worker: downloads picture `i` of the job object into its file, with the
// alternative address after CR LF when the first one gave nothing.
void DownOnePicFunc(CEngineState &state, int i);
