#pragma once

// Description pictures: the long picture sheets below the product.  The
// product configuration's `desc` address answers with the description HTML
// in the `content` member of a JSON object: JSONP "showdesc({...})" on the
// older host (d.3.cn), plain JSON on the newer one (cd.jd.com).

#include <QString>
#include <QStringList>

class QUrl;

class CEngineState;
class IJobHost;

// True for an address on the description hosts (cd.jd.com, d.3.cn, dx.3.cn):
// the page names the address, and no other request may go out with the
// user's cookies on its word.
bool IsDescriptionUrl(const QUrl &url);

// The `content` member of a JSON or JSONP answer; empty when there is none.
QString DescriptionContent(const QString &answer);

// The picture addresses of description HTML in page order, each once:
// <img> tags (their data-lazyload, else their src), data-lazyload of other
// tags, and CSS background(-image) url(…).  Resolved against `base`; only
// http and https addresses are kept.
QStringList DescriptionPictureUrls(const QString &html, const QString &base);

// Loads the description at `desc` (as the product page writes it; empty:
// none) and hands its pictures, "描述_%d" in page order, to AddPicture;
// pictures the job holds already are left out.  A description that cannot be
// loaded or read gives no pictures and no message.  False when a stop ended
// the collection.
bool AddDescriptionPictures(CEngineState &state, IJobHost &host, int albumIndex, const QString &desc);
