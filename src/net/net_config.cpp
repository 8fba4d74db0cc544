#include "net/net_config.h"

#include <mutex>

namespace {
struct TlsConfig
{
    std::mutex mutex;
    QString caFile;
};

TlsConfig &Config()
{
    static TlsConfig config;
    return config;
}
} // namespace

void SetTlsCaFile(const QString &path)
{
    std::lock_guard lock(Config().mutex);
    Config().caFile = path;
}

QString TlsCaFile()
{
    std::lock_guard lock(Config().mutex);
    return Config().caFile;
}
