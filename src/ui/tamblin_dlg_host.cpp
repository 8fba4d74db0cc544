// The main window as the jobs' host: each call is handed to the GUI thread.
#include "ui/tamblin_dlg.h"

#include "grid/my_grid_ctrl.h"
#include "ui/album_list_ops.h"
#include "ui/combo_box2.h"
#include "ui/control_ids.h"
#include "ui/file_dialogs.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

void CTamblinDlg::ShowMessage(const QString &text)
{
    messages_->ShowMessage(text);
}

void CTamblinDlg::SetControlText(int nCtrl, const QString &text)
{
    gate_.Run([this, nCtrl, text] {
        if (auto *label = qobject_cast<QLabel *>(Item(nCtrl)))
            label->setText(nCtrl == IDC_STATE2 ? text + ShowAlbumProgress(text) : text);
    });
}

void CTamblinDlg::DownloadFinished(int64_t, int)
{
}

void CTamblinDlg::SetStatus1(const QString &text)
{
    SetControlText(IDC_STATE1, text);
}

void CTamblinDlg::SetStatus2(const QString &text)
{
    SetControlText(IDC_STATE2, text);
}

void CTamblinDlg::SetListCaption(const QString &text)
{
    gate_.Run([this, text] { qobject_cast<QGroupBox *>(Item(IDC_LISTGROUP))->setTitle(text); });
}

void CTamblinDlg::ShowListRunningLook()
{
    gate_.Run([this] {
        SetControlEnabled({IDC_SITE, IDC_DOWNLOAD, IDC_ADDRESS, IDC_THUMBS}, false);
        qobject_cast<QCheckBox *>(Item(IDC_SELECTALL))->setChecked(false);
        qobject_cast<QPushButton *>(Item(IDC_GETLIST))->setText(QStringLiteral("终止获取"));
        qobject_cast<QGroupBox *>(Item(IDC_LISTGROUP))->setTitle(QStringLiteral("相册列表"));
        qobject_cast<QLabel *>(Item(IDC_STATE1))->setText(QStringLiteral("正在获取相册列表，请稍等..."));
        qobject_cast<QLabel *>(Item(IDC_STATE2))->clear();
        Item(IDC_NOTICE)->hide();
        SetControlEnabled({IDC_SORT1, IDC_SORT2, IDC_SORT3, IDC_FIND, IDC_FILTER, IDC_EXPORT}, false);
    });
}

void CTamblinDlg::ShowListIdleLook(int albumCount)
{
    gate_.Run([this, albumCount] {
        SetControlEnabled({IDC_SITE}, true);
        SetControlEnabled({IDC_DOWNLOAD}, albumCount >= 1);
        qobject_cast<QPushButton *>(Item(IDC_GETLIST))->setText(QStringLiteral("获取相册"));
        SetControlEnabled({IDC_ADDRESS, IDC_THUMBS, IDC_SORT1, IDC_SORT2, IDC_SORT3, IDC_FIND, IDC_FILTER,
                           IDC_EXPORT},
                          true);
    });
}

void CTamblinDlg::ShowDownloadRunningLook()
{
    gate_.Run([this] {
        qobject_cast<QPushButton *>(Item(IDC_DOWNLOAD))->setText(QStringLiteral("终止下载"));
        RememberSavePath();
        SetControlEnabled({IDC_SITE, IDC_GETLIST, IDC_SETPATH, IDC_ADDRESS, IDC_SAVEPATH, IDC_SORT1, IDC_SORT2,
                           IDC_SORT3},
                          false);
    });
}

void CTamblinDlg::ShowDownloadIdleLook()
{
    gate_.Run([this] {
        qobject_cast<QPushButton *>(Item(IDC_DOWNLOAD))->setText(QStringLiteral("下载"));
        SetControlEnabled({IDC_SITE, IDC_GETLIST, IDC_SETPATH, IDC_ADDRESS, IDC_SAVEPATH, IDC_SORT1, IDC_SORT2,
                           IDC_SORT3},
                          true);
    });
}

void CTamblinDlg::ResetAlbumGrid()
{
    gate_.Run([this] {
        qobject_cast<QCheckBox *>(Item(IDC_SELECTALL))->setChecked(false);
        albumList_->ResetAlbumList();
    });
}

void CTamblinDlg::AddAlbumRow(int albumIndex)
{
    if (state_.StartupReady.load() == 1)
        albumList_->AddAlbumRow(albumIndex);
}

void CTamblinDlg::RedrawAlbumGrid()
{
    gate_.Run([this] {
        grid_->ResetScrollBars();
        grid_->RepaintAll();
    });
}

void CTamblinDlg::SelectAllRows()
{
    gate_.Run([this] { grid_->SelectRowAndScroll(-1); });
}

std::vector<int> CTamblinDlg::ChosenAlbums()
{
    return gate_.Call<std::vector<int>>(
        [this] { return retryAlbums_.empty() ? albumList_->ChosenAlbums() : std::exchange(retryAlbums_, {}); }, {});
}

QString CTamblinDlg::AddressText()
{
    return gate_.Call<QString>([this] { return addressBox_->currentText(); }, {});
}

void CTamblinDlg::AddAddressItem(const QString &address)
{
    gate_.Run([this, address] { addressBox_->AddItem(address); });
}

QString CTamblinDlg::SavePathText()
{
    return gate_.Call<QString>([this] { return savePathBox_->currentText(); }, {});
}

int CTamblinDlg::ListTypeChoice()
{
    return gate_.Call<int>([this] { return listTypeBox_->isVisible() ? listTypeBox_->currentIndex() : -1; }, -1);
}

void CTamblinDlg::OpenFolder(const QString &folder)
{
    gate_.Run([this, folder] { OpenFolderOrSay(folder, *messages_); });
}
