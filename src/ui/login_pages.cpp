#include "ui/login_pages.h"

#include "ui/menu_model.h"

namespace {

bool DigitsOnly(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

QString CustomLoginStartPage()
{
    return QStringLiteral("about:blank");
}

bool IsLoginCommand(int id)
{
    switch (id) {
    case ID_LOGIN_JD: case ID_LOGIN_QQ: case ID_LOGIN_TWEIBO: case ID_LOGIN_BAIDU: case ID_LOGIN_NETEASE:
    case ID_LOGIN_RENREN: case ID_LOGIN_YUPOO: case ID_LOGIN_MOKO: case ID_LOGIN_SINA:
    case ID_LOGIN_TAOBAO: case ID_LOGIN_56: case ID_LOGIN_HUPU: case ID_LOGIN_CUSTOM:
        return true;
    default:
        return false;
    }
}

QString LoginAddressForCommand(int id, const QString &addressBoxText, int listType)
{
    switch (id) {
    case ID_LOGIN_QQ: {
        QString address = QStringLiteral("https://user.qzone.qq.com/");
        const QString number = addressBoxText.trimmed();
        if (DigitsOnly(number) && listType == 0)
            address += number;
        return address;
    }
    case ID_LOGIN_JD: return QStringLiteral("https://passport.jd.com/new/login.aspx");
    case ID_LOGIN_TWEIBO: return QStringLiteral("https://t.qq.com/");
    case ID_LOGIN_BAIDU: return QStringLiteral("https://passport.baidu.com/v2/?login");
    case ID_LOGIN_NETEASE: return QStringLiteral("https://reg.163.com/");
    case ID_LOGIN_RENREN: return QStringLiteral("http://www.renren.com/");
    case ID_LOGIN_YUPOO: return QStringLiteral("https://www.yupoo.com/login/");
    case ID_LOGIN_MOKO: return QStringLiteral("http://www.moko.cc/login.html");
    case ID_LOGIN_SINA: return QStringLiteral("https://weibo.com/login.php");
    case ID_LOGIN_TAOBAO: return QStringLiteral("https://login.taobao.com/");
    case ID_LOGIN_56: return QStringLiteral("http://www.56.com/");
    case ID_LOGIN_HUPU: return QStringLiteral("https://passport.hupu.com/");
    case ID_LOGIN_CUSTOM: return CustomLoginStartPage();
    default: return {};
    }
}
