#pragma once

#include "grid/my_grid_ctrl.h"
#include "ui/template_dialog.h"

#include <QPoint>
#include <QPointer>


// "相册搜索" (dialog 704), caption-less.  Find mode: a modeless tool that
// searches the album grid forward or backward with wrap-around.  Filter mode:
// a modal prompt whose OK leaves the keyword for the album list rebuild.
class CDlgFind : public CTemplateDialog
{
    Q_OBJECT
public:
    explicit CDlgFind(QWidget *parent = nullptr);

    // Find mode searches this grid (not owned).
    void SetGrid(CMyGridCtrl *grid) { grid_ = grid; }
    // True = find (the default), false = filter; the controls follow.
    void SetFindMode(bool find);
    bool FindMode() const { return findMode_; }
    // The trimmed keyword that filter mode's OK stored.
    QString Keyword() const { return keyword_; }

    // "下一个" / "筛选", "上一个", "×".
    void OnNext();
    void OnPrevious();
    void OnCloseButton();

public slots:
    void reject() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString EditKeyword() const;
    int StartRow() const;
    void Search(bool forward);

    QPointer<CMyGridCtrl> grid_;
    bool findMode_ = true;
    QString keyword_;
    QPoint dragOffset_;
};
