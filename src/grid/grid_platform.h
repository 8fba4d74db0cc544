#pragma once

#include "grid/grid_defs.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// System colours the grid reads.
enum class GridSysColour {
    Window,
    WindowText,
    ButtonFace,
    ButtonShadow,
    ButtonHighlight,
    DarkShadow,
    Highlight,
    HighlightText,
};

enum class GridCursor { Arrow, SizeWE, SizeNS, Wait };

// The window services the grid logic needs.  The widget implements it on Qt;
// tests use a double, so the model runs without a window.
class IGridPlatform
{
public:
    virtual ~IGridPlatform() = default;

    // Whether a window exists that can be invalidated and measured on.
    virtual bool HasWindow() const = 0;
    virtual void InvalidateAll() = 0;
    virtual void InvalidateRect(const QRect &rect) = 0;

    // Client area as it is now (without shown scroll bars) and the whole
    // area the bars and the client share.
    virtual QSize ClientSize() const = 0;
    virtual QSize FullAreaSize() const = 0;
    virtual int ScrollBarExtent() const = 0;

    // Scroll bars: position in pixels; range 0 ... nMax with page nPage;
    // a hidden bar has range 0 and page 0.
    virtual int ScrollPos(Qt::Orientation orient) const = 0;
    virtual void SetScrollPos(Qt::Orientation orient, int nPos) = 0;
    virtual void SetScrollBar(Qt::Orientation orient, bool bShown, int nMax, int nPage) = 0;

    // Text measuring on a screen device; false when none is available.
    virtual bool CanMeasure() const = 0;
    virtual QSize TextExtent(const QFont &font, const QString &text) const = 0;
    // Height of text laid out with word breaking in the given width.
    virtual int WrappedTextHeight(const QFont &font, const QString &text, int nWidth) const = 0;

    virtual QFont MessageFont() const = 0;
    virtual COLORREF SysColour(GridSysColour which) const = 0;
    virtual int WheelScrollLines() const = 0;

    virtual void SetCursorShape(GridCursor cursor) = 0;
    virtual void SetWaitCursor(bool bOn) = 0;
    virtual void TakeKeyboardFocus() = 0;
    // Holds the mouse from a press to its release.  The grid learns of a lost
    // capture through OnCaptureLost.
    virtual void CaptureMouse(bool bOn) = 0;
    // The left button as the window system has it now, also after a release
    // the grid never saw (one taken by a modal box).
    virtual bool IsLeftButtonDown() const = 0;
    virtual void StartAutoScroll() = 0;
    virtual void StopAutoScroll() = 0;
    virtual QPoint CursorPos() const = 0;

    // Notifications to the parent.
    virtual void Notify(int nCode, int nRow, int nCol) = 0;
    virtual void PostCommand() = 0;
    virtual void FocusNextControl(bool bBackward) = 0;

    // Resize line drawn while a divider is dragged; -1 removes it.
    virtual void ShowResizeLine(Qt::Orientation orient, int nPos) = 0;

    // Title tip, clipboard, drag-out.
    virtual void ShowTitleTip(const QString &text, const QFont &font, COLORREF crText, COLORREF crBack,
                              const QRect &textRect, const QRect &hoverRect) = 0;
    virtual void HideTitleTip() = 0;
    virtual void SetClipboardText(const QString &text) = 0;
    // Runs the modal drag; true when the drop asked for a move.
    virtual bool DragText(const QString &text) = 0;

    virtual void ShowMessage(const QString &text) = 0;
};
