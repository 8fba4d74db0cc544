#include "ui/file_dialogs.h"

#include "util/message_box.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLocale>
#include <QUrl>

namespace {

// QFileSystemModel's columns.
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

} // namespace

QVariant CLocalizedFileModel::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (!files || role != Qt::DisplayRole)
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    if (index.column() == kDateColumn)
        return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    if (index.column() == kTypeColumn) {
        if (files->isDir(source))
            return QStringLiteral("文件夹");
        const QString suffix = files->fileInfo(source).suffix();
        return suffix.isEmpty() ? QStringLiteral("文件") : QStringLiteral("%1 文件").arg(suffix);
    }
    return QIdentityProxyModel::data(index, role);
}

namespace {

QString Chosen(QFileDialog &dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new CLocalizedFileModel(&dialog));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

class CLocalizedExportDialog final : public IExportFileDialog
{
public:
    QString AskSaveFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix) override
    {
        return ChooseFile(parent, QString(), filter, true, defaultSuffix);
    }
};

} // namespace

QString ChooseFolder(QWidget *parent, const QString &title, const QString &start)
{
    QFileDialog dialog(parent, title, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return Chosen(dialog);
}

QString ChooseFile(QWidget *parent, const QString &title, const QString &filter, bool bSave,
                   const QString &defaultSuffix)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(bSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(bSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    return Chosen(dialog);
}

IExportFileDialog &LocalizedExportDialog()
{
    static CLocalizedExportDialog dialog;
    return dialog;
}

void OpenFolderOrSay(const QString &folder, IMessageBox &messages)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        messages.ShowMessage(QStringLiteral("没有找到可以打开文件夹的程序。文件夹在：\n%1")
                                 .arg(QDir::toNativeSeparators(folder)));
}
