#include "ui/template_dialog.h"

CTemplateDialog::CTemplateDialog(const DlgTemplate &tpl, QWidget *parent)
    : QDialog(parent), units_(BaseUnitsForFont(DialogFont()))
{
    setWindowTitle(QString::fromUtf8(tpl.caption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildDialogControls(this, tpl, units_);
}
