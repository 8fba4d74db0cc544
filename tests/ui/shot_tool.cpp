// Saves pictures of the main window, its menu opened, the splash and every
// dialog, for looking at them (scripts/screenshots.sh runs this under Xvfb).
#include "core/soft_settings.h"
#include "ui/about_dlg.h"
#include "ui/combo_box2.h"
#include "ui/control_ids.h"
#include "ui/dlg_find.h"
#include "ui/dlg_down_set.h"
#include "ui/dlg_save_set.h"
#include "ui/qt_message_box.h"
#include "ui/splash_screen_ex.h"
#include "ui/tamblin_dlg.h"
#include "ui/ui_resources.h"
#include "ui/ui_texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QDir>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The screen around a window, so frames, menus and shapes show as they are.
bool GrabScreen(const QRect &area, const QString &file)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(file);
}

bool GrabWidget(QWidget &w, const QString &file)
{
    w.show();
    w.raise();
    Wait(300);
    const bool onScreen = QGuiApplication::platformName() == QLatin1String("xcb");
    return onScreen ? GrabScreen(w.frameGeometry(), file) : w.grab().save(file);
}

// Albums with covers made on the spot (file:// addresses, so no server is needed).
void FillAlbums(CTamblinDlg &dlg, const QString &folder)
{
    const char *const names[] = {"保温杯 316不锈钢 大容量 男女士便携水杯", "双肩包 男士商务电脑包 15.6英寸",
                                 "无线蓝牙耳机 主动降噪 长续航", "机械键盘 87键 茶轴", "智能手表 心率血氧监测",
                                 "电热水壶 1.7L 家用", "儿童绘本 全10册"};
    const QColor colours[] = {Qt::darkCyan, Qt::darkRed, Qt::darkBlue, Qt::darkGreen, Qt::darkMagenta,
                              Qt::darkYellow, Qt::gray};
    for (int i = 0; i < 7; ++i) {
        QImage cover(300, 300, QImage::Format_RGB32);
        cover.fill(colours[i]);
        QPainter painter(&cover);
        painter.setPen(Qt::white);
        painter.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 60));
        painter.drawText(cover.rect(), Qt::AlignCenter, QString::number(i + 1));
        painter.end();
        const QString file = folder + QStringLiteral("/cover%1.jpg").arg(i);
        cover.save(file);
        ST_PERLISTRECORD rec;
        rec.strName = QString::fromUtf8(names[i]);
        rec.strCoverUrl = QUrl::fromLocalFile(file).toString();
        rec.nPicCount = 5 + i;
        const int index = dlg.State().albums.AddAlbum(rec) - 1;
        dlg.AddAlbumRow(index);
    }
}

void WaitRebuilt(CTamblinDlg &dlg)
{
    for (int i = 0; i < 500 && dlg.AlbumList().ThumbJobState.load() != 0; ++i)
        Wait(10);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InitUiResources();
    app.setWindowIcon(QIcon(QStringLiteral(":/ostrel/icon.png")));
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(outDir);
    auto out = [&](const char *name) { return outDir + QLatin1Char('/') + QString::fromLatin1(name); };
    int failures = 0;
    auto check = [&](bool ok, const char *what) {
        if (!ok) {
            std::fprintf(stderr, "could not save %s\n", what);
            ++failures;
        }
    };

    QTemporaryDir work;
    CTamblinEnvironment env;
    env.currentFolder = work.path();
    env.documentsFolder = work.path();
    env.tempFolder = QStringLiteral("/nonexistent-temp");
    env.showSplash = false;

    {
        // The splash on its own, kept up long enough to be seen.
        QWidget owner;
        auto *splash = new CSplashScreenEx;
        splash->CreateSplash(&owner, SplashText());
        splash->SetSplashBitmap(QPixmap(QStringLiteral(":/ostrel/splash.bmp")));
        splash->SetSplashFont();
        splash->SetSplashTextRect(QRect(QPoint(30, 50), QPoint(291, 160)));
        splash->SetSplashTextColour(QColor(0xFF, 0xFF, 0xFF));
        splash->SetSplashTextFormat(DT_VCENTER | DT_WORDBREAK | DT_LEFT);
        splash->SetCanAnimate(false);
        splash->ShowSplash();
        Wait(300);
        check(GrabScreen(splash->frameGeometry().adjusted(-10, -10, 10, 10), out("splash.png")), "splash");
        splash->HideSplash();
    }

    CTamblinDlg dlg(env);
    QEventLoop started;
    QObject::connect(&dlg, &CTamblinDlg::StartupFinished, &started, &QEventLoop::quit);
    dlg.Create();
    started.exec();
    dlg.move(40, 40);
    dlg.AddressBox()->setEditText(QStringLiteral("https://item.jd.com/100012043978.html"));
    dlg.ClassifyAddress();
    check(GrabWidget(dlg, out("main.png")), "main window");

    // The settings popup opened from the menu bar.
    QMenu *settings = dlg.MenuBar()->actions().at(1)->menu();
    dlg.MenuBar()->setActiveAction(settings->menuAction());
    Wait(400);
    check(GrabScreen(dlg.frameGeometry().united(settings->geometry()).adjusted(0, 0, 10, 10), out("menu_settings.png")),
          "settings menu");
    settings->hide();
    QMenu *login = dlg.MenuBar()->actions().at(0)->menu();
    dlg.MenuBar()->setActiveAction(login->menuAction());
    Wait(400);
    check(GrabScreen(dlg.frameGeometry().united(login->geometry()).adjusted(0, 0, 10, 10), out("menu_login.png")),
          "login menu");
    login->hide();
    Wait(100);

    // The QQ entry shows the list-type box.
    dlg.AddressBox()->setEditText(QStringLiteral("http://qun.qq.com/air/#123"));
    dlg.ClassifyAddress();
    check(GrabWidget(dlg, out("main_qq.png")), "main window with list type");

    // The album list filled: list layout, the find dialog on it, thumbnails.
    dlg.AddressBox()->setEditText(QStringLiteral("https://item.jd.com/100012043978.html"));
    dlg.ClassifyAddress();
    FillAlbums(dlg, work.path());
    check(GrabWidget(dlg, out("main_list.png")), "album list");
    emit qobject_cast<QLabel *>(dlg.Item(IDC_FIND))->linkActivated(QStringLiteral("#"));
    CDlgFind *find = dlg.FindWindow();
    find->ItemAs<QLineEdit>(IDC_FIND_KEYWORD)->setText(QStringLiteral("耳机"));
    find->OnNext();
    Wait(300);
    check(GrabScreen(dlg.frameGeometry().united(find->frameGeometry()), out("dialog_704_find.png")), "find dialog");
    find->reject();
    qobject_cast<QCheckBox *>(dlg.Item(IDC_THUMBS))->click();
    WaitRebuilt(dlg);
    check(GrabWidget(dlg, out("main_thumbnails.png")), "thumbnail layout");

    CQtMessageBox messages(&dlg, nullptr);
    {
        DownloadParams entry = dlg.State().settings.arrDownload[SITE_JD];
        CDlgDownSet down(&entry, messages, &dlg);
        check(GrabWidget(down, out("dialog_131_download.png")), "download settings");
    }
    {
        NamingRecord entry = dlg.State().settings.arrNaming[SITE_JD];
        CDlgSaveSet save(&entry, messages, &dlg);
        check(GrabWidget(save, out("dialog_130_names.png")), "file-name settings");
    }
    {
        CAboutDlg about(&dlg);
        check(GrabWidget(about, out("dialog_100_about.png")), "about box");
    }
    dlg.hide();
    return failures == 0 ? 0 : 1;
}
