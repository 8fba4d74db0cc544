#pragma once

#include "ui/dialog_template.h"
#include "ui/dialog_units.h"

#include <QFont>
#include <QWidget>

#include <functional>

// The font every dialog of the program uses, and its base units measured the
// way the Windows dialog manager measures them.
QFont DialogFont();
DialogBaseUnits BaseUnitsForFont(const QFont &font);

// Makes the control of a template entry of kind Custom; may return nullptr
// for a plain placeholder.
using CustomControlFactory = std::function<QWidget *(const CtlTemplate &, QWidget *parent)>;

// Creates every control of the template as a child of `client`, at its
// dialog-unit rectangle, carrying its numeric id, and sizes `client` to the
// template.
void BuildDialogControls(QWidget *client, const DlgTemplate &tpl, const DialogBaseUnits &units,
                         const CustomControlFactory &custom = {});

// Numeric control ids on widgets, as the dialog templates give them.
void SetCtrlId(QWidget *w, int id);
int CtrlId(const QWidget *w);
QWidget *GetDlgItem(const QWidget *root, int id);

template <class T>
T *GetDlgItemAs(const QWidget *root, int id)
{
    return qobject_cast<T *>(GetDlgItem(root, id));
}

// Link controls keep their caption as "<a>text</a>" the way the platform's
// link control does; these turn it into label markup and back.
QString LinkMarkup(const QString &plainText);
QString LinkText(const QWidget *link);
void SetLinkText(QWidget *link, const QString &textWithAnchorTags);
