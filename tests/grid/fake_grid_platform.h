#pragma once

#include "grid/grid_platform.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <tuple>
#include <vector>

// Window stand-in for the grid model: a fixed client area, scroll bars that
// clamp like real ones, and a font where every character is one pixel wide
// and ten pixels high.
class CFakeGridPlatform : public IGridPlatform
{
public:
    QSize full{400, 220};
    int nBarExtent = 16;
    bool bCanMeasure = true;
    int nBarState = 0; // bars as last set: 1 horizontal, 2 vertical
    int nVPos = 0, nHPos = 0, nVLimit = 0, nHLimit = 0;
    int nVMax = 0, nVPage = 0, nHMax = 0, nHPage = 0;
    int nInvalidations = 0;
    std::vector<std::tuple<int, int, int>> notifications;
    QStringList clipboard;
    QStringList tips;
    int nCommands = 0;
    QStringList dragged;
    QPoint cursor;
    bool bTimerRunning = false;
    bool bLeftButtonDown = true; // the real button: held until a test lets it go
    int nTipsHidden = 0;

    bool HasWindow() const override { return true; }
    void InvalidateAll() override { ++nInvalidations; }
    void InvalidateRect(const QRect &) override { ++nInvalidations; }
    QSize ClientSize() const override
    {
        return {full.width() - ((nBarState & 2) ? nBarExtent : 0), full.height() - ((nBarState & 1) ? nBarExtent : 0)};
    }
    QSize FullAreaSize() const override { return full; }
    int ScrollBarExtent() const override { return nBarExtent; }
    int ScrollPos(Qt::Orientation o) const override { return o == Qt::Vertical ? nVPos : nHPos; }
    void SetScrollPos(Qt::Orientation o, int n) override
    {
        if (o == Qt::Vertical)
            nVPos = std::clamp(n, 0, nVLimit);
        else
            nHPos = std::clamp(n, 0, nHLimit);
    }
    void SetScrollBar(Qt::Orientation o, bool bShown, int nMax, int nPage) override
    {
        const int bit = o == Qt::Vertical ? 2 : 1;
        nBarState = bShown ? (nBarState | bit) : (nBarState & ~bit);
        const int nLimit = bShown ? std::max(0, nMax - nPage + 1) : 0;
        if (o == Qt::Vertical) {
            nVMax = nMax, nVPage = nPage, nVLimit = nLimit;
            nVPos = std::min(nVPos, nLimit);
        } else {
            nHMax = nMax, nHPage = nPage, nHLimit = nLimit;
            nHPos = std::min(nHPos, nLimit);
        }
    }
    bool CanMeasure() const override { return bCanMeasure; }
    QSize TextExtent(const QFont &, const QString &text) const override
    {
        return {static_cast<int>(text.size()), 10};
    }
    int WrappedTextHeight(const QFont &, const QString &text, int nWidth) const override
    {
        int nLines = 0;
        for (const QString &line : text.split(QLatin1Char('\n')))
            nLines += std::max<int>(1, (static_cast<int>(line.size()) + nWidth - 1) / std::max(nWidth, 1));
        return nLines * 10;
    }
    QFont MessageFont() const override { return QFont(); }
    COLORREF SysColour(GridSysColour which) const override
    {
        switch (which) {
        case GridSysColour::Window:
            return 0x00FFFFFF;
        case GridSysColour::WindowText:
            return 0x00000000;
        case GridSysColour::ButtonFace:
            return 0x00F0F0F0;
        case GridSysColour::ButtonShadow:
            return 0x00A0A0A0;
        case GridSysColour::ButtonHighlight:
            return 0x00FFFFFF;
        case GridSysColour::DarkShadow:
            return 0x00696969;
        case GridSysColour::Highlight:
            return 0x00D77800;
        case GridSysColour::HighlightText:
            return 0x00FFFFFF;
        }
        return 0;
    }
    int WheelScrollLines() const override { return 3; }
    void SetCursorShape(GridCursor) override {}
    void SetWaitCursor(bool) override {}
    void TakeKeyboardFocus() override {}
    void CaptureMouse(bool) override {}
    bool IsLeftButtonDown() const override { return bLeftButtonDown; }
    void StartAutoScroll() override { bTimerRunning = true; }
    void StopAutoScroll() override { bTimerRunning = false; }
    QPoint CursorPos() const override { return cursor; }
    void Notify(int nCode, int nRow, int nCol) override { notifications.emplace_back(nCode, nRow, nCol); }
    void PostCommand() override { ++nCommands; }
    void FocusNextControl(bool) override {}
    void ShowResizeLine(Qt::Orientation, int) override {}
    void ShowTitleTip(const QString &text, const QFont &, COLORREF, COLORREF, const QRect &, const QRect &) override
    {
        tips << text;
    }
    void HideTitleTip() override { ++nTipsHidden; }
    void SetClipboardText(const QString &text) override { clipboard << text; }
    bool DragText(const QString &text) override
    {
        dragged << text;
        return true; // a move: the read-only grid must keep its cells
    }
    void ShowMessage(const QString &) override {}
};
