#pragma once

// The product configuration of a page (`var pageConfig = { product: {…} }`),
// a JavaScript literal, read by running just that script in a script engine
// that sees nothing of the program.

#include <QString>
#include <QStringList>

#include <chrono>
#include <utility>
#include <vector>

struct ST_PAGECONFIG
{
    bool bFound = false;  // pageConfig.product was read
    QString strFailure;   // why the script was refused or stopped (a notice's reason); empty when it was not
    QString strName;      // product.name
    QString strDesc;      // product.desc: the description address, as written
    QString strSkuId;     // product.skuid, as text
    QString strMainVideoId; // product.mainVideoId, as text
    QStringList arrImages;  // product.imageList entries, in order, as written
    // product.colorSize: (skuId, its attribute values joined by a space), in order.
    std::vector<std::pair<QString, QString>> arrColorSize;
};

// Scripts longer than this are refused unread.
inline constexpr qsizetype kMaxConfigScriptChars = 1 << 20;
inline constexpr std::chrono::milliseconds kConfigScriptTimeLimit{2000};

// Runs `script` and reads pageConfig.product.  A script that throws after it
// set pageConfig still gives what it set.  Safe on any thread.
ST_PAGECONFIG ReadPageConfig(const QString &script,
                             std::chrono::milliseconds timeLimit = kConfigScriptTimeLimit);
