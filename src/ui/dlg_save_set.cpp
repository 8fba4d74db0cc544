#include "ui/dlg_save_set.h"

#include "core/soft_settings.h"
#include "ui/control_ids.h"
#include "ui/settings_dialog_logic.h"
#include "util/message_box.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QButtonGroup *MakeGroup(CDlgSaveSet *dlg, std::initializer_list<int> ids, int checked)
{
    auto *group = new QButtonGroup(dlg);
    group->setExclusive(true);
    int index = 0;
    for (int id : ids) {
        auto *radio = dlg->ItemAs<QRadioButton>(id);
        group->addButton(radio, index);
        radio->setChecked(index == checked);
        ++index;
    }
    return group;
}

} // namespace

CDlgSaveSet::CDlgSaveSet(NamingRecord *entry, IMessageBox &messages, QWidget *parent)
    : CTemplateDialog(SaveSetDialogTemplate(), parent), entry_(entry), messages_(messages)
{
    Q_ASSERT(entry_);
    ItemAs<QLineEdit>(IDC_NAME_PREFIX)->setText(entry_->strFilePrefix);
    ItemAs<QLineEdit>(IDC_NAME_SUFFIX)->setText(entry_->strFileSuffix);
    ItemAs<QLineEdit>(IDC_REPLACE_FROM)->setText(entry_->strReplaceWhat);
    ItemAs<QLineEdit>(IDC_REPLACE_TO)->setText(entry_->strReplaceWith);
    ItemAs<QLineEdit>(IDC_FOLDER_PREFIX)->setText(entry_->strFolderPrefix);
    ItemAs<QLineEdit>(IDC_FOLDER_SUFFIX)->setText(entry_->strFolderSuffix);
    fileSource_ = MakeGroup(this, {IDC_SRC_DESC, IDC_SRC_NUMBER, IDC_SRC_ADDRESS}, entry_->nFileNameSource);
    folderSource_ = MakeGroup(this, {IDC_FOLDER_ALBUM, IDC_FOLDER_NONE}, entry_->nFolderSource);
    connect(ItemAs<QPushButton>(IDC_SET_OK), &QPushButton::clicked, this, &CDlgSaveSet::OnOK);
    connect(ItemAs<QLabel>(IDC_NAMING_HELP), &QLabel::linkActivated, this, [this] { OnHelpLink(); });
}

int CDlgSaveSet::FileNameSource() const
{
    return fileSource_->checkedId();
}

int CDlgSaveSet::FolderSource() const
{
    return folderSource_->checkedId();
}

void CDlgSaveSet::OnOK()
{
    // The folder choice must be 0 or 1; checked before anything is stored so
    // a refused exchange leaves the entry as it was.
    const int folder = FolderSource();
    if (folder < 0 || folder > 1) {
        messages_.ShowMessage(QStringLiteral("请输入一个介于 0 和 1 之间的整数。"));
        return;
    }
    entry_->strFilePrefix = CutNamingText(ItemAs<QLineEdit>(IDC_NAME_PREFIX)->text());
    entry_->strFileSuffix = CutNamingText(ItemAs<QLineEdit>(IDC_NAME_SUFFIX)->text());
    entry_->strReplaceWhat = CutNamingText(ItemAs<QLineEdit>(IDC_REPLACE_FROM)->text());
    entry_->strReplaceWith = CutNamingText(ItemAs<QLineEdit>(IDC_REPLACE_TO)->text());
    entry_->strFolderPrefix = CutNamingText(ItemAs<QLineEdit>(IDC_FOLDER_PREFIX)->text());
    entry_->strFolderSuffix = CutNamingText(ItemAs<QLineEdit>(IDC_FOLDER_SUFFIX)->text());
    // With no name source checked (a damaged entry) the stored choice stays.
    const int source = FileNameSource();
    if (source >= 0)
        entry_->nFileNameSource = static_cast<uint8_t>(source);
    entry_->nFolderSource = static_cast<uint8_t>(folder);
    accept();
}

void CDlgSaveSet::OnHelpLink()
{
    messages_.ShowMessage(NamingHelpText());
}
