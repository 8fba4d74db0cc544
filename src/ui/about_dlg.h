#pragma once

#include "ui/template_dialog.h"

// The "关于" box (dialog 100).
class CAboutDlg : public CTemplateDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
