// The window's side of work on several albums: the albums' states, the end
// of a job with failures, the address list file, and a window that grows and
// is not closed by a stray Escape.
#include "ui/tamblin_dlg.h"

#include "engine/address_list.h"
#include "engine/bulk_texts.h"
#include "grid/my_grid_ctrl.h"
#include "ui/combo_box2.h"
#include "ui/control_ids.h"
#include "ui/file_dialogs.h"
#include "ui/program_folder.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSettings>
#include <QShortcut>

#include <algorithm>

namespace {

QString WindowSettingsPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("ostrel-window.ini");
}

} // namespace

void CTamblinDlg::ShowAlbumState(int albumIndex, int nPicCount, const QString &state)
{
    gate_.Run([this, albumIndex, nPicCount, state] {
        progressAlbum_ = state.startsWith(bulktext::Downloading(0, 0).left(3)) ? albumIndex : -1;
        if (progressAlbum_ >= 0)
            albumClock_.start();
        albumList_->ShowAlbumState(albumIndex, nPicCount, state);
    });
}

QString CTamblinDlg::ShowAlbumProgress(const QString &text)
{
    // The pool's "已下载%d/%d......" also tells the album's own row.
    static const QRegularExpression progress(QStringLiteral(R"re(^已下载(\d+)/(\d+))re"));
    const QRegularExpressionMatch m = progress.match(text);
    if (progressAlbum_ < 0 || !m.hasMatch())
        return {};
    const int done = m.captured(1).toInt();
    albumList_->ShowAlbumState(progressAlbum_, -1, bulktext::Downloading(done, m.captured(2).toInt()));
    return bulktext::Rate(done, state_.pics.nBytesDone.load(), albumClock_.elapsed());
}

void CTamblinDlg::ReportFailedAlbums(const std::vector<std::pair<int, int>> &failed)
{
    std::vector<int> albums;
    QStringList lines;
    for (const auto &[index, count] : failed) {
        albums.push_back(index);
        lines.append(bulktext::AlbumFailureLine(state_.albums.GetAlbum(index).strName, count));
    }
    gate_.Run([this, albums] { failedAlbums_ = albums; });
    if (!failed.empty())
        ShowMessage(bulktext::AlbumsWithFailures(lines));
}

void CTamblinDlg::OnRetryFailed(const std::vector<int> &albums)
{
    if (albums.empty() || state_.DownloadJobState.load() != JOB_IDLE || state_.ListJobState.load() != JOB_IDLE)
        return;
    retryAlbums_ = albums;
    state_.bOnlyMissing = true;
    OnDownload();
    // A job that could not start takes neither.
    if (state_.DownloadJobState.load() == JOB_IDLE && !retryAlbums_.empty()) {
        retryAlbums_.clear();
        state_.bOnlyMissing = false;
    }
}

void CTamblinDlg::OnGridContextMenu(int row)
{
    if (row < grid_->FixedRowCount() || albumList_->ThumbnailMode())
        return;
    const int album = int(grid_->CellData(row, 0));
    const bool bIdle = state_.DownloadJobState.load() == JOB_IDLE && state_.ListJobState.load() == JOB_IDLE;
    const bool bFailed = std::find(failedAlbums_.begin(), failedAlbums_.end(), album) != failedAlbums_.end();
    QMenu menu(this);
    QAction *download = menu.addAction(QStringLiteral("下载所选"));
    download->setEnabled(bIdle && !albumList_->ChosenAlbums().empty());
    const QAction *copy = menu.addAction(QStringLiteral("复制"));
    const QAction *open = menu.addAction(QStringLiteral("打开所在文件夹"));
    const QAction *retry = bFailed ? menu.addAction(QStringLiteral("重试失败")) : nullptr;
    const QAction *chosen = menu.exec(QCursor::pos());
    if (chosen == download) {
        OnDownload();
    } else if (chosen == copy) {
        // The chosen albums, else the one under the pointer: name and address.
        std::vector<int> albums = albumList_->ChosenAlbums();
        if (albums.empty())
            albums.push_back(album);
        QStringList lines;
        for (const int index : albums) {
            const ST_PERLISTRECORD rec = state_.albums.GetAlbum(index);
            lines.append(rec.strName + u'\t' + rec.strUrl);
        }
        QGuiApplication::clipboard()->setText(lines.join(u'\n'));
    } else if (chosen == open) {
        // The folder the albums go into, as far as it exists.
        QString folder = WithTrailingSeparator(savePathBox_->currentText().trimmed());
        if (QFileInfo(folder + state_.strSiteFolder).isDir())
            folder += state_.strSiteFolder;
        OpenFolderOrSay(folder, *messages_);
    } else if (retry && chosen == retry) {
        OnRetryFailed({album});
    }
}

