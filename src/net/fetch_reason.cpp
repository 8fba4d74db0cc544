#include "net/fetch_reason.h"

FetchFailure FailureOfCurlCode(CURLcode rc)
{
    switch (rc) {
    case CURLE_OK:
        return FetchFailure::None;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return FetchFailure::BadUrl;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return FetchFailure::HostNotFound;
    case CURLE_COULDNT_CONNECT:
    case CURLE_SSL_CONNECT_ERROR:
        return FetchFailure::NoConnection;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_ISSUER_ERROR:
        return FetchFailure::BadCertificate;
    case CURLE_OPERATION_TIMEDOUT:
        return FetchFailure::TimedOut;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        return FetchFailure::Cut;
    case CURLE_ABORTED_BY_CALLBACK:
        return FetchFailure::Aborted;
    default:
        return FetchFailure::Other;
    }
}

QString FetchFailureText(FetchFailure failure, int status)
{
    switch (failure) {
    case FetchFailure::None:
        return QString();
    case FetchFailure::BadUrl:
        return QStringLiteral("网址无效");
    case FetchFailure::HostNotFound:
        return QStringLiteral("找不到服务器");
    case FetchFailure::NoConnection:
        return QStringLiteral("无法连接服务器");
    case FetchFailure::TimedOut:
        return QStringLiteral("连接超时");
    case FetchFailure::TooSlow:
        return QStringLiteral("传输过慢");
    case FetchFailure::Cut:
        return QStringLiteral("连接中断");
    case FetchFailure::Status:
        return QStringLiteral("HTTP %1").arg(status);
    case FetchFailure::TooLarge:
        return QStringLiteral("页面超过32MB");
    case FetchFailure::OutOfSizeLimits:
        return QStringLiteral("大小超出限制");
    case FetchFailure::EmptyBody:
        return QStringLiteral("内容为空");
    case FetchFailure::FileNotWritten:
        return QStringLiteral("无法写入文件");
    case FetchFailure::Aborted:
        return QStringLiteral("已终止");
    case FetchFailure::LoginRequired:
        return QStringLiteral("需要登录");
    case FetchFailure::BadCertificate:
        return QStringLiteral("证书无效");
    case FetchFailure::ProxyRefused:
        return QStringLiteral("代理拒绝");
    case FetchFailure::BadAnswer:
        return QStringLiteral("应答无效");
    case FetchFailure::NotPicture:
        return QStringLiteral("不是图片");
    case FetchFailure::Other:
        break;
    }
    return QStringLiteral("网络错误");
}
