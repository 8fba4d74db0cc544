#pragma once

#include <QString>

// The program's own notices where the original deciphered a stored text at run time.

// Notice line 1013 of the main window.
inline QString NoticeLineText()
{
    return QStringLiteral("粘贴京东商品网址后点击“获取相册”，即可批量下载商品图片。");
}

// Text drawn on the start-up splash.
inline QString SplashText()
{
    return QStringLiteral("Ostrel 京东商品图片批量下载助手\n正在加载，请稍候……");
}

// Second line of the about box (1015).
inline QString AboutSecondLine()
{
    return QStringLiteral("Lumbrack 系列软件 · 仅供个人学习交流使用");
}
