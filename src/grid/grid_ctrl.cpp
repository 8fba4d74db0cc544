#include "grid/grid_ctrl.h"

#include "grid/title_tip.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDrag>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <climits>

namespace {

COLORREF FromQColor(const QColor &c)
{
    return MakeColour(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()),
                      static_cast<unsigned>(c.blue()));
}

QScrollBar *Bar(const CGridCtrl &grid, Qt::Orientation orient)
{
    return orient == Qt::Vertical ? grid.verticalScrollBar() : grid.horizontalScrollBar();
}

} // namespace

// ---------------------------------------------------------------- platform

void CQtGridPlatform::InvalidateAll()
{
    m_grid.viewport()->update();
}

void CQtGridPlatform::InvalidateRect(const QRect &rect)
{
    m_grid.viewport()->update(rect);
}

QSize CQtGridPlatform::ClientSize() const
{
    // From the bars the grid decided on, not from the viewport, whose
    // geometry follows only when the widget is laid out.
    QSize size = FullAreaSize();
    const int nBarState = m_grid.BarState();
    if (nBarState & 2)
        size.rwidth() -= m_grid.verticalScrollBar()->sizeHint().width();
    if (nBarState & 1)
        size.rheight() -= m_grid.horizontalScrollBar()->sizeHint().height();
    return size.expandedTo(QSize(0, 0));
}

QSize CQtGridPlatform::FullAreaSize() const
{
    return m_grid.contentsRect().size();
}

int CQtGridPlatform::ScrollBarExtent() const
{
    return m_grid.verticalScrollBar()->sizeHint().width();
}

int CQtGridPlatform::ScrollPos(Qt::Orientation orient) const
{
    return Bar(m_grid, orient)->value();
}

void CQtGridPlatform::SetScrollPos(Qt::Orientation orient, int nPos)
{
    Bar(m_grid, orient)->setValue(nPos);
}

void CQtGridPlatform::SetScrollBar(Qt::Orientation orient, bool bShown, int nMax, int nPage)
{
    QScrollBar *pBar = Bar(m_grid, orient);
    pBar->setRange(0, bShown ? std::max(0, nMax - nPage + 1) : 0);
    pBar->setPageStep(std::max(nPage, 1));
    const Qt::ScrollBarPolicy policy = bShown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (orient == Qt::Vertical)
        m_grid.setVerticalScrollBarPolicy(policy);
    else
        m_grid.setHorizontalScrollBarPolicy(policy);
}

QSize CQtGridPlatform::TextExtent(const QFont &font, const QString &text) const
{
    const QFontMetrics fm(font);
    return {fm.horizontalAdvance(text), fm.height()};
}

int CQtGridPlatform::WrappedTextHeight(const QFont &font, const QString &text, int nWidth) const
{
    const QFontMetrics fm(font);
    return fm.boundingRect(QRect(0, 0, std::max(nWidth, 1), INT_MAX / 4), Qt::TextWordWrap, text).height();
}

QFont CQtGridPlatform::MessageFont() const
{
    return QApplication::font("QMessageBox");
}

COLORREF CQtGridPlatform::SysColour(GridSysColour which) const
{
    const QPalette &pal = m_grid.palette();
    switch (which) {
    case GridSysColour::Window:
        return FromQColor(pal.color(QPalette::Base));
    case GridSysColour::WindowText:
        return FromQColor(pal.color(QPalette::Text));
    case GridSysColour::ButtonFace:
        return FromQColor(pal.color(QPalette::Button));
    case GridSysColour::ButtonShadow:
        return FromQColor(pal.color(QPalette::Dark));
    case GridSysColour::ButtonHighlight:
        return FromQColor(pal.color(QPalette::Light));
    case GridSysColour::DarkShadow:
        return FromQColor(pal.color(QPalette::Shadow));
    case GridSysColour::Highlight:
        return FromQColor(pal.color(QPalette::Highlight));
    case GridSysColour::HighlightText:
        return FromQColor(pal.color(QPalette::HighlightedText));
    }
    return 0;
}

int CQtGridPlatform::WheelScrollLines() const
{
    return QApplication::wheelScrollLines();
}

