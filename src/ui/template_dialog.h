#pragma once

#include "ui/dialog_builder.h"
#include "ui/dialog_template.h"

#include <QDialog>

// A fixed-size dialog whose controls come from a dialog template.
class CTemplateDialog : public QDialog
{
    Q_OBJECT
public:
    CTemplateDialog(const DlgTemplate &tpl, QWidget *parent);

    QWidget *Item(int id) const { return GetDlgItem(this, id); }
    template <class T>
    T *ItemAs(int id) const
    {
        return GetDlgItemAs<T>(this, id);
    }
    const DialogBaseUnits &BaseUnits() const { return units_; }

private:
    DialogBaseUnits units_;
};
