#pragma once

#include <QString>
#include <utility>
#include <vector>

#include "core/records.h"
#include "util/message_box.h"

// What the list and download jobs ask of the window.  The window implements it
// by handing each call to the GUI thread and finishing it before returning (the
// jobs rely on that: the album list and the job object carry no lock); the
// headless front end and the tests implement it directly.
//
// Calls come from the job threads (list job, download job, picture manager),
// and from the GUI thread while a button handler of job_control.h runs.
// ShowMessage (IMessageBox) is the message box of the jobs' failure texts.
// IDownloadNotify is the picture pool's side: SetControlText(1006, ...) for
// "已下载%d/%d......" and DownloadFinished (WM_DOWNLOAD_FINISHED) at the end
// of every pool run.
//
// The four looks change buttons, captions and enabled states only; the jobs
// write the status lines themselves through SetStatus1/SetStatus2.
class IJobHost : public IMessageBox, public IDownloadNotify
{
public:
    // Status line 1 (1009): job phase texts ("下载完毕", "正在下载第%d/%d个图集").
    virtual void SetStatus1(const QString &text) = 0;
    // Status line 2 (1006): progress texts ("已下载%d/%d......", "已获取到%d张图片信息").
    virtual void SetStatus2(const QString &text) = 0;
    // Caption of the album list group box 1011 ("相册列表(共%d个)").
    virtual void SetListCaption(const QString &text) = 0;

    // List-running look: 1002, 1005, 1001, 1014, 1027-1029, 1034, 1036, 1037
    // disabled; 1012 unchecked; 1004 "终止获取"; 1011 "相册列表"; 1013 hidden.
    virtual void ShowListRunningLook() = 0;
    // Idle look after a list job: 1002, 1001, 1014, links enabled; 1004
    // "获取相册"; 1005 enabled only when albumCount is at least 1.
    virtual void ShowListIdleLook(int albumCount) = 0;
    // Download-running look: 1005 "终止下载"; 1002, 1004, 1007, 1001, 1000,
    // 1027-1029 disabled.
    virtual void ShowDownloadRunningLook() = 0;
    // Download-idle look: 1005 "下载"; the controls above enabled again.
    virtual void ShowDownloadIdleLook() = 0;

    // Grid layout for the current mode and an empty thumbnail list, at the
    // start of a list job (the engine empties the album list itself).
    virtual void ResetAlbumGrid() = 0;
    // Shows album `albumIndex` of the album list in the grid (may cut its
    // strName to 80 characters in the record).
    virtual void AddAlbumRow(int albumIndex) = 0;
    // Redraws the whole grid once the list job has added its albums.
    virtual void RedrawAlbumGrid() = 0;
    // Selects every album row (SelectRowAndScroll with -1).
    virtual void SelectAllRows() = 0;
    // The chosen album indexes in grid order: the grid selection.
    virtual std::vector<int> ChosenAlbums() = 0;

    // Text of the address box 1001, untrimmed.
    virtual QString AddressText() = 0;
    // Appends an address that entered the address history to the box's items.
    virtual void AddAddressItem(const QString &address) = 0;
    // Text of the save path box 1000, untrimmed.
    virtual QString SavePathText() = 0;
    // Selection of the list-type box 1035, or -1 while the box is hidden.
    virtual int ListTypeChoice() = 0;

    // Opens a folder in the file browser (OpenFolderWhenDone).
    virtual void OpenFolder(const QString &folder) = 0;

    // WM_OPEN_LOGIN_PAGE: a job that needs the user to log in shows the
    // log-in browser on `address` (empty: the clipboard's text, nothing
    // loaded), modal and without owner, and waits until the user closes it.
    // Returns the dialog's result; 0 when no browser could be shown.  The
    // cookies of the log-in are in the cookie store when it returns.
    virtual int ShowLoginPage(const QString &address) = 0;

    // The shop answered product page `address` with its log-in or check page.
    // A host with a log-in browser asks the user whether to open the page
    // there and, if so, shows it modally and waits until it is closed.  True
    // when the page was shown (a log-in or check may have passed): the job
    // then asks for the page once more.  Any thread; blocks.
    virtual bool OfferShopLogin(const QString &address) = 0;

    // The state of album `albumIndex` during a download job ("等待",
    // "下载中 k/n", "完成", "失败 n 张" …) and its picture count once known
    // (-1: not yet).  Download job thread.  A host without an album list
    // leaves it out.
    virtual void ShowAlbumState(int albumIndex, int nPicCount, const QString &state)
    {
        (void)albumIndex;
        (void)nPicCount;
        (void)state;
    }
    // The albums of the last download job that had failed pictures, with how
    // many failed; empty when none failed.  At the job's end, before the
    // idle look.
    virtual void ReportFailedAlbums(const std::vector<std::pair<int, int>> &failed) { (void)failed; }
};
