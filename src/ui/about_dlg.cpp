#include "ui/about_dlg.h"

#include "ui/control_ids.h"
#include "ui/settings_dialog_logic.h"
#include "ui/ui_texts.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget *parent)
    : CTemplateDialog(AboutDialogTemplate(), parent)
{
    ItemAs<QLabel>(IDC_ABOUT_VERSION)->setText(VersionLine());
    auto *second = ItemAs<QLabel>(IDC_ABOUT_LINE2);
    second->setText(AboutSecondLine());
    second->setWordWrap(true);
    connect(ItemAs<QPushButton>(IDOK), &QPushButton::clicked, this, &QDialog::accept);
}
