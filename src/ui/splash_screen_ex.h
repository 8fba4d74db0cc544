#pragma once

// DT_* text format bits, as the platform's DrawText takes them.
#include "grid/grid_defs.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class QPropertyAnimation;
class QTimer;

// Qt alignment and text flags for DrawText format bits.
int QtTextFlagsFromDrawText(unsigned format);

// The shaped, borderless start-up splash.
class CSplashScreenEx : public QWidget
{
    Q_OBJECT
public:
    enum Style : unsigned
    {
        SplashFadeIn = 0x01,
        SplashFadeOut = 0x02,
        SplashShadow = 0x04,
        SplashCenterScreen = 0x08,
        SplashCenterParent = 0x10,
        SplashHideOnInput = 0x20,
    };

    CSplashScreenEx();
    ~CSplashScreenEx() override;

    // A parent is required; the splash is a hidden top-level window afterwards.
    bool CreateSplash(QWidget *parent, const QString &text);
    bool SetSplashBitmap(const QPixmap &bitmap);
    void SetSplashFont();
    void SetSplashTextRect(const QRect &rect) { textRect_ = rect; }
    void SetSplashTextColour(const QColor &colour) { textColour_ = colour; }
    void SetSplashTextFormat(unsigned format) { textFormat_ = format; }
    void ShowSplash();
    // Hides (fading when the style asks and the platform can), then destroys itself.
    void HideSplash();

    unsigned SplashStyle() const { return style_; }
    void SetSplashStyle(unsigned style) { style_ = style; }
    int TimeoutMs() const { return timeoutMs_; }
    void SetTimeoutMs(int ms) { timeoutMs_ = ms; }
    QString SplashText() const { return text_; }
    QRect SplashTextRect() const { return textRect_; }
    QColor SplashTextColour() const { return textColour_; }
    unsigned SplashTextFormat() const { return textFormat_; }
    QFont SplashFont() const { return font_; }
    const QPixmap &SplashBitmap() const { return bitmap_; }

    // Whether window fades are available here (the platform's window opacity).
    bool CanAnimate() const { return canAnimate_; }
    void SetCanAnimate(bool can) { canAnimate_ = can; }
    // Milliseconds of the fade-in still to come since ShowSplash (0 once it
    // is over, or when the splash was never shown).  The start-up keeps the
    // splash up at least that long, so it is seen even after a quick start.
    int FadeInLeftMs() const;
    // True once HideSplash has run to its end.
    bool IsHiding() const { return hiding_; }

signals:
    void SplashHidden();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void PlaceWindow();
    void FinishHide();

    bool canAnimate_ = false;
    QPointer<QWidget> parentWindow_;
    QPixmap bitmap_;
    QFont font_;
    unsigned style_ = 0;
    int timeoutMs_ = 2000;
    QString text_;
    QRect textRect_;
    unsigned textFormat_ = 21;
    QColor textColour_ = QColor(0, 0, 0);
    QPoint position_;
    bool hiding_ = false;
    QElapsedTimer shownAt_;
    QPointer<QPropertyAnimation> fade_;
    QTimer *timer_ = nullptr;  // child object
};
