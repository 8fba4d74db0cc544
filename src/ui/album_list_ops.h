#pragma once

#include "core/records.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

class CGridImageList;
class CMyGridCtrl;

// What the album list operations need from outside the grid: the cover
// download and the message box.  DownloadToFile is called from whichever
// thread fills the grid (list job, rebuild thread, GUI thread); ShowMessage
// only from the GUI thread.
class IAlbumListPlatform
{
public:
    virtual ~IAlbumListPlatform() = default;
    // The whole cover picture into `file`; false leaves the album without a thumbnail.
    virtual bool DownloadToFile(const QString &url, const QString &file) = 0;
    virtual void ShowMessage(const QString &text) = 0;
};

// Runs a grid change on the GUI thread and returns when it is done (false
// when it could not run: the window is going away).  Called on the GUI
// thread itself, it runs the change at once.
using GuiRunner = std::function<bool(std::function<void()>)>;

// The album list as the main window shows it: layouts, rows and thumbnails,
// the filtered rebuild, select-all, the chosen albums and the sort orders.
// Owns no window; the dialog drives it and tests run it on a bare grid.
//
// Threads: every grid change goes through the GuiRunner.  AddAlbumRow and
// RebuildAlbumGrid may run on any thread (the cover download happens there);
// the other operations run on the GUI thread.  The thumbnail switch is kept
// from changing the layout while a list job or a rebuild fills the grid.
class CAlbumListOps
{
public:
    static constexpr int kNameMax = 80;
    static constexpr int kThumbsPerRow = 6;
    static constexpr int kThumbWidth = 113;
    static constexpr int kThumbHeight = 120;
    static constexpr int kThumbRowHeight = kThumbHeight + 10;

    CAlbumListOps(CMyGridCtrl &grid, CAlbumList &albums, CGridImageList &images, IAlbumListPlatform &platform,
                  GuiRunner runOnGui);

    // Thumbnails go to programFolder + "tmp/" + i + ".jpg".
    void SetProgramFolder(const QString &folder) { programFolder_ = folder; }

    bool ThumbnailMode() const { return thumbnailMode_.load(); }
    void SetThumbnailMode(bool on) { thumbnailMode_ = on; }

    // Keyword of the next rebuild (list layout only); empty = no filter.
    // GUI thread, while no rebuild runs.
    void SetFilterKeyword(const QString &keyword) { filterKeyword_ = keyword; }
    QString FilterKeyword() const { return filterKeyword_; }

    // Rebuild job: 0 idle, 1 running, 2 stop requested.
    std::atomic<uint8_t> ThumbJobState{0};
    // Set once at close: a running cover download ends at once.
    std::atomic<bool> bAbortDownloads{false};

    // The redraw handshake around applying the layout of the current mode.
    void ApplyLayout();
    // The layout, an empty album list and an empty thumbnail list.
    void ResetAlbumList();
    // Cuts the name to 80 characters in the record and shows album i as a
    // list row (unless the filter leaves it out) or as a thumbnail cell.
    void AddAlbumRow(int albumIndex);
    // Every album again (until a stop is asked), then the rows fitted; ends
    // the rebuild job and uses up the filter keyword.
    void RebuildAlbumGrid();

    // 全选: every non-fixed cell, or no selection and no focus cell.
    void SelectAll(bool checked);
    // The chosen albums in grid order: the selected rows of the list layout,
    // the selected cells of the thumbnail layout.
    std::vector<int> ChosenAlbums() const;

    // The state of an album during a download ("下载中 3/8", "完成" …) in the
    // column "备注", kept over rebuilds, and its picture count (-1: leave
    // it).  A new album list forgets the states.  GUI thread
    // (album_list_states.cpp).
    void ShowAlbumState(int albumIndex, int nPicCount, const QString &state);
    QString AlbumState(int albumIndex) const;

    // The sort links; the caller rebuilds the grid afterwards.
    void SortByRating(bool largestFirst);
    void SortByListOrder();

    // The save path a dropped item gives: its folder when it is a file (an
    // item not on disk: when it has an extension), else the item itself;
    // always ending in '/'.
    static QString SavePathForDrop(const QString &droppedPath);

private:
    // What a cover download left for the GUI thread.
    struct Cover
    {
        bool wanted = false;
        QImage image;
    };
    Cover FetchCover(int albumIndex, const ST_PERLISTRECORD &album) const;
    void ShowRow(int albumIndex, const Cover &cover);

    CMyGridCtrl &grid_;
    CAlbumList &albums_;
    CGridImageList &images_;
    IAlbumListPlatform &platform_;
    GuiRunner runOnGui_;
    QString programFolder_;
    QString filterKeyword_;
    std::atomic<bool> thumbnailMode_{false};
    mutable std::mutex mtxStates_;       // rows are shown from the list job's thread too
    // Album address → state text (the sort links reorder the indexes).
    std::map<QString, QString> states_;  // guarded by mtxStates_
};
