// Writes pictures of a filled album grid in both layouts:
//   grid_shots <folder>   ->  <folder>/album_list.png, <folder>/album_thumbnails.png
// Runs offscreen; no display needed.
#include "grid/grid_image_list.h"
#include "grid/my_grid_ctrl.h"

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

namespace {

const char *const kNames[] = {
    "Apple iPhone 15 Pro (A3104) 256GB 原色钛金属 支持移动联通电信5G 双卡双待手机",
    "小米Redmi K70 第二代骁龙8 澎湃OS 12GB+256GB 晴雪 红米5G手机",
    "华为HUAWEI Mate 60 Pro 12GB+512GB 雅川青 卫星通话",
    "联想ThinkPad X1 Carbon 2024 14英寸轻薄笔记本电脑",
    "索尼（SONY）WH-1000XM5 头戴式无线降噪耳机 黑色",
    "戴森(Dyson) V12 Detect Slim 无绳吸尘器",
    "九阳豆浆机 1.2L 家用全自动破壁免滤",
    "得力(deli) 0.5mm 速干中性笔 黑色 12支/盒",
};
constexpr int kAlbums = 14;

QImage Thumbnail(int i)
{
    QImage image(113, 120, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 113, 120);
    gradient.setColorAt(0, QColor::fromHsv((i * 47) % 360, 120, 240));
    gradient.setColorAt(1, QColor::fromHsv((i * 47 + 60) % 360, 200, 160));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(40);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, QString::number(i + 1));
    return image;
}

QString Name(int i)
{
    return QString::fromUtf8(kNames[i % (sizeof kNames / sizeof *kNames)]);
}

bool Save(QWidget &widget, const QString &path)
{
    // Let the bars take their new ranges before the picture is taken.
    QApplication::processEvents();
    for (QWidget *pChild : widget.findChildren<QWidget *>())
        pChild->update();
    QApplication::processEvents();
    const bool bOk = widget.grab().save(path);
    std::printf("%s %s\n", bOk ? "wrote" : "could not write", qUtf8Printable(path));
    return bOk;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(folder);

    CGridImageList images(QSize(113, 120));
    for (int i = 0; i < kAlbums; ++i)
        images.Add(Thumbnail(i));

    CMyGridCtrl grid;
    grid.AttachImageList(&images);
    grid.resize(900, 460);
    grid.show();

    // List layout: rows as the main window fills them, two selected.
    grid.ApplyListLayout();
    for (int i = 0; i < kAlbums; ++i)
        grid.AddListRow(i, Name(i), i == 3 ? QStringLiteral("未知") : QStringLiteral("%1").arg(i * 3 + 5, 4),
                        i == 5 ? QStringLiteral("00001234") : QString());
    grid.SetSelectedRange(2, 0, 2, 5);
    grid.SetCellState(4, 0, grid.CellState(4, 0) | CellSelected);
    for (int c = 1; c < CMyGridCtrl::ListColumnCount; ++c)
        grid.SetCellState(4, c, grid.CellState(4, c) | CellSelected);
    grid.SetFocusCell(4, 0);
    bool bOk = Save(grid, folder + QStringLiteral("/album_list.png"));

    // Thumbnail layout: six per row, rows fitted after filling, as the rebuild does.
    grid.ApplyThumbnailLayout(6, 113);
    for (int i = 0; i < kAlbums; ++i)
        grid.AddThumbnailCell(i, Name(i), i, 130);
    grid.FitAllRowHeights();
    grid.SetCellState(0, 1, grid.CellState(0, 1) | CellSelected);
    grid.SetCellState(1, 3, grid.CellState(1, 3) | CellSelected);
    bOk = Save(grid, folder + QStringLiteral("/album_thumbnails.png")) && bOk;
    return bOk ? 0 : 1;
}
