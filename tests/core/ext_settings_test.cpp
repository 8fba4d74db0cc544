#include "core/ext_settings.h"

#include "util/test_files.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ExtSettingsFile : public ::testing::Test
{
protected:
    QString Folder() const { return m_dir.path() + u'/'; }
    void Write(const QByteArray &bytes)
    {
        ASSERT_TRUE(WriteTestFile(Folder() + QStringLiteral("下载器扩展设置.ini"), bytes));
    }
    void WriteUtf8(const QString &text) { Write(text.toUtf8()); }

    QTemporaryDir m_dir;
};

TEST_F(ExtSettingsFile, NoFileGivesTheDefaults)
{
    const ExtSettings e = LoadExtSettings(Folder());
    EXPECT_EQ(e, ExtSettings());
    EXPECT_EQ(e.bJdPictureMethod, 1);
    EXPECT_EQ(e.bQzoneOriginalName, 1);
    EXPECT_EQ(e.bInstagramPictureMethod, 1);
    EXPECT_EQ(e.bQzoneV2Encoding, 0);
    EXPECT_EQ(e.bTaobaoPriceInName, 0);
    EXPECT_EQ(e.nTaobaoPriceAdjust, 0);
}

TEST_F(ExtSettingsFile, JdPictureMethodZero)
{
    WriteUtf8(QStringLiteral("[京东]\r\n图片获取方式=0\r\n"));
    EXPECT_EQ(LoadExtSettings(Folder()).bJdPictureMethod, 0);
    EXPECT_EQ(LoadExtSettings(m_dir.path()).bJdPictureMethod, 0); // folder without '/'
}

TEST_F(ExtSettingsFile, JdDescriptionPictures)
{
    EXPECT_EQ(LoadExtSettings(Folder()).bJdDescriptionPictures, JD_DESC_NONE);
    WriteUtf8(QStringLiteral("[京东]\n下载描述图片=2\n"));
    EXPECT_EQ(LoadExtSettings(Folder()).bJdDescriptionPictures, JD_DESC_ONLY);
    WriteUtf8(QStringLiteral("[淘宝]\n下载描述图片=1\n")); // another site's section
    EXPECT_EQ(LoadExtSettings(Folder()).bJdDescriptionPictures, JD_DESC_NONE);
}

TEST_F(ExtSettingsFile, EncodingChoicesArePrefixMatches)
{
    WriteUtf8(QStringLiteral("[QQ空间]\nV2编码=UTF8-whatever\nV3编码=utf8\n"));
    ExtSettings e = LoadExtSettings(Folder());
    EXPECT_EQ(e.bQzoneV2Encoding, 2);
    EXPECT_EQ(e.bQzoneV3Encoding, 0);
    WriteUtf8(QStringLiteral("[QQ空间]\nV2编码=AUTO\nV3编码=BIG5\n"));
    e = LoadExtSettings(Folder());
    EXPECT_EQ(e.bQzoneV2Encoding, 16);
    EXPECT_EQ(e.bQzoneV3Encoding, 8);
    WriteUtf8(QStringLiteral("[QQ空间]\nV2编码=ANSI\nV3编码=nonsense\n"));
    e = LoadExtSettings(Folder());
    EXPECT_EQ(e.bQzoneV2Encoding, 0);
    EXPECT_EQ(e.bQzoneV3Encoding, 0);
}

TEST_F(ExtSettingsFile, EmptyIntegerGivesTheDefaultLettersGiveZero)
{
    WriteUtf8(QStringLiteral("[京东]\n图片获取方式=\n[Instagram]\n图片获取方式=abc\n"));
    const ExtSettings e = LoadExtSettings(Folder());
    EXPECT_EQ(e.bJdPictureMethod, 1);
    EXPECT_EQ(e.bInstagramPictureMethod, 0);
}

TEST_F(ExtSettingsFile, TaobaoValues)
{
    WriteUtf8(QStringLiteral("[淘宝]\n图片名中是否有价格=有价格\n价格增减=-15\n"));
    ExtSettings e = LoadExtSettings(Folder());
    EXPECT_EQ(e.bTaobaoPriceInName, 1);
    EXPECT_EQ(e.nTaobaoPriceAdjust, -15);
    WriteUtf8(QStringLiteral("[淘宝]\n图片名中是否有价格=无\n价格增减=20\n"));
    e = LoadExtSettings(Folder());
    EXPECT_EQ(e.bTaobaoPriceInName, 0);
    EXPECT_EQ(e.nTaobaoPriceAdjust, 20);
}

TEST_F(ExtSettingsFile, BytesKeepTheLowEightBits)
{
    WriteUtf8(QStringLiteral("[QQ空间]\n取原始名方式=258\n[京东]\n图片获取方式=256\n"));
    const ExtSettings e = LoadExtSettings(Folder());
    EXPECT_EQ(e.bQzoneOriginalName, 2);
    EXPECT_EQ(e.bJdPictureMethod, 0);
}

TEST_F(ExtSettingsFile, GbkAndUtf16Files)
{
    QStringEncoder toGbk("GB18030");
    Write(toGbk(QStringLiteral("[京东]\r\n图片获取方式=0\r\n")));
    EXPECT_EQ(LoadExtSettings(Folder()).bJdPictureMethod, 0);

    Write(Utf16LeWithBom(QStringLiteral("[京东]\r\n图片获取方式=0\r\n")));
    EXPECT_EQ(LoadExtSettings(Folder()).bJdPictureMethod, 0);
}

TEST_F(ExtSettingsFile, SectionNamesIgnoreCase)
{
    WriteUtf8(QStringLiteral("[instagram]\n图片获取方式=3\n"));
    EXPECT_EQ(LoadExtSettings(Folder()).bInstagramPictureMethod, 3);
}

TEST_F(ExtSettingsFile, GarbageFileGivesDefaults)
{
    static const char junk[] = "\x00\x01\x02\xFF\xFE garbage [[[ ===";
    Write(QByteArray(junk, sizeof junk - 1));
    EXPECT_EQ(LoadExtSettings(Folder()), ExtSettings());
}

} // namespace
