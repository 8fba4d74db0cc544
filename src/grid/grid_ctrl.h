#pragma once

#include "grid/grid_model.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <memory>

class CTitleTip;
class CGridCtrl;

// The window services of the grid on Qt.
class CQtGridPlatform final : public IGridPlatform
{
public:
    explicit CQtGridPlatform(CGridCtrl &grid) : m_grid(grid) {}

    bool HasWindow() const override { return true; }
    void InvalidateAll() override;
    void InvalidateRect(const QRect &rect) override;
    QSize ClientSize() const override;
    QSize FullAreaSize() const override;
    int ScrollBarExtent() const override;
    int ScrollPos(Qt::Orientation orient) const override;
    void SetScrollPos(Qt::Orientation orient, int nPos) override;
    void SetScrollBar(Qt::Orientation orient, bool bShown, int nMax, int nPage) override;
    bool CanMeasure() const override { return true; }
    QSize TextExtent(const QFont &font, const QString &text) const override;
    int WrappedTextHeight(const QFont &font, const QString &text, int nWidth) const override;
    QFont MessageFont() const override;
    COLORREF SysColour(GridSysColour which) const override;
    int WheelScrollLines() const override;
    void SetCursorShape(GridCursor cursor) override;
    void SetWaitCursor(bool bOn) override;
    void TakeKeyboardFocus() override;
    void CaptureMouse(bool bOn) override;
    bool IsLeftButtonDown() const override;
    void StartAutoScroll() override;
    void StopAutoScroll() override;
    QPoint CursorPos() const override;
    void Notify(int nCode, int nRow, int nCol) override;
    void PostCommand() override;
    void FocusNextControl(bool bBackward) override;
    void ShowResizeLine(Qt::Orientation orient, int nPos) override;
    void ShowTitleTip(const QString &text, const QFont &font, COLORREF crText, COLORREF crBack, const QRect &textRect,
                      const QRect &hoverRect) override;
    void HideTitleTip() override;
    void SetClipboardText(const QString &text) override;
    bool DragText(const QString &text) override;
    void ShowMessage(const QString &text) override;

private:
    CGridCtrl &m_grid;
    int m_nWaitDepth = 0;
};

// The grid control: the grid logic on a scroll-area widget painted with QPainter.
class CGridCtrl : public QAbstractScrollArea, public CGridModel
{
    Q_OBJECT

public:
    explicit CGridCtrl(QWidget *parent = nullptr);
    ~CGridCtrl() override;

    // Control id carried by GridCommand (1003 for the album grid).
    void SetControlId(int nId) { m_nControlId = nId; }
    int ControlId() const { return m_nControlId; }
    const CTitleTip *TitleTip() const { return m_pTitleTip.get(); }

signals:
    // Notification to the parent: a GridNotifyCode with the cell.
    void GridNotify(int nCode, int nRow, int nCol);
    // Posted after a left-button release on a cell (id, code 0).
    void GridCommand(int nId, int nCode);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;

private:
    friend class CQtGridPlatform;
    void OnBarAction(Qt::Orientation orient, int nAction);

    CQtGridPlatform m_platform;
    QTimer m_autoScrollTimer;
    std::unique_ptr<CTitleTip> m_pTitleTip;
    int m_nControlId = 0;
    int m_nResizeLine = -1;
    Qt::Orientation m_resizeLineOrient = Qt::Vertical;
};
