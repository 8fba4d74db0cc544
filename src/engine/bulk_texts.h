#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Texts of the work on several albums: the list of several addresses, the
// albums' states in the grid and the end of a download job.
namespace bulktext {

inline QString ReadingPage(int k, int n)
{
    return QStringLiteral("正在读取第 %1/%2 个商品页…").arg(k).arg(n);
}
inline QString ReadingChoicePage(int k, int n)
{
    return QStringLiteral("正在读取第 %1/%2 个颜色/版本页…").arg(k).arg(n);
}
inline QString PagesNotAlbums(const QStringList &lines)
{
    return QStringLiteral("以下 %1 个网址没有得到相册：\n%2").arg(lines.size()).arg(lines.join(u'\n'));
}

// The albums' states (column "备注").
inline QString Waiting() { return QStringLiteral("等待"); }
inline QString Reading() { return QStringLiteral("读取中"); }
inline QString Downloading(int done, int count) { return QStringLiteral("下载中 %1/%2").arg(done).arg(count); }
inline QString Complete() { return QStringLiteral("完成"); }
inline QString Failed(int n) { return QStringLiteral("失败 %1 张").arg(n); }
inline QString Stopped() { return QStringLiteral("已终止"); }
inline QString NoPictures() { return QStringLiteral("没有图片"); }
inline QString LoginRequired() { return QStringLiteral("需要登录"); }

// Pictures and bytes per second of an album's download so far, to follow its
// progress text; empty before a second has passed.
inline QString Rate(int pictures, int64_t bytes, int64_t ms)
{
    if (ms < 1000)
        return {};
    const double seconds = double(ms) / 1000.0;
    const double perSecond = double(bytes) / seconds;
    const QString amount = perSecond >= 1024.0 * 1024.0 ? QStringLiteral("%1 MB").arg(perSecond / (1024.0 * 1024.0), 0, 'f', 1)
                                                        : QStringLiteral("%1 KB").arg(perSecond / 1024.0, 0, 'f', 0);
    return QStringLiteral("  %1 张/秒，%2/秒").arg(double(pictures) / seconds, 0, 'f', 1).arg(amount);
}

// Status line 1 at the end of a download job.
inline QString JobEnd(bool bStopped, uint32_t saved, uint32_t failed, uint32_t skipped)
{
    return QStringLiteral("%1：已保存 %2 张，失败 %3 张，跳过 %4 张")
        .arg(bStopped ? QStringLiteral("已终止") : QStringLiteral("下载完毕"))
        .arg(saved)
        .arg(failed)
        .arg(skipped);
}
inline QString AlbumsWithFailures(const QStringList &lines)
{
    return QStringLiteral("以下相册有图片没有下载成功（勾选“不下载以前下载过的图片”后再下载，只取缺少的图片）：\n%1").arg(lines.join(u'\n'));
}
inline QString AlbumFailureLine(const QString &album, int failed)
{
    return QStringLiteral("%1：失败 %2 张").arg(album).arg(failed);
}

} // namespace bulktext
