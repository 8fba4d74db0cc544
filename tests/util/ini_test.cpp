#include "util/ini.h"

#include "util/test_files.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class IniTest : public ::testing::Test
{
protected:
    QString Write(const QByteArray &bytes)
    {
        const QString path = m_dir.path() + QStringLiteral("/t%1.ini").arg(m_n++);
        EXPECT_TRUE(WriteTestFile(path, bytes));
        return path;
    }
    QString WriteUtf8(const QString &text) { return Write(text.toUtf8()); }

    QTemporaryDir m_dir;
    int m_n = 0;
};

const QString kSample = QStringLiteral(
    "; comment line\r\n"
    "[京东]\r\n"
    "图片获取方式=0\r\n"
    "  Name  =   spaced value   \r\n"
    "quoted=\"  in quotes  \"\r\n"
    "single='x'\r\n"
    "mixed=\"x'\r\n"
    "empty=\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    ";hidden=1\r\n"
    "no equals sign here\r\n"
    "[Other]\r\n"
    "key=other\r\n"
    "[京东]\r\n"
    "later=unseen\r\n");

TEST_F(IniTest, ReadsValuesFromUtf8)
{
    const CIni ini(WriteUtf8(kSample));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("图片获取方式")), QStringLiteral("0"));
    EXPECT_EQ(ini.GetString(QStringLiteral("Other"), QStringLiteral("key")), QStringLiteral("other"));
}

TEST_F(IniTest, NamesCompareIgnoringCaseAndBlanks)
{
    const CIni ini(WriteUtf8(kSample));
    EXPECT_EQ(ini.GetString(QStringLiteral("other"), QStringLiteral("KEY")), QStringLiteral("other"));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("name")), QStringLiteral("spaced value"));
    EXPECT_EQ(ini.GetString(QStringLiteral(" Other "), QStringLiteral(" key ")), QStringLiteral("other"));
}

TEST_F(IniTest, OnePairOfMatchingQuotesIsRemoved)
{
    const CIni ini(WriteUtf8(kSample));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("quoted")), QStringLiteral("  in quotes  "));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("single")), QStringLiteral("x"));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("mixed")), QStringLiteral("\"x'"));
}

TEST_F(IniTest, FirstKeyAndFirstSectionWin)
{
    const CIni ini(WriteUtf8(kSample));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("dup")), QStringLiteral("first"));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("later"), QStringLiteral("def")),
              QStringLiteral("def"));
}

TEST_F(IniTest, CommentsAndBrokenLinesAreSkipped)
{
    const CIni ini(WriteUtf8(kSample));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral(";hidden"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("hidden"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("no equals sign here"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST_F(IniTest, DefaultsForMissingThings)
{
    const CIni ini(WriteUtf8(kSample));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("missing"), QStringLiteral("def")),
              QStringLiteral("def"));
    EXPECT_EQ(ini.GetString(QStringLiteral("nosection"), QStringLiteral("key"), QStringLiteral("def")),
              QStringLiteral("def"));
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("missing")), QString());
    // A present but empty value is the value, not the default.
    EXPECT_EQ(ini.GetString(QStringLiteral("京东"), QStringLiteral("empty"), QStringLiteral("def")), QString());
    const CIni none(m_dir.path() + QStringLiteral("/absent.ini"));
    EXPECT_EQ(none.GetString(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("def")), QStringLiteral("def"));
    const CIni unset;
    EXPECT_EQ(unset.GetString(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("def")), QStringLiteral("def"));
}

TEST_F(IniTest, NullSectionOrKeyReturnsTheDefault)
{
    const CIni ini(WriteUtf8(kSample));
    EXPECT_EQ(ini.GetString(QString(), QStringLiteral("key"), QStringLiteral("def")), QStringLiteral("def"));
    EXPECT_EQ(ini.GetString(QStringLiteral("Other"), QString(), QStringLiteral("def")), QStringLiteral("def"));
}

TEST_F(IniTest, Utf16WithBom)
{
    const CIni ini(Write(Utf16LeWithBom(QStringLiteral("[京东]\r\n图片获取方式=7\r\n"))));
    EXPECT_EQ(ini.GetInt(QStringLiteral("京东"), QStringLiteral("图片获取方式"), 1), 7u);
}

TEST_F(IniTest, Utf8WithBomAndLfLines)
{
    const CIni ini(Write(QByteArray("\xEF\xBB\xBF") + QStringLiteral("[京东]\n图片获取方式=3\n").toUtf8()));
    EXPECT_EQ(ini.GetInt(QStringLiteral("京东"), QStringLiteral("图片获取方式"), 1), 3u);
}

TEST_F(IniTest, GbkFile)
{
    QStringEncoder toGbk("GB18030");
    const QByteArray gbk = toGbk(QStringLiteral("[淘宝]\r\n图片名中是否有价格=有\r\n"));
    ASSERT_FALSE(toGbk.hasError());
    const CIni ini(Write(gbk));
    EXPECT_EQ(ini.GetString(QStringLiteral("淘宝"), QStringLiteral("图片名中是否有价格")), QStringLiteral("有"));
}

