#include "core/soft_settings.h"
#include "ui/login_pages.h"
#include "ui/menu_model.h"

#include <QString>
#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Ids(const MenuPopupDef &popup)
{
    std::vector<int> ids;
    for (const MenuItemDef &item : popup.items)
        ids.push_back(item.id);
    return ids;
}

} // namespace

TEST(MainMenu, FivePopupsWithTheirEntriesAndSeparators)
{
    const auto menu = MainMenuDefinition();
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_EQ(QString::fromUtf8(menu[0].title), QStringLiteral("登录"));
    EXPECT_EQ(QString::fromUtf8(menu[1].title), QStringLiteral("设置"));
    EXPECT_EQ(QString::fromUtf8(menu[2].title), QStringLiteral("导入/导出"));
    EXPECT_EQ(QString::fromUtf8(menu[3].title), QStringLiteral("辅助功能"));
    EXPECT_EQ(QString::fromUtf8(menu[4].title), QStringLiteral("帮助"));
    EXPECT_EQ(Ids(menu[0]), (std::vector<int>{32796, 0, 32840, 32781, 32782, 32789, 32790, 32791, 32792, 32793, 32794,
                                              32803, 32813, 32815, 32795}));
    EXPECT_EQ(Ids(menu[1]), (std::vector<int>{32778, 32779, 0, 32802, 32804, 0, 32799, 32800, 32774, 32812, 0,
                                              32808, 32814, 32776}));
    EXPECT_EQ(Ids(menu[2]), (std::vector<int>{32811, 32841, 0, 32809, 32810}));
    EXPECT_EQ(Ids(menu[3]), (std::vector<int>{32807, 32842}));
    EXPECT_EQ(Ids(menu[4]), (std::vector<int>{32806, 32773, 32772, 0, 32775}));
    EXPECT_EQ(QString::fromUtf8(menu[1].items[13].text),
              QStringLiteral("又拍相册下载大图（不勾选为下载原图，下载原图速度更慢）"));
    EXPECT_EQ(QString::fromUtf8(menu[0].items[0].text),
              QStringLiteral("登录方式1（如果登录失败，可勾选该项后再登录）"));
}

TEST(MenuSwitches, EachSwitchOwnsItsBit)
{
    EXPECT_EQ(NamingFlagOfCommand(32800), FixFormat);
    EXPECT_EQ(NamingFlagOfCommand(32799), FixOrder);
    EXPECT_EQ(NamingFlagOfCommand(32804), OriginalNameFile);
    EXPECT_EQ(NamingFlagOfCommand(32802), ThunderListOnly);
    EXPECT_EQ(NamingFlagOfCommand(32812), OpenFolderWhenDone);
    EXPECT_EQ(NamingFlagOfCommand(32808), MainPicturesOnly);
    EXPECT_EQ(NamingFlagOfCommand(32774), SkipDownloaded);
    EXPECT_EQ(NamingFlagOfCommand(32776), YupooBigPictures);
    EXPECT_EQ(NamingFlagOfCommand(32814), DescriptionPicturesOnly);
    EXPECT_EQ(NamingFlagOfCommand(32778), 0);
    EXPECT_EQ(NamingFlagOfCommand(32796), 0);
}

TEST(MenuSwitches, ToggleFlipsOnlyItsBit)
{
    EXPECT_EQ(ToggleNamingFlag(0, 32774), SkipDownloaded);
    EXPECT_EQ(ToggleNamingFlag(SkipDownloaded | FixOrder, 32774), FixOrder);
    EXPECT_EQ(ToggleNamingFlag(0x1234, 32811), 0x1234);
}

TEST(MenuSwitches, MainAndDescriptionPicturesExcludeEachOther)
{
    EXPECT_EQ(ToggleNamingFlag(DescriptionPicturesOnly | FixOrder, 32808), MainPicturesOnly | FixOrder);
    EXPECT_EQ(ToggleNamingFlag(MainPicturesOnly, 32814), DescriptionPicturesOnly);
    EXPECT_EQ(ToggleNamingFlag(MainPicturesOnly, 32808), 0);
    EXPECT_EQ(ToggleNamingFlag(DescriptionPicturesOnly, 32814), 0);
}

TEST(MenuChecks, ChecksFollowTheFlagsAndLoginMode)
{
    const uint16_t flags = SkipDownloaded | OpenFolderWhenDone;
    EXPECT_TRUE(MenuItemStateFor(32774, flags, 16, true).checked);
    EXPECT_TRUE(MenuItemStateFor(32812, flags, 16, true).checked);
    EXPECT_FALSE(MenuItemStateFor(32800, flags, 16, true).checked);
    EXPECT_TRUE(MenuItemStateFor(32800, flags, 16, true).checkable);
    EXPECT_TRUE(MenuItemStateFor(32796, 0, 16, true).checked);
    EXPECT_FALSE(MenuItemStateFor(32796, 0, 16, false).checked);
    EXPECT_FALSE(MenuItemStateFor(32778, 0xFFFF, 16, true).checkable);
}

TEST(MenuChecks, GreyStatesDependOnTheSiteEntry)
{
    EXPECT_FALSE(MenuItemStateFor(32776, 0, 16, true).enabled);
    EXPECT_TRUE(MenuItemStateFor(32776, 0, 7, true).enabled);
    for (int site : {11, 16}) {
        EXPECT_TRUE(MenuItemStateFor(32808, 0, site, true).enabled);
        EXPECT_TRUE(MenuItemStateFor(32814, 0, site, true).enabled);
    }
    EXPECT_FALSE(MenuItemStateFor(32808, 0, 7, true).enabled);
    EXPECT_FALSE(MenuItemStateFor(32814, 0, 0, true).enabled);
    EXPECT_TRUE(MenuItemStateFor(32774, 0, 3, true).enabled);
}

TEST(MenuChecks, EntriesWithNothingToDoAreGreyed)
{
    for (int id : {32811, 32809, 32810, 32807, 32806, 32773, 32772})
        EXPECT_FALSE(MenuItemStateFor(id, 0, 16, true).enabled) << id;
    for (int id : {32775, 32778, 32840, 32795})
        EXPECT_TRUE(MenuItemStateFor(id, 0, 16, true).enabled) << id;
}

TEST(LoginPages, QQNumberIsAppendedOnlyForDigitsAndQzoneListType)
{
    const QString base = LoginAddressForCommand(32781, QString(), 0);
    EXPECT_FALSE(base.isEmpty());
    EXPECT_EQ(LoginAddressForCommand(32781, QStringLiteral(" 12345 "), 0), base + QStringLiteral("12345"));
    EXPECT_EQ(LoginAddressForCommand(32781, QStringLiteral("12345"), 1), base);
    EXPECT_EQ(LoginAddressForCommand(32781, QStringLiteral("12a45"), 0), base);
    for (int id : {32840, 32782, 32789, 32790, 32791, 32792, 32793, 32794, 32803, 32813, 32815, 32795}) {
        EXPECT_TRUE(IsLoginCommand(id)) << id;
        EXPECT_FALSE(LoginAddressForCommand(id, QString(), 0).isEmpty()) << id;
    }
    EXPECT_FALSE(IsLoginCommand(32796));
    EXPECT_EQ(QUrl(LoginAddressForCommand(32840, QString(), 0)).host(), QStringLiteral("passport.jd.com"));
    EXPECT_TRUE(LoginAddressForCommand(32778, QString(), 0).isEmpty());
}
