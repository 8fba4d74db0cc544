#include "ui/dlg_down_set.h"

#include "ui/download_values_check.h"

#include "core/soft_settings.h"
#include "ui/control_ids.h"
#include "ui/settings_dialog_logic.h"
#include "util/message_box.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

CDlgDownSet::CDlgDownSet(DownloadParams *entry, IMessageBox &messages, QWidget *parent)
    : CTemplateDialog(DownSetDialogTemplate(), parent), entry_(entry), messages_(messages)
{
    Q_ASSERT(entry_);
    ItemAs<QLineEdit>(IDC_DL_THREADS)->setText(QString::number(entry_->wThreads));
    ItemAs<QLineEdit>(IDC_DL_TIMEOUT)->setText(QString::number(entry_->wTimeoutSec));
    ItemAs<QLineEdit>(IDC_DL_MINSIZE)->setText(QString::number(entry_->wMinKB));
    ItemAs<QLineEdit>(IDC_DL_MAXSIZE)->setText(QString::number(entry_->wMaxKB));
    connect(ItemAs<QPushButton>(IDC_SET_OK), &QPushButton::clicked, this, &CDlgDownSet::OnOK);
}

void CDlgDownSet::OnOK()
{
    // A bare "参数错误" named neither the field nor its range, and the reader
    // stored 70000 as 4464.
    const QString problem = DownloadValuesProblem(
        ItemAs<QLineEdit>(IDC_DL_THREADS)->text(), ItemAs<QLineEdit>(IDC_DL_TIMEOUT)->text(),
        ItemAs<QLineEdit>(IDC_DL_MINSIZE)->text(), ItemAs<QLineEdit>(IDC_DL_MAXSIZE)->text());
    if (!problem.isEmpty()) {
        messages_.ShowMessage(problem);
        return;
    }
    const auto values = ReadDownloadValues(ItemAs<QLineEdit>(IDC_DL_THREADS)->text(),
                                           ItemAs<QLineEdit>(IDC_DL_TIMEOUT)->text(),
                                           ItemAs<QLineEdit>(IDC_DL_MINSIZE)->text(),
                                           ItemAs<QLineEdit>(IDC_DL_MAXSIZE)->text());
    if (!values) {
        messages_.ShowMessage(QStringLiteral("参数错误"));
        return;
    }
    entry_->wThreads = values->threads;
    entry_->wTimeoutSec = values->timeoutSeconds;
    entry_->wMinKB = values->minSizeKB;
    entry_->wMaxKB = values->maxSizeKB;
    accept();
}

void CDlgDownSet::SetBrowserPages(bool bAvailable, bool bChecked)
{
    auto *box = ItemAs<QCheckBox>(IDC_DL_BROWSER);
    box->setChecked(bChecked);
    box->setEnabled(bAvailable);
    box->setToolTip(bAvailable ? QStringLiteral("商品页面和颜色/版本页在内置浏览器中打开后读取，"
                                                "页面的脚本会运行，登录浏览器的登录状态有效。图片仍直接下载。")
                               : QStringLiteral("这个版本的程序没有内置浏览器。"));
}

bool CDlgDownSet::BrowserPages() const
{
    return ItemAs<QCheckBox>(IDC_DL_BROWSER)->isChecked();
}
