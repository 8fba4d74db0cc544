#pragma once

#include "ui/template_dialog.h"

struct DownloadParams;
class IMessageBox;

// "下载参数设置" (dialog 131): edits one DownloadParams entry in place.
class CDlgDownSet : public CTemplateDialog
{
    Q_OBJECT
public:
    // `entry` must not be null; it is changed only by a successful "确 定".
    CDlgDownSet(DownloadParams *entry, IMessageBox &messages, QWidget *parent = nullptr);

    // "确 定": stores and accepts, or shows "参数错误" and stays open.
    void OnOK();

    // The check box "用浏览器读取京东页面": greyed, with a tip, where the
    // program has no browser.  Read after a successful "确 定".
    void SetBrowserPages(bool bAvailable, bool bChecked);
    bool BrowserPages() const;

private:
    DownloadParams *entry_;  // not owned
    IMessageBox &messages_;
};
