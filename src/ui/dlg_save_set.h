#pragma once

#include "ui/template_dialog.h"

class QButtonGroup;
struct NamingRecord;
class IMessageBox;

// "文件名设置" (dialog 130): edits one NamingRecord entry in place.
class CDlgSaveSet : public CTemplateDialog
{
    Q_OBJECT
public:
    // `entry` must not be null; it is changed only by a successful "确 定".
    CDlgSaveSet(NamingRecord *entry, IMessageBox &messages, QWidget *parent = nullptr);

    void OnOK();
    void OnHelpLink();

    // The radio values: index of the checked button of each group, -1 for none.
    int FileNameSource() const;
    int FolderSource() const;

private:
    NamingRecord *entry_;  // not owned
    IMessageBox &messages_;
    QButtonGroup *fileSource_ = nullptr;    // child object
    QButtonGroup *folderSource_ = nullptr;  // child object
};
