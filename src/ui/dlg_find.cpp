#include "ui/dlg_find.h"

#include "grid/my_grid_ctrl.h"
#include "ui/control_ids.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

CDlgFind::CDlgFind(QWidget *parent) : CTemplateDialog(FindDialogTemplate(), parent)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    connect(ItemAs<QPushButton>(IDC_FIND_NEXT), &QPushButton::clicked, this, &CDlgFind::OnNext);
    connect(ItemAs<QPushButton>(IDC_FIND_PREV), &QPushButton::clicked, this, &CDlgFind::OnPrevious);
    connect(ItemAs<QPushButton>(IDC_FIND_CLOSE), &QPushButton::clicked, this, &CDlgFind::OnCloseButton);
    SetFindMode(true);
}

void CDlgFind::SetFindMode(bool find)
{
    findMode_ = find;
    for (int id : {IDC_FIND_MATCHCASE, IDC_FIND_WHOLE, IDC_FIND_PREV})
        Item(id)->setVisible(find);
    ItemAs<QPushButton>(IDC_FIND_NEXT)->setText(find ? QStringLiteral("下一个") : QStringLiteral("筛选"));
}

QString CDlgFind::EditKeyword() const
{
    return ItemAs<QLineEdit>(IDC_FIND_KEYWORD)->text().trimmed();
}

int CDlgFind::StartRow() const
{
    const CellRange range = grid_->SelectedRange();
    return range.IsValid() ? range.nMinRow : grid_->RowCount();
}

void CDlgFind::Search(bool forward)
{
    if (!grid_)
        return;
    const QString keyword = EditKeyword();
    const bool ignoreCase = !ItemAs<QCheckBox>(IDC_FIND_MATCHCASE)->isChecked();
    const bool whole = ItemAs<QCheckBox>(IDC_FIND_WHOLE)->isChecked();
    if (grid_->FindAlbumRow(StartRow(), keyword, forward, ignoreCase, whole))
        return;
    // Wrap around: from the first non-fixed row forward, from the last row backward.
    const int wrapFrom = forward ? grid_->FixedRowCount() - 1 : grid_->RowCount();
    if (!grid_->FindAlbumRow(wrapFrom, keyword, forward, ignoreCase, whole))
        grid_->ShowMessage(QStringLiteral("未找到“%1”。").arg(keyword));
}

void CDlgFind::OnNext()
{
    if (!findMode_) {
        keyword_ = EditKeyword();
        accept();
        return;
    }
    Search(true);
}

void CDlgFind::OnPrevious()
{
    if (findMode_)
        Search(false);
}

void CDlgFind::OnCloseButton()
{
    reject();
}

void CDlgFind::reject()
{
    // The find window is kept for the next use; the grid selects freely again.
    if (findMode_ && grid_)
        grid_->SetSingleRowSelection(false);
    QDialog::reject();
}

void CDlgFind::mousePressEvent(QMouseEvent *event)
{
    // The body drags the dialog, as a caption would.
    if (event->button() == Qt::LeftButton) {
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
        return;
    }
    CTemplateDialog::mousePressEvent(event);
}

void CDlgFind::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) {
        move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    CTemplateDialog::mouseMoveEvent(event);
}

void CDlgFind::paintEvent(QPaintEvent *event)
{
    CTemplateDialog::paintEvent(event);
    // Without a caption the window still needs an edge against the grid below.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
