#pragma once

#include "grid/my_grid_ctrl.h"

#include <QIdentityProxyModel>
#include <QString>

class IMessageBox;
class QWidget;

// Qt's own file dialog in the program's language: it dates files in the
// system's locale (English where the system names none) and Qt's Chinese
// translation lacks its type names.  Over a QFileSystemModel, dates follow
// the default locale and types are named in Chinese.
class CLocalizedFileModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override;
};

// "浏览…": the folder the user chose under `start`, or empty.
QString ChooseFolder(QWidget *parent, const QString &title, const QString &start);

// A file to open (`bSave` false) or to write, in the same dialog; empty when
// cancelled.
QString ChooseFile(QWidget *parent, const QString &title, const QString &filter, bool bSave,
                   const QString &defaultSuffix = QString());

// The CSV export's file dialog, the same way.
IExportFileDialog &LocalizedExportDialog();

// Opens `folder` in the file manager; where none is registered, says where
// the folder is instead of nothing.
void OpenFolderOrSay(const QString &folder, IMessageBox &messages);