void CQtGridPlatform::SetCursorShape(GridCursor cursor)
{
    switch (cursor) {
    case GridCursor::Arrow:
        m_grid.viewport()->unsetCursor();
        break;
    case GridCursor::SizeWE:
        m_grid.viewport()->setCursor(Qt::SizeHorCursor);
        break;
    case GridCursor::SizeNS:
        m_grid.viewport()->setCursor(Qt::SizeVerCursor);
        break;
    case GridCursor::Wait:
        m_grid.viewport()->setCursor(Qt::WaitCursor);
        break;
    }
}

void CQtGridPlatform::SetWaitCursor(bool bOn)
{
    if (bOn) {
        if (m_nWaitDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_nWaitDepth > 0 && --m_nWaitDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void CQtGridPlatform::TakeKeyboardFocus()
{
    m_grid.setFocus(Qt::MouseFocusReason);
}

void CQtGridPlatform::CaptureMouse(bool)
{
    // The viewport's implicit grab holds the mouse from press to release; an
    // explicit grab would also hold it from a modal box that opens meanwhile.
}

bool CQtGridPlatform::IsLeftButtonDown() const
{
    return QGuiApplication::mouseButtons() & Qt::LeftButton;
}

void CQtGridPlatform::StartAutoScroll()
{
    m_grid.m_autoScrollTimer.start();
}

void CQtGridPlatform::StopAutoScroll()
{
    m_grid.m_autoScrollTimer.stop();
}

QPoint CQtGridPlatform::CursorPos() const
{
    return m_grid.viewport()->mapFromGlobal(QCursor::pos());
}

void CQtGridPlatform::Notify(int nCode, int nRow, int nCol)
{
    emit m_grid.GridNotify(nCode, nRow, nCol);
}

void CQtGridPlatform::PostCommand()
{
    QMetaObject::invokeMethod(
        &m_grid, [grid = &m_grid] { emit grid->GridCommand(grid->ControlId(), 0); }, Qt::QueuedConnection);
}

void CQtGridPlatform::FocusNextControl(bool bBackward)
{
    QWidget *pNext = bBackward ? m_grid.previousInFocusChain() : m_grid.nextInFocusChain();
    if (pNext && pNext != &m_grid)
        pNext->setFocus(bBackward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

void CQtGridPlatform::ShowResizeLine(Qt::Orientation orient, int nPos)
{
    m_grid.m_resizeLineOrient = orient;
    m_grid.m_nResizeLine = nPos;
    m_grid.viewport()->update();
}

void CQtGridPlatform::ShowTitleTip(const QString &text, const QFont &font, COLORREF crText, COLORREF crBack,
                                   const QRect &textRect, const QRect &hoverRect)
{
    if (!m_grid.m_pTitleTip)
        m_grid.m_pTitleTip = std::make_unique<CTitleTip>(&m_grid);
    m_grid.m_pTitleTip->ShowTip(m_grid.viewport(), text, font, crText, crBack, textRect, hoverRect);
}

void CQtGridPlatform::HideTitleTip()
{
    if (m_grid.m_pTitleTip)
        m_grid.m_pTitleTip->HideTip();
}

void CQtGridPlatform::SetClipboardText(const QString &text)
{
    QApplication::clipboard()->setText(text);
}

bool CQtGridPlatform::DragText(const QString &text)
{
    auto *pDrag = new QDrag(&m_grid); // owned by Qt, deleted after the drag
    auto pMime = std::make_unique<QMimeData>();
    pMime->setText(text);
    pDrag->setMimeData(pMime.release());
    return pDrag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction) == Qt::MoveAction;
}

void CQtGridPlatform::ShowMessage(const QString &text)
{
    QMessageBox::information(&m_grid, QString(), text);
}

// ---------------------------------------------------------------- widget

CGridCtrl::CGridCtrl(QWidget *parent) : QAbstractScrollArea(parent), m_platform(*this)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // The grid accepts no drop: its cells are never editable here.
    setAcceptDrops(false);
    m_autoScrollTimer.setInterval(25);
    connect(&m_autoScrollTimer, &QTimer::timeout, this, [this] { OnAutoScrollTimer(); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int nAction) { OnBarAction(Qt::Vertical, nAction); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int nAction) { OnBarAction(Qt::Horizontal, nAction); });
    AttachPlatform(&m_platform);
}

CGridCtrl::~CGridCtrl()
{
    m_autoScrollTimer.stop();
}

void CGridCtrl::OnBarAction(Qt::Orientation orient, int nAction)
{
    QScrollBar *pBar = Bar(*this, orient);
    switch (nAction) {
    case QAbstractSlider::SliderSingleStepAdd:
        OnScroll(orient, GridScroll::LineDown);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        OnScroll(orient, GridScroll::LineUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        OnScroll(orient, GridScroll::PageDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        OnScroll(orient, GridScroll::PageUp);
        break;
    case QAbstractSlider::SliderToMinimum:
        OnScroll(orient, GridScroll::Top);
        break;
    case QAbstractSlider::SliderToMaximum:
        OnScroll(orient, GridScroll::Bottom);
        break;
    case QAbstractSlider::SliderMove:
        OnScroll(orient, GridScroll::ThumbTrack, pBar->sliderPosition());
        break;
    default:
        return;
    }
    // The slider applies its own pending position after this; keep ours.
    pBar->setSliderPosition(pBar->value());
}

bool CGridCtrl::event(QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *pKey = static_cast<QKeyEvent *>(e);
        if ((pKey->key() == Qt::Key_Tab || pKey->key() == Qt::Key_Backtab) && WantsTab()
            && !(pKey->modifiers() & Qt::ControlModifier)) {
            keyPressEvent(pKey);
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void CGridCtrl::paintEvent(QPaintEvent *e)
{
    QPainter painter(viewport());
    painter.setClipRegion(e->region());
    OnDraw(painter);
    if (m_nResizeLine >= 0) {
        // The dragged divider: a two-pixel inverted line across the client area.
        painter.setClipping(false);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        const QSize size = viewport()->size();
        if (m_resizeLineOrient == Qt::Vertical)
            painter.fillRect(QRect(m_nResizeLine, 0, 2, size.height()), Qt::white);
        else
            painter.fillRect(QRect(0, m_nResizeLine, size.width(), 2), Qt::white);
    }
}

void CGridCtrl::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    m_platform.HideTitleTip();
    OnSize();
    viewport()->update();
}

void CGridCtrl::showEvent(QShowEvent *e)
{
    QAbstractScrollArea::showEvent(e);
    OnSize();
}

void CGridCtrl::mousePressEvent(QMouseEvent *e)
{
    const QPoint pt = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        OnLButtonDown(pt, e->modifiers() & Qt::ShiftModifier, e->modifiers() & Qt::ControlModifier);
    } else {
        m_platform.HideTitleTip();
        setFocus(Qt::MouseFocusReason);
    }
}

void CGridCtrl::mouseMoveEvent(QMouseEvent *e)
{
    OnMouseMove(e->position().toPoint(), e->buttons() & Qt::LeftButton);
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint pt = e->position().toPoint();
    if (e->button() == Qt::LeftButton)
        OnLButtonUp(pt);
    else if (e->button() == Qt::RightButton)
        OnRButtonUp(pt);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        OnLButtonDblClk(e->position().toPoint());
}

void CGridCtrl::wheelEvent(QWheelEvent *e)
{
    OnMouseWheel(e->angleDelta().y(), e->pixelDelta().y());
    e->accept();
}

void CGridCtrl::keyPressEvent(QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers();
    int nKey = e->key();
    // Only the keypad plus fits the columns.
    if (nKey == Qt::Key_Plus && !(mods & Qt::KeypadModifier))
        nKey = 0;
    if (OnKeyDown(nKey, mods & Qt::ShiftModifier, mods & Qt::ControlModifier))
        e->accept();
    else
        e->ignore();
}

void CGridCtrl::focusOutEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusOutEvent(e);
    OnCaptureLost();
}

void CGridCtrl::hideEvent(QHideEvent *e)
{
    QAbstractScrollArea::hideEvent(e);
    OnCaptureLost();
}

void CGridCtrl::leaveEvent(QEvent *e)
{
    QAbstractScrollArea::leaveEvent(e);
    OnMouseLeave();
}

void CGridCtrl::changeEvent(QEvent *e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && !isActiveWindow())
        OnCaptureLost(); // a window that opens over ours takes the button's release
    else if (e->type() == QEvent::FontChange)
        SetGridFont(font());
    else if (e->type() == QEvent::PaletteChange)
        OnSysColourChange();
}

void CGridCtrl::scrollContentsBy(int, int)
{
    OnScrollPosChanged();
    viewport()->update();
}

void CGridCtrl::dragEnterEvent(QDragEnterEvent *e)
{
    e->ignore();
}

void CGridCtrl::dragMoveEvent(QDragMoveEvent *e)
{
    e->ignore();
}
