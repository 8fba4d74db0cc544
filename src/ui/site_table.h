#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <span>

// Site entries of the site box: the position is the site number.
inline constexpr int kSiteQQ = 0;
inline constexpr int kSiteYupoo = 7;
inline constexpr int kSiteTaobao = 11;
inline constexpr int kSiteJD = 16;

// Names shown in the site box, in site-number order.
QStringList SiteNames();

// List types of the QQ site entry (box 1035).
QStringList QQListTypeNames();
inline constexpr int kListTypeQzone = 0;
inline constexpr int kListTypeQQGroup = 1;
inline constexpr int kListTypeTencentWeibo = 2;

struct SiteFragments
{
    int site;
    std::span<const char *const> fragments;
};

// Host fragments by site, in the order the classifier tests them.
std::span<const SiteFragments> SiteHostFragments();

struct AddressClass
{
    int site = -1;      // site number to select
    int listType = -1;  // list type to select (site 0 only), -1 = leave as set
};

// What ClassifyAddress does for the address text and the site box's current
// selection; nullopt when the text has no http:// or https:// and nothing changes.
std::optional<AddressClass> ClassifyAddressText(const QString &text, int currentSite);
