#include "ui/album_list_ops.h"

#include "grid/grid_image_list.h"
#include "grid/my_grid_ctrl.h"

#include <QDir>
#include <QFileInfo>

#include <climits>

CAlbumListOps::CAlbumListOps(CMyGridCtrl &grid, CAlbumList &albums, CGridImageList &images,
                             IAlbumListPlatform &platform, GuiRunner runOnGui)
    : grid_(grid), albums_(albums), images_(images), platform_(platform), runOnGui_(std::move(runOnGui))
{
}

void CAlbumListOps::ApplyLayout()
{
    grid_.SetRedraw(false);
    grid_.WaitForDrawComplete();
    if (ThumbnailMode())
        grid_.ApplyThumbnailLayout(kThumbsPerRow, kThumbWidth);
    else
        grid_.ApplyListLayout();
    grid_.SetRedraw(true);
    grid_.RepaintAll();
}

void CAlbumListOps::ResetAlbumList()
{
    ApplyLayout();
    albums_.Clear();
    images_.SetImageCount(0);
    std::lock_guard lock(mtxStates_);
    states_.clear();
}

CAlbumListOps::Cover CAlbumListOps::FetchCover(int albumIndex, const ST_PERLISTRECORD &album) const
{
    Cover cover;
    if (!ThumbnailMode() || album.nThumbIndex != -1)
        return cover;
    cover.wanted = true;
    const QString folder = programFolder_ + QStringLiteral("tmp/");
    if (albumIndex == 0)
        QDir().mkpath(folder);
    const QString file = folder + QString::number(albumIndex) + QStringLiteral(".jpg");
    if (bAbortDownloads.load() || !platform_.DownloadToFile(album.strCoverUrl, file))
        return cover;
    const QImage source(file);
    if (!source.isNull())
        cover.image = source.scaled(kThumbWidth, kThumbHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return cover;
}

void CAlbumListOps::AddAlbumRow(int albumIndex)
{
    // The cut name is also the one used for folders and files.
    albums_.UpdateAlbum(albumIndex, [](ST_PERLISTRECORD &album) {
        if (album.strName.size() > kNameMax)
            album.strName.truncate(kNameMax);
    });
    const ST_PERLISTRECORD album = albums_.GetAlbum(albumIndex);
    if (album.nListIndex < 0)
        return;
    // Downloaded here, so neither the GUI thread nor the grid waits for it.
    const Cover cover = FetchCover(albumIndex, album);
    runOnGui_([this, albumIndex, cover] { ShowRow(albumIndex, cover); });
}

void CAlbumListOps::ShowRow(int albumIndex, const Cover &cover)
{
    const ST_PERLISTRECORD album = albums_.GetAlbum(albumIndex);
    if (!ThumbnailMode()) {
        if (!filterKeyword_.isEmpty() && !album.strName.contains(filterKeyword_))
            return;
        const QString state = AlbumState(albumIndex);
        grid_.AddListRow(albumIndex, album.strName, AlbumCountText(album.nPicCount),
                         state.isEmpty() ? AlbumAttribText(album.nAttrib) : state);
        grid_.RepaintAll();  // queued: many rows in a row still paint once
        return;
    }
    int nImage = album.nThumbIndex;
    if (cover.wanted && !cover.image.isNull()) {
        nImage = images_.Add(cover.image);
        if (nImage < 0)
            platform_.ShowMessage(QStringLiteral("err1"));
        else
            albums_.UpdateAlbum(albumIndex, [nImage](ST_PERLISTRECORD &a) { a.nThumbIndex = nImage; });
    }
    grid_.AddThumbnailCell(albumIndex, album.strName, nImage, kThumbRowHeight);
}

void CAlbumListOps::RebuildAlbumGrid()
{
    for (int i = 0; ThumbJobState.load() != 2 && i < albums_.Count(); ++i)
        AddAlbumRow(i);
    runOnGui_([this] {
        grid_.FitAllRowHeights();
        grid_.RepaintAll();
        filterKeyword_.clear();
    });
    ThumbJobState = 0;
}

void CAlbumListOps::SelectAll(bool checked)
{
    if (checked)
        grid_.SelectRowAndScroll(-1);
    else
        grid_.ClearSelection();
    grid_.RepaintAll();
}

std::vector<int> CAlbumListOps::ChosenAlbums() const
{
    std::vector<int> chosen;
    const int nAlbums = albums_.Count();
    if (!ThumbnailMode()) {
        for (int r = grid_.NextSelectedRow(INT_MAX); r >= 0; r = grid_.NextSelectedRow(r))
            chosen.push_back(int(grid_.CellData(r, 0)));
        return chosen;
    }
    int nCell = 0;
    for (int r = 0; r < grid_.RowCount(); ++r) {
        for (int c = 0; c < grid_.ColumnCount(); ++c, ++nCell) {
            if (!(grid_.CellState(r, c) & CellSelected))
                continue;
            const quintptr data = grid_.CellData(r, c);
            if (nCell < nAlbums && data < quintptr(nAlbums))
                chosen.push_back(int(data));
        }
    }
    return chosen;
}

void CAlbumListOps::SortByRating(bool largestFirst)
{
    if (largestFirst)
        albums_.Sort([](const ST_PERLISTRECORD &a, const ST_PERLISTRECORD &b) { return a.nSpare4 > b.nSpare4; });
    else
        albums_.Sort([](const ST_PERLISTRECORD &a, const ST_PERLISTRECORD &b) { return a.nSpare4 < b.nSpare4; });
}

void CAlbumListOps::SortByListOrder()
{
    albums_.Sort([](const ST_PERLISTRECORD &a, const ST_PERLISTRECORD &b) { return a.nListIndex < b.nListIndex; });
}

QString CAlbumListOps::SavePathForDrop(const QString &droppedPath)
{
    QString path = droppedPath.left(512);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // The file system knows a folder from a file; a name's dot only guesses,
    // for an item that is not there (any more).
    const QFileInfo item(path);
    const bool bFile = item.exists() ? !item.isDir() : dot > slash;
    if (slash >= 0 && bFile)
        path.truncate(slash);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}
