#include "ui/splash_screen_ex.h"

#include "ui/splash_region.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kFadeInMs = 500;
constexpr int kFadeOutMs = 200;

// Fades need a window system that applies window opacity.
bool PlatformCanFade()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("wayland")
        || platform == QLatin1String("windows") || platform == QLatin1String("cocoa");
}

} // namespace

int QtTextFlagsFromDrawText(unsigned format)
{
    int flags = 0;
    if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (format & DT_VCENTER)
        flags |= Qt::AlignVCenter;
    else if (format & DT_BOTTOM)
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
        flags |= Qt::TextWordWrap;
    return flags;
}

CSplashScreenEx::CSplashScreenEx()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , canAnimate_(PlatformCanFade())
    , font_(QApplication::font())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
}

CSplashScreenEx::~CSplashScreenEx() = default;

bool CSplashScreenEx::CreateSplash(QWidget *parent, const QString &text)
{
    if (!parent)
        return false;
    parentWindow_ = parent;
    text_ = text;
    timeoutMs_ = 0;
    style_ = SplashFadeIn | SplashFadeOut | SplashCenterScreen;
    // A top-level window that the main window owns and cleans up.
    setParent(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    setAutoFillBackground(true);
    hide();
    return true;
}

bool CSplashScreenEx::SetSplashBitmap(const QPixmap &bitmap)
{
    if (bitmap.isNull())
        return false;
    bitmap_ = bitmap;
    resize(bitmap.size());
    PlaceWindow();
    setMask(RegionFromBitmap(bitmap.toImage()));
    return true;
}

void CSplashScreenEx::SetSplashFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(10);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font_ = font;
}

void CSplashScreenEx::PlaceWindow()
{
    QRect area;
    if ((style_ & SplashCenterParent) && parentWindow_)
        area = parentWindow_->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    const QSize size = bitmap_.isNull() ? this->size() : bitmap_.size();
    position_ = area.center() - QPoint(size.width() / 2, size.height() / 2);
}

void CSplashScreenEx::ShowSplash()
{
    PlaceWindow();
    setGeometry(QRect(position_, bitmap_.isNull() ? size() : bitmap_.size()));
    shownAt_.start();
    if ((style_ & SplashFadeIn) && canAnimate_) {
        setWindowOpacity(0.0);
        show();
        auto *fade = new QPropertyAnimation(this, "windowOpacity", this);
        fade->setDuration(kFadeInMs);
        fade->setStartValue(0.0);
        fade->setEndValue(1.0);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
        fade_ = fade;
    } else {
        show();
    }
    if (timeoutMs_ != 0) {
        if (!timer_) {
            timer_ = new QTimer(this);
            timer_->setSingleShot(true);
            connect(timer_, &QTimer::timeout, this, [this] { HideSplash(); });
        }
        timer_->start(timeoutMs_);
    }
}

int CSplashScreenEx::FadeInLeftMs() const
{
    if (!shownAt_.isValid())
        return 0;
    return int(std::max<qint64>(0, kFadeInMs - shownAt_.elapsed()));
}

void CSplashScreenEx::HideSplash()
{
    if (hiding_)
        return;
    hiding_ = true;
    if (timer_)
        timer_->stop();
    if (fade_)
        fade_->stop();
    if ((style_ & SplashFadeOut) && canAnimate_ && isVisible()) {
        auto *fade = new QPropertyAnimation(this, "windowOpacity", this);
        fade->setDuration(kFadeOutMs);
        fade->setStartValue(windowOpacity());
        fade->setEndValue(0.0);
        connect(fade, &QPropertyAnimation::finished, this, [this] { FinishHide(); });
        fade->start(QAbstractAnimation::DeleteWhenStopped);
        fade_ = fade;
    } else {
        FinishHide();
    }
}

void CSplashScreenEx::FinishHide()
{
    hide();
    emit SplashHidden();
    deleteLater();
}

void CSplashScreenEx::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!bitmap_.isNull())
        painter.drawPixmap(0, 0, bitmap_);
    painter.setFont(font_);
    painter.setPen(textColour_);
    painter.drawText(textRect_, QtTextFlagsFromDrawText(textFormat_), text_);
}

void CSplashScreenEx::mousePressEvent(QMouseEvent *event)
{
    if (style_ & SplashHideOnInput)
        HideSplash();
    else
        QWidget::mousePressEvent(event);
}

void CSplashScreenEx::keyPressEvent(QKeyEvent *event)
{
    // Escape on the splash ends the program at once.
    if (event->key() == Qt::Key_Escape) {
        QCoreApplication::exit(0);
        return;
    }
    if (style_ & SplashHideOnInput)
        HideSplash();
    else
        QWidget::keyPressEvent(event);
}
