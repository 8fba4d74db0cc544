#pragma once

#include "grid/my_grid_ctrl.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// The QApplication made by tests/widget_test_main.cpp (offscreen platform).
inline void TestApp()
{
    ASSERT_NE(QApplication::instance(), nullptr);
}

// An album grid in the list layout with n albums named "album 1" ... on screen.
class AlbumGridWidgetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        grid = std::make_unique<CMyGridCtrl>();
        grid->resize(900, 400);
        grid->ApplyListLayout();
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }

    void Fill(int nAlbums)
    {
        for (int i = 0; i < nAlbums; ++i)
            grid->AddListRow(i, QStringLiteral("album %1").arg(i + 1), QStringLiteral("%1").arg(i, 4),
                             QString());
    }

    QPoint CellCentre(int nRow, int nCol) const
    {
        QRect rect;
        EXPECT_TRUE(grid->CellRect(nRow, nCol, rect));
        return rect.center();
    }

    void ClickCell(int nRow, int nCol, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, CellCentre(nRow, nCol));
    }

    void Key(int nKey, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(grid.get(), static_cast<Qt::Key>(nKey), mods);
    }

    std::vector<int> SelectedRows() const
    {
        std::vector<int> rows;
        for (int r = grid->NextSelectedRow(INT_MAX); r >= 0; r = grid->NextSelectedRow(r))
            rows.push_back(r);
        return rows;
    }

    std::unique_ptr<CMyGridCtrl> grid;
};
