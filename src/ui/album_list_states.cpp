// The albums' states during a download, in the list's "数量" and "备注".
#include "ui/album_list_ops.h"

#include "grid/my_grid_ctrl.h"

namespace {

constexpr int kCountColumn = 2;
constexpr int kRemarkColumn = 3;

} // namespace

void CAlbumListOps::ShowAlbumState(int albumIndex, int nPicCount, const QString &state)
{
    const ST_PERLISTRECORD album = albums_.GetAlbum(albumIndex);
    if (album.nListIndex < 0)
        return;
    if (nPicCount >= 0)
        albums_.UpdateAlbum(albumIndex, [nPicCount](ST_PERLISTRECORD &a) { a.nPicCount = nPicCount; });
    {
        std::lock_guard lock(mtxStates_);
        states_[album.strUrl] = state;
    }
    if (ThumbnailMode())
        return;
    for (int r = grid_.FixedRowCount(); r < grid_.RowCount(); ++r) {
        if (grid_.CellData(r, 0) != quintptr(albumIndex))
            continue;
        if (nPicCount >= 0)
            grid_.SetCellText(r, kCountColumn, AlbumCountText(nPicCount));
        grid_.SetCellText(r, kRemarkColumn, state);
        grid_.RepaintCell(r, kCountColumn);
        grid_.RepaintCell(r, kRemarkColumn);
        return;
    }
}

QString CAlbumListOps::AlbumState(int albumIndex) const
{
    const QString url = albums_.GetAlbum(albumIndex).strUrl;
    std::lock_guard lock(mtxStates_);
    const auto it = states_.find(url);
    return it == states_.end() ? QString() : it->second;
}
