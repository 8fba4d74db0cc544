#pragma once

// A shop of many products whose pictures fail at random: each round deals
// every picture a new answer (served whole, not found, cut mid-body, slow,
// trickling, empty), while the bytes a picture is served with never change,
// so any file on disk can be checked against its address.

#include "engine/fake_shop.h"
#include "engine/shop_pages.h"

#include <QByteArray>
#include <QString>

#include <random>
#include <string>
#include <vector>

class SoakShop
{
public:
    struct Album
    {
        std::string address;
        QString title;
        std::vector<std::string> urls;    // large picture addresses, in page order
        std::vector<QByteArray> bytes;    // what each one is served with when served whole
    };

    SoakShop(FakeShop &server, int nAlbums, int nPictures, std::mt19937_64 &rng) : m_server(server), m_rng(rng)
    {
        for (int a = 0; a < nAlbums; ++a) {
            Album album;
            album.address = "http://item.jd.com/" + std::to_string(1000 + a) + ".html";
            album.title = QStringLiteral("保温杯%1").arg(a, 2, 10, QLatin1Char('0'));
            for (int j = 1; j <= nPictures; ++j) {
                const std::string tag = "a" + std::to_string(a) + "p" + std::to_string(j);
                album.urls.push_back("http://img.jd.com/n12/" + tag + ".jpg");
                album.bytes.push_back(RandomJpeg(tag));
            }
            m_albums.push_back(std::move(album));
        }
    }

    const std::vector<Album> &Albums() const { return m_albums; }

    // New answers for every page and picture.
    void Deal()
    {
        for (const Album &album : m_albums) {
            std::vector<std::string> thumbs;
            for (const std::string &url : album.urls)
                thumbs.push_back("'" + Thumbnail(url) + "'");
            const std::string html = shop::ProductPage(album.title.toStdString(), {}, thumbs);
            if (Percent() < 4)
                m_server.Put(album.address, {"<h1>Not Found</h1>", "text/html", 404});
            else
                m_server.PutPage(album.address, html, Between(0, 60));
            for (size_t j = 0; j < album.urls.size(); ++j)
                DealPicture(album.urls[j], album.bytes[j].toStdString());
        }
    }

private:
    static constexpr size_t kTrickleMax = 1200; // at a byte a millisecond

    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    int Percent() { return Between(0, 99); }

    static std::string Thumbnail(const std::string &large)
    {
        std::string t = large.substr(5); // "//img.jd.com/n12/..."
        t.replace(t.find("/n12/"), 5, "/n5/");
        return t;
    }

    // Starts like a JPEG, names its address, random bytes after that.
    QByteArray RandomJpeg(const std::string &tag)
    {
        const size_t size = size_t(Percent() < 30 ? Between(300, int(kTrickleMax)) : Between(300, 40000));
        std::string b = "\xFF\xD8\xFF\xE0" + tag + "|";
        while (b.size() < size)
            b += char(Between(0, 255));
        return QByteArray::fromStdString(b);
    }

    void DealPicture(const std::string &url, const std::string &bytes)
    {
        const int p = Percent();
        if (p < 50) {
            m_server.PutPicture(url, bytes);
        } else if (p < 60) {
            m_server.Put(url, {"<h1>Not Found</h1>", "text/html", 404});
        } else if (p < 70) {
            m_server.PutFault(url, FakeShop::Fault::CutMidBody, bytes);
        } else if (p < 80 || (p < 90 && bytes.size() > kTrickleMax)) {
            m_server.PutPicture(url, bytes, Between(20, 400));
        } else if (p < 90) {
            FakeShop::Answer a{bytes, "image/jpeg"};
            a.fault = FakeShop::Fault::Trickle;
            a.trickleMs = 1;
            m_server.Put(url, a);
        } else {
            m_server.Put(url, {"", "image/jpeg", 200});
        }
    }

    FakeShop &m_server;
    std::mt19937_64 &m_rng;
    std::vector<Album> m_albums;
};
