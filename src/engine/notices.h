#pragma once

#include <QString>

// The jobs' own notices to the user (message boxes), and the fixed texts the
// Parts give.  The wording of the first group is ours.
namespace notice {

inline QString NoAddress() { return QStringLiteral("请先在地址栏输入京东商品页面的网址。"); }
inline QString NotWebAddress()
{
    return QStringLiteral("网址格式不正确：请输入以 http:// 或 https:// 开头的京东商品页面网址。");
}
inline QString NotProductPage()
{
    return QStringLiteral("这不是京东商品页面的网址（例如 https://item.jd.com/100012345678.html）。");
}
inline QString NoProductTitle()
{
    return QStringLiteral("没有在页面中找到商品标题，请检查网址是否正确，或稍后再试。");
}
inline QString PageNotLoaded(const QString &reason)
{
    return QStringLiteral("无法打开商品页面（%1），请检查网址和网络后再试。").arg(reason);
}
inline QString ShopGate()
{
    return QStringLiteral("京东要求登录或验证后才显示商品页面，请先用菜单“登录→京东”登录后重试。");
}
inline QString ShopGateOffer()
{
    return QStringLiteral("京东要求登录或验证后才显示这个商品页面。现在在登录浏览器中打开它吗？\n"
                          "登录或通过验证后关闭浏览器，程序会再读取一次页面。");
}
inline QString NoPageBrowser()
{
    return QStringLiteral("设置了用浏览器读取页面，但这个版本的程序没有内置浏览器，页面将直接读取。");
}
inline QString PageNotRead(const QString &reason)
{
    return QStringLiteral("商品页面无法读取（%1）。").arg(reason);
}
inline QString JobFailed() { return QStringLiteral("内存不足或出现意外错误，任务已停止。"); }
inline QString NoPictures() { return QStringLiteral("没有在商品页面中找到可以下载的图片。"); }
inline QString DescriptionPicturesOnlyHint()
{
    return QStringLiteral("已选择“只下载宝贝(商品)描述里的图片”，商品的主图不会下载。要下载描述图片，请在下载器扩展设置.ini 的 [京东] 一节写入 下载描述图片=2。");
}
inline QString NoAlbumChosen()
{
    return QStringLiteral("请先在相册列表中选择要下载的相册（可以勾选“全选”）。");
}

inline QString LinkRefused(const QString &path)
{
    return QStringLiteral("“%1”是一个链接。为了不把图片写到保存路径以外，程序不进入保存路径下的链接，"
                          "其中的图片没有下载。请删除或改名这个链接后重试。")
        .arg(path);
}

inline QString NoSavePath() { return QStringLiteral("请先设置保存路径"); }
inline QString BadSavePath() { return QStringLiteral("请检测设置的保存路径是否有误"); }
// The same, naming the folder that could not be made.
inline QString BadSavePathAt(const QString &folder)
{
    return BadSavePath() + QStringLiteral("：无法创建文件夹“%1”。").arg(folder);
}
inline QString BadListType() { return QStringLiteral("Error ListType Code."); }
inline QString ManagerThreadFailed() { return QStringLiteral("Create thread:DownPicFunc failed."); }
inline QString JobThreadFailed() { return QStringLiteral("Create thread:GetListFunc failed."); }

} // namespace notice