void CTamblinDlg::OnImportAddressList()
{
    const QString path = chooseListFile ? chooseListFile() : QString();
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(QStringLiteral("无法读取文件：%1").arg(path));
        return;
    }
    const QStringList addresses = ProductAddresses(AddressListText(file.readAll()));
    if (addresses.isEmpty()) {
        ShowMessage(QStringLiteral("文件中没有京东商品页面的网址。"));
        return;
    }
    addressBox_->setEditText(addresses.join(u'\n'));
    ClassifyAddress();
    OnGetList();
}

void CTamblinDlg::keyPressEvent(QKeyEvent *event)
{
    // Escape belongs to pop-ups and dialogs; the main window stays.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTamblinDlg::closeEvent(QCloseEvent *event)
{
    if (state_.DownloadJobState.load() != JOB_IDLE &&
        !askYesNo(QStringLiteral("正在下载，确定退出？"), QStringLiteral("提示"))) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CTamblinDlg::SetUpGrowth(int menuHeight)
{
    // Escape no longer closes the window: Ctrl+Q does, on purpose, through
    // the same close (and its question during a download).
    auto *quit = new QShortcut(QKeySequence::Quit, this);
    connect(quit, &QShortcut::activated, this, [this] { close(); });

    menuHeight_ = menuHeight;
    baseClient_ = client_->size();
    // The dialog builder fixes the sizes of the client and its controls.
    client_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const struct
    {
        int id;
        GrowRule rule;
    } rules[] = {{IDC_LISTGROUP, GrowRule::Grow},
                 {IDC_GRID, GrowRule::Grow},
                 {IDC_UPDATELINK, GrowRule::FollowBottom},
                 {IDC_BOTTOMTEXT, GrowRule::FollowBottom}};
    for (const auto &r : rules)
        if (QWidget *w = Item(r.id)) {
            w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            growing_.push_back({w, w->geometry(), r.rule});
        }
    setMinimumSize(baseClient_.width(), baseClient_.height() + menuHeight);
    resize(minimumSize());
}

void CTamblinDlg::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!client_ || baseClient_.isEmpty())
        return;
    menuBar_->setGeometry(0, 0, width(), menuHeight_);
    client_->setGeometry(0, menuHeight_, std::max(width(), baseClient_.width()),
                         std::max(height() - menuHeight_, baseClient_.height()));
    const QSize extra = client_->size() - baseClient_;
    for (const GrowingControl &c : growing_)
        if (c.widget)
            c.widget->setGeometry(GrownRect(c.base, c.rule, extra));
}

void CTamblinDlg::RestoreWindowSize()
{
    const QSettings ini(WindowSettingsPath(state_.ProgramFolder), QSettings::IniFormat);
    const QSize size = ini.value(QStringLiteral("window/size")).toSize();
    if (size.isValid())
        resize(size.expandedTo(minimumSize()));
}

void CTamblinDlg::SaveWindowSize()
{
    if (state_.ProgramFolder.isEmpty())
        return;
    QSettings ini(WindowSettingsPath(state_.ProgramFolder), QSettings::IniFormat);
    ini.setValue(QStringLiteral("window/size"), isMaximized() ? normalGeometry().size() : size());
}

void CTamblinDlg::RememberSavePath()
{
    QString path = savePathBox_->currentText().trimmed();
    if (path.isEmpty())
        return;
    if (!path.endsWith(u'/'))
        path += u'/';
    PushSavePath(path);
}

void CTamblinDlg::MirrorSelectAll()
{
    const int shown = albumList_->ThumbnailMode() ? state_.albums.Count() : grid_->RowCount() - grid_->FixedRowCount();
    const int chosen = int(albumList_->ChosenAlbums().size());
    qobject_cast<QCheckBox *>(Item(IDC_SELECTALL))->setChecked(shown > 0 && chosen == shown);
}
