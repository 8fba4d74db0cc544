#include "ui/site_table.h"

#include <array>

namespace {

constexpr std::array<const char *, 4> kQQ{"qzone.qq.com", "qun.qq.com", "t.qq.com", "photo.qq.com"};
constexpr std::array<const char *, 1> kBaidu{"baidu.com"};
constexpr std::array<const char *, 2> kNetEase{"163.com", "126.net"};
constexpr std::array<const char *, 1> kRenren{"renren.com"};
constexpr std::array<const char *, 2> kSina{"sina.com", "weibo.com"};
constexpr std::array<const char *, 1> k56{"56.com"};
constexpr std::array<const char *, 1> kPoco{"poco.cn"};
constexpr std::array<const char *, 1> kYupoo{"yupoo.com"};
constexpr std::array<const char *, 1> k51{"51.com"};
constexpr std::array<const char *, 1> kZol{"zol.com"};
constexpr std::array<const char *, 1> kPchome{"pchome.net"};
constexpr std::array<const char *, 3> kTaobao{"taobao.com", "tmall.com", "1688.com"};
constexpr std::array<const char *, 1> kMoko{"moko.cc"};
constexpr std::array<const char *, 1> kBabytree{"babytree.com"};
constexpr std::array<const char *, 1> kPconline{"pconline.com"};
constexpr std::array<const char *, 1> kHupu{"hupu.com"};
constexpr std::array<const char *, 1> kJD{"jd.com"};
constexpr std::array<const char *, 1> kInstagram{"instagram.com"};
constexpr std::array<const char *, 1> kHuaban{"huaban.com"};
constexpr std::array<const char *, 1> kLofter{"lofter.com"};
constexpr std::array<const char *, 1> kTopit{"topit.me"};

constexpr const char *kTencentWeiboFragment = "t.qq.com";
constexpr const char *kQQGroupFragment = "qun.qq.com";

const std::array<SiteFragments, 21> kFragments{{
    {0, kQQ},        {1, kBaidu},     {2, kNetEase},   {3, kRenren},     {4, kSina},
    {5, k56},        {6, kPoco},      {7, kYupoo},     {8, k51},         {9, kZol},
    {10, kPchome},   {11, kTaobao},   {12, kMoko},     {13, kBabytree},  {14, kPconline},
    {15, kHupu},     {16, kJD},       {17, kInstagram}, {18, kHuaban},   {19, kLofter},
    {20, kTopit},
}};

// A fragment counts only after the first character.
bool ContainsAfterStart(const QString &text, const char *fragment)
{
    return text.indexOf(QLatin1String(fragment)) >= 1;
}

} // namespace

QStringList SiteNames()
{
    return {
        QStringLiteral("QQ空间"),   QStringLiteral("百度相册"), QStringLiteral("网易相册"),
        QStringLiteral("人人网"),   QStringLiteral("新浪微博"), QStringLiteral("56相册"),
        QStringLiteral("POCO"),     QStringLiteral("又拍"),     QStringLiteral("51相册"),
        QStringLiteral("ZOL"),      QStringLiteral("PChome"),   QStringLiteral("淘宝/天猫"),
        QStringLiteral("美空"),     QStringLiteral("宝宝树"),   QStringLiteral("太平洋电脑网"),
        QStringLiteral("虎扑"),     QStringLiteral("京东"),     QStringLiteral("Instagram"),
        QStringLiteral("花瓣"),     QStringLiteral("LOFTER"),   QStringLiteral("Topit"),
    };
}

QStringList QQListTypeNames()
{
    return {QStringLiteral("QQ空间相册"), QStringLiteral("QQ群相册"), QStringLiteral("腾讯微博相册")};
}

std::span<const SiteFragments> SiteHostFragments()
{
    return kFragments;
}

std::optional<AddressClass> ClassifyAddressText(const QString &text, int currentSite)
{
    if (!text.contains(QLatin1String("http://")) && !text.contains(QLatin1String("https://")))
        return std::nullopt;
    AddressClass result;
    result.site = currentSite;
    bool found = false;
    for (const SiteFragments &entry : kFragments) {
        for (const char *fragment : entry.fragments) {
            if (ContainsAfterStart(text, fragment)) {
                result.site = entry.site;
                found = true;
                break;
            }
        }
        if (found)
            break;
    }
    if (result.site == kSiteQQ) {
        if (ContainsAfterStart(text, kTencentWeiboFragment))
            result.listType = kListTypeTencentWeibo;
        else if (ContainsAfterStart(text, kQQGroupFragment))
            result.listType = kListTypeQQGroup;
    }
    return result;
}
