#include "ui/splash_region.h"
#include "ui/splash_screen_ex.h"
#include "ui/ui_resources.h"
#include "ui_test_support.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(SplashRegion, TransparentBordersAreLeftOut)
{
    QImage image(10, 4, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    for (int y = 0; y < 4; ++y) {
        image.setPixel(0, y, kSplashTransparent);
        image.setPixel(9, y, kSplashTransparent);
    }
    image.setPixel(4, 1, kSplashTransparent);  // a hole in row 1
    const QRegion region = RegionFromBitmap(image);
    EXPECT_EQ(region.boundingRect(), QRect(1, 0, 8, 4));
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(9, 3)));
    EXPECT_FALSE(region.contains(QPoint(4, 1)));
    EXPECT_TRUE(region.contains(QPoint(4, 2)));
    EXPECT_TRUE(region.contains(QPoint(8, 1)));
}

TEST(SplashRegion, RunReachingTheLastColumnEndsThere)
{
    QImage image(5, 1, QImage::Format_RGB32);
    image.fill(QColor(1, 2, 3));
    image.setPixel(0, 0, kSplashTransparent);
    const QRegion region = RegionFromBitmap(image);
    EXPECT_EQ(region, QRegion(QRect(1, 0, 4, 1)));
}

TEST(SplashRegion, AllTransparentGivesAnEmptyRegion)
{
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(kSplashTransparent);
    EXPECT_TRUE(RegionFromBitmap(image).isEmpty());
}

TEST(SplashText, DrawTextFlagsMapToQt)
{
    EXPECT_EQ(QtTextFlagsFromDrawText(0x14), int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap));
    EXPECT_EQ(QtTextFlagsFromDrawText(21), int(Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap));
    EXPECT_EQ(QtTextFlagsFromDrawText(DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_WORDBREAK),
              int(Qt::AlignRight | Qt::AlignBottom));
}

class Splash : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        InitUiResources();
    }
};

TEST_F(Splash, StartsWithTheInitialValues)
{
    CSplashScreenEx splash;
    EXPECT_EQ(splash.TimeoutMs(), 2000);
    EXPECT_EQ(splash.SplashTextFormat(), 21u);
    EXPECT_EQ(splash.SplashTextColour(), QColor(0, 0, 0));
    EXPECT_TRUE(splash.SplashText().isEmpty());
    EXPECT_TRUE(splash.SplashTextRect().isNull());
}

TEST_F(Splash, CreateNeedsAParentAndSetsStyleAndTimeout)
{
    QWidget parent;
    auto *splash = new CSplashScreenEx;
    EXPECT_FALSE(splash->CreateSplash(nullptr, QStringLiteral("x")));
    EXPECT_TRUE(splash->CreateSplash(&parent, QStringLiteral("正在加载")));
    EXPECT_EQ(splash->SplashStyle(), 0x0Bu);
    EXPECT_EQ(splash->TimeoutMs(), 0);
    EXPECT_EQ(splash->SplashText(), QStringLiteral("正在加载"));
    EXPECT_FALSE(splash->isVisible());
    splash->SetSplashFont();
    EXPECT_EQ(splash->SplashFont().pointSize(), 10);
}

TEST_F(Splash, BitmapGivesSizeAndShape)
{
    QWidget parent;
    auto *splash = new CSplashScreenEx;
    splash->CreateSplash(&parent, QString());
    const QPixmap bitmap(QStringLiteral(":/ostrel/splash.bmp"));
    ASSERT_FALSE(bitmap.isNull());
    EXPECT_TRUE(splash->SetSplashBitmap(bitmap));
    EXPECT_EQ(splash->size(), bitmap.size());
    // The shipped bitmap has a transparent border.
    EXPECT_FALSE(splash->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(splash->mask().contains(QPoint(bitmap.width() / 2, bitmap.height() / 2)));
    EXPECT_FALSE(splash->SetSplashBitmap(QPixmap()));
}

TEST_F(Splash, WithoutFadesItAppearsAndGoesAtOnce)
{
    QWidget parent;
    QPointer<CSplashScreenEx> splash = new CSplashScreenEx;
    splash->CreateSplash(&parent, QStringLiteral("t"));
    splash->SetCanAnimate(false);
    splash->SetSplashBitmap(QPixmap(QStringLiteral(":/ostrel/splash.bmp")));
    splash->ShowSplash();
    EXPECT_TRUE(splash->isVisible());
    EXPECT_DOUBLE_EQ(splash->windowOpacity(), 1.0);
    QSignalSpy hidden(splash.data(), &CSplashScreenEx::SplashHidden);
    splash->HideSplash();
    EXPECT_EQ(hidden.count(), 1);
    EXPECT_FALSE(splash->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
}

TEST_F(Splash, WithTimeoutZeroItStaysUp)
{
    QWidget parent;
    auto *splash = new CSplashScreenEx;
    splash->CreateSplash(&parent, QStringLiteral("t"));
    splash->SetCanAnimate(false);
    splash->ShowSplash();
    QTest::qWait(50);
    EXPECT_TRUE(splash->isVisible());
}

TEST_F(Splash, WithATimeoutItHidesItself)
{
    QWidget parent;
    QPointer<CSplashScreenEx> splash = new CSplashScreenEx;
    splash->CreateSplash(&parent, QStringLiteral("t"));
    splash->SetCanAnimate(false);
    splash->SetTimeoutMs(10);
    QSignalSpy hidden(splash.data(), &CSplashScreenEx::SplashHidden);
    splash->ShowSplash();
    EXPECT_TRUE(hidden.wait(5000));
}

TEST_F(Splash, HideOnInputStyle)
{
    QWidget parent;
    auto *splash = new CSplashScreenEx;
    splash->CreateSplash(&parent, QStringLiteral("t"));
    splash->SetCanAnimate(false);
    splash->ShowSplash();
    QTest::mouseClick(splash, Qt::LeftButton);
    EXPECT_TRUE(splash->isVisible());  // not asked for
    splash->SetSplashStyle(splash->SplashStyle() | CSplashScreenEx::SplashHideOnInput);
    QTest::mouseClick(splash, Qt::LeftButton);
    EXPECT_FALSE(splash->isVisible());
}

TEST_F(Splash, FadesWhereThePlatformCan)
{
    QWidget parent;
    QPointer<CSplashScreenEx> splash = new CSplashScreenEx;
    splash->CreateSplash(&parent, QStringLiteral("t"));
    splash->SetCanAnimate(true);
    splash->ShowSplash();
    EXPECT_LT(splash->windowOpacity(), 1.0);
    QSignalSpy hidden(splash.data(), &CSplashScreenEx::SplashHidden);
    splash->HideSplash();
    EXPECT_EQ(hidden.count(), 0);  // fading out
    EXPECT_TRUE(hidden.wait(5000));
}
