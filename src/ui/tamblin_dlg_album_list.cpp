// The main window's album list commands: select all, thumbnails, find,
// filter, export, the sort links and dropped files.  The logic lives in
// CAlbumListOps; these handlers read the controls and drive it.
#include "grid/my_grid_ctrl.h"
#include "ui/control_ids.h"
#include "ui/dialog_builder.h"
#include "ui/dlg_find.h"
#include "ui/file_dialogs.h"
#include "ui/tamblin_dlg.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include <system_error>

namespace {

// The window's side of the album list: covers through the window's download
// function, messages through its message box.
class CWindowAlbumPlatform final : public IAlbumListPlatform
{
public:
    explicit CWindowAlbumPlatform(CTamblinDlg &dlg) : dlg_(dlg) {}
    bool DownloadToFile(const QString &url, const QString &file) override { return dlg_.downloadToFile(url, file); }
    void ShowMessage(const QString &text) override { dlg_.ShowMessage(text); }

private:
    CTamblinDlg &dlg_;
};

// The first dropped item that is a local file or folder.
QString FirstDroppedPath(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

void CTamblinDlg::BuildAlbumList()
{
    grid_ = qobject_cast<CMyGridCtrl *>(Item(IDC_GRID));
    grid_->AttachImageList(&images_);
    grid_->SetMessageBox(messages_);
    albumPlatform_ = std::make_unique<CWindowAlbumPlatform>(*this);
    albumList_ = std::make_unique<CAlbumListOps>(*grid_, state_.albums, images_, *albumPlatform_,
                                                 [this](std::function<void()> fn) { return gate_.Run(std::move(fn)); });
    albumList_->ApplyLayout();  // the list layout from the start
}

void CTamblinDlg::ConnectAlbumListControls()
{
    connect(qobject_cast<QCheckBox *>(Item(IDC_SELECTALL)), &QCheckBox::clicked, this, [this] { OnSelectAll(); });
    connect(qobject_cast<QCheckBox *>(Item(IDC_THUMBS)), &QCheckBox::clicked, this, [this] { OnThumbnailSwitch(); });
    const std::pair<int, void (CTamblinDlg::*)()> links[] = {
        {IDC_FIND, &CTamblinDlg::OnFind}, {IDC_FILTER, &CTamblinDlg::OnFilter}, {IDC_EXPORT, &CTamblinDlg::OnExport}};
    for (const auto &[id, handler] : links)
        connect(qobject_cast<QLabel *>(Item(id)), &QLabel::linkActivated, this, [this, h = handler] { (this->*h)(); });
    for (int id : {IDC_SORT1, IDC_SORT2, IDC_SORT3})
        connect(qobject_cast<QLabel *>(Item(id)), &QLabel::linkActivated, this, [this, id] { OnSortLink(id); });
    connect(grid_, &CGridCtrl::GridNotify, this, [this](int code, int row, int) {
        if (code == GridNotifySelChanged)
            MirrorSelectAll();
        else if (code == GridNotifyRightClick)
            OnGridContextMenu(row);
    });
}

void CTamblinDlg::OnSelectAll()
{
    albumList_->SelectAll(qobject_cast<QCheckBox *>(Item(IDC_SELECTALL))->isChecked());
}

void CTamblinDlg::OnThumbnailSwitch()
{
    auto *box = qobject_cast<QCheckBox *>(Item(IDC_THUMBS));
    const bool checked = box->isChecked();
    if (albumList_->ThumbJobState.load() != 0) {
        if (askYesNo(QStringLiteral("模式转换未完成,是否中断?"), QStringLiteral("提示")))
            albumList_->ThumbJobState = 2;
        box->setChecked(!checked);
        return;
    }
    if (checked && findDlg_)
        findDlg_->reject();
    SetControlEnabled({IDC_FILTER, IDC_FIND}, !checked);
    JoinRebuildThread();  // the last rebuild is past its end already
    albumList_->ThumbJobState = 1;
    albumList_->SetThumbnailMode(checked);
    qobject_cast<QCheckBox *>(Item(IDC_SELECTALL))->setChecked(false);
    albumList_->ApplyLayout();
    StartRebuildThread();
}

void CTamblinDlg::StartRebuildThread()
{
    try {
        rebuildThread_ = std::thread([this] { albumList_->RebuildAlbumGrid(); });
    } catch (const std::system_error &) {
        albumList_->ThumbJobState = 0;
    }
}

void CTamblinDlg::OnFind()
{
    if (!findDlg_)
        findDlg_ = new CDlgFind(this);  // a child window, kept for the next use
    findDlg_->SetGrid(grid_);
    grid_->SetSingleRowSelection(true);
    findDlg_->SetFindMode(true);
    findDlg_->show();
    findDlg_->move(frameGeometry().center() - findDlg_->rect().center());
}

void CTamblinDlg::OnFilter()
{
    // Two fillers must not meet in the grid: a rebuild that runs finishes first.
    if (albumList_->ThumbJobState.load() != 0)
        return;
    if (findDlg_)
        findDlg_->reject();
    CDlgFind dialog(this);
    dialog.SetFindMode(false);
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    albumList_->SetFilterKeyword(dialog.Keyword());
    grid_->ResizeRowCount(1);
    albumList_->RebuildAlbumGrid();
    MirrorSelectAll();
}

void CTamblinDlg::OnExport()
{
    grid_->SetExportDialog(exportDialog_ ? exportDialog_ : &LocalizedExportDialog());
    grid_->ExportAlbumCsv();
}

void CTamblinDlg::OnSortLink(int id)
{
    if (id == IDC_SORT2 || albumList_->ThumbJobState.load() != 0)
        return;
    if (id == IDC_SORT1) {
        if (state_.albums.Count() == 0)
            return;
        QWidget *link = Item(IDC_SORT1);
        const bool up = LinkText(link).contains(QStringLiteral("↑"));
        SetLinkText(link, up ? QStringLiteral("<a>好评↓</a>") : QStringLiteral("<a>好评↑</a>"));
        albumList_->SortByRating(!up);
    } else {
        albumList_->SortByListOrder();
    }
    // The rows of the old order go first, or the rebuild would add every album twice.
    albumList_->ApplyLayout();
    albumList_->RebuildAlbumGrid();
}

void CTamblinDlg::OnDropPath(const QString &path)
{
    if (path.isEmpty())
        return;
    PushSavePath(CAlbumListOps::SavePathForDrop(path));
}

void CTamblinDlg::dragEnterEvent(QDragEnterEvent *event)
{
    if (!FirstDroppedPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QDialog::dragEnterEvent(event);
}

void CTamblinDlg::dropEvent(QDropEvent *event)
{
    OnDropPath(FirstDroppedPath(event->mimeData()));
    event->acceptProposedAction();
}