TEST_F(IniTest, LongValuesComeBackWhole)
{
    for (int len : {511, 512, 600, 5000}) {
        const QString value(len, QChar(u'v'));
        const CIni ini(WriteUtf8(QStringLiteral("[s]\nk=") + value + QStringLiteral("\n")));
        EXPECT_EQ(ini.GetString(QStringLiteral("s"), QStringLiteral("k")), value) << len;
    }
}

TEST_F(IniTest, GetIntRules)
{
    const CIni ini(WriteUtf8(QStringLiteral("[s]\n"
                                            "letters=abc\n"
                                            "mixed= 12a\n"
                                            "empty=\n"
                                            "neg=-255\n"
                                            "big=99999999999\n"
                                            "plus=+42\n")));
    EXPECT_EQ(ini.GetInt(QStringLiteral("s"), QStringLiteral("missing"), 9), 9u);
    EXPECT_EQ(ini.GetInt(QStringLiteral("s"), QStringLiteral("letters"), 9), 0u);
    EXPECT_EQ(ini.GetInt(QStringLiteral("s"), QStringLiteral("mixed"), 9), 12u);
    EXPECT_EQ(ini.GetInt(QStringLiteral("s"), QStringLiteral("empty"), 9), 9u);
    EXPECT_EQ(ini.GetInt(QStringLiteral("s"), QStringLiteral("neg"), 9), 0u); // a minus is no digit
    EXPECT_EQ(ini.GetInt(QStringLiteral("s"), QStringLiteral("big"), 9), 0xFFFFFFFFu);
    EXPECT_EQ(ini.GetInt(QStringLiteral("s"), QStringLiteral("plus"), 9), 42u);
}

TEST_F(IniTest, GetIntReadsOnlyTheFirst64Characters)
{
    // 63 blanks then "12": only "1" lies within the first 64 characters.
    const CIni ini(WriteUtf8(QStringLiteral("[s]\nk=\"") + QString(63, QChar(u' ')) + QStringLiteral("12\"\n")));
    EXPECT_EQ(ini.GetInt(QStringLiteral("s"), QStringLiteral("k"), 9), 1u);
}

TEST_F(IniTest, NeverWritesTheFile)
{
    const QString path = WriteUtf8(kSample);
    const CIni ini(path);
    ini.GetString(QStringLiteral("new"), QStringLiteral("key"), QStringLiteral("x"));
    EXPECT_EQ(ReadTestFile(path), kSample.toUtf8());
}

// Setting a key changes only the line the reader would find, keeps the
// file's encoding and line ends, and the reader then finds the new value.
TEST_F(IniTest, SetStringChangesOnlyTheLineTheReaderFinds)
{
    const QString s = QStringLiteral("京东");
    const QString k = QStringLiteral("用浏览器读取页面");
    const struct
    {
        const char16_t *before; // null: no file
        const char16_t *after;
    } cases[] = {
        // Replaced: the first key of the first section, names ignoring case.
        {u"[京东]\r\nX=1\r\n 用浏览器读取页面 = 0\r\n[京东]\r\n用浏览器读取页面=0\r\n",
         u"[京东]\r\nX=1\r\n用浏览器读取页面=1\r\n[京东]\r\n用浏览器读取页面=0\r\n"},
        // Added at the end of the section, before the next one.
        {u"; c\n[京东]\nX=1\n\n[b]\ny=2\n", u"; c\n[京东]\nX=1\n用浏览器读取页面=1\n\n[b]\ny=2\n"},
        // A new section at the end; a missing file is made.
        {u"[b]\ny=2", u"[b]\ny=2\n\n[京东]\n用浏览器读取页面=1\n"},
        {nullptr, u"[京东]\n用浏览器读取页面=1\n"},
    };
    for (const auto &c : cases) {
        const QString path = c.before ? WriteUtf8(QString::fromUtf16(c.before)) : m_dir.path() + QStringLiteral("/none.ini");
        ASSERT_TRUE(SetIniString(path, s, k, QStringLiteral("1")));
        EXPECT_EQ(ReadTestFile(path), QString::fromUtf16(c.after).toUtf8());
        EXPECT_EQ(CIni(path).GetInt(s, k, 0), 1u);
    }
    // A GBK file stays GBK.
    QStringEncoder toGbk("GB18030");
    const QString gbk = Write(toGbk(QStringLiteral("[淘宝]\r\n图片名中是否有价格=有\r\n")));
    ASSERT_TRUE(SetIniString(gbk, s, k, QStringLiteral("1")));
    EXPECT_EQ(ReadTestFile(gbk), toGbk(QStringLiteral("[淘宝]\r\n图片名中是否有价格=有\r\n\r\n[京东]\r\n用浏览器读取页面=1\r\n")));
}

} // namespace
