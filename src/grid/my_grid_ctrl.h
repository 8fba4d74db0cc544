#pragma once

#include "grid/grid_ctrl.h"

#include <QString>

class IMessageBox;

// Asks for the file an export is written to; empty = cancelled.
class IExportFileDialog
{
public:
    virtual ~IExportFileDialog() = default;
    virtual QString AskSaveFileName(QWidget *pParent, const QString &filter, const QString &defaultSuffix) = 0;
};

// The album list of the main window (control 1003): a CGridCtrl with the
// album look, the two layouts, a row search and the CSV export.
class CMyGridCtrl : public CGridCtrl
{
    Q_OBJECT

public:
    static constexpr int ControlIdAlbumGrid = 1003;
    static constexpr int ListColumnCount = 6;
    static constexpr int MarginAlbum = 8;

    explicit CMyGridCtrl(QWidget *parent = nullptr);
    ~CMyGridCtrl() override;

    // Album look and behaviour with the given counts.
    void SetupAlbumGrid(int nFixedRows, int nRows, int nCols, bool bRowSelectMode);

    // The list layout: header row "序号" "名称" "数量" "备注" and two hidden columns.
    void ApplyListLayout();
    // The thumbnail layout: nPerRow columns, each the thumbnail width plus two margins.
    void ApplyThumbnailLayout(int nPerRow, int nThumbWidth);
    // One album row of the list layout; returns the row or -1.
    int AddListRow(int nAlbumIndex, const QString &strName, const QString &strCount, const QString &strRemark);
    // Album i of the thumbnail layout at (i / N, i mod N); a new row gets nRowHeight.
    // nImage is the thumbnail's index in the image list or -1.
    bool AddThumbnailCell(int nAlbumIndex, const QString &strName, int nImage, int nRowHeight);

    // Selects the first row after (forward) or before nStartRow holding the
    // keyword; true when found, and for an empty keyword (after the message).
    bool FindAlbumRow(int nStartRow, const QString &keyword, bool bForward, bool bIgnoreCase, bool bWholeText);

    // Asks for a file name and writes the list as CSV; false when cancelled or not written.
    bool ExportAlbumCsv();
    bool ExportAlbumCsvTo(const QString &strPath) const;
    // The CSV bytes (RFC 4180, GBK): the header row, then one line per album,
    // CR LF after each; nothing for a list without albums.
    QByteArray AlbumCsvBytes() const;
    static QString CsvField(const QString &text);

    void SetMessageBox(IMessageBox *pBox) { m_pMessageBox = pBox; }
    void SetExportDialog(IExportFileDialog *pDialog) { m_pExportDialog = pDialog; }
    // Through the message box set above, else a plain one.
    void ShowMessage(const QString &text);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // In the list layout, 名称 takes the width the other columns leave, so no
    // empty strip stays right of 备注.
    void FitNameColumn();

    IMessageBox *m_pMessageBox = nullptr;
    IExportFileDialog *m_pExportDialog = nullptr;
};
