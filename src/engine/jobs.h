#pragma once

class CEngineState;
class IJobHost;

// The list job ("获取相册"): turns the address box's address into the album
// list and, with exactly one album, runs the download command.
void GetListFunc(CEngineState &state, IJobHost &host);

// The download job ("下载"): collects and downloads (or lists) the pictures of
// every chosen album in turn.
void DownJobFunc(CEngineState &state, IJobHost &host);

// The download command as the list job runs it at its end: starts the
// download job, or asks the running one to stop.
void RunDownloadCommand(CEngineState &state, IJobHost &host);
