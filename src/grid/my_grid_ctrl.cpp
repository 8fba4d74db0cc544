#include "grid/my_grid_ctrl.h"

#include "util/codepage.h"
#include "util/message_box.h"

#include <QFile>
#include <QRegularExpression>
#include <QFileDialog>
#include <QMessageBox>

namespace {

const char *const kListHeaders[CMyGridCtrl::ListColumnCount] = {"序号", "名称", "数量", "备注", "", ""};
const int kListWidths[CMyGridCtrl::ListColumnCount] = {50, 575, 50, 100, 0, 0};

// Shown with the filter in the save dialog.
const char *const kCsvFilter = "导出后，自行调整列宽(*.csv)";

class CQtExportFileDialog final : public IExportFileDialog
{
public:
    QString AskSaveFileName(QWidget *pParent, const QString &filter, const QString &defaultSuffix) override
    {
        QFileDialog dialog(pParent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(filter);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

} // namespace

CMyGridCtrl::CMyGridCtrl(QWidget *parent) : CGridCtrl(parent)
{
    SetControlId(ControlIdAlbumGrid);
    setObjectName(QStringLiteral("MyGridCtrl"));
}

CMyGridCtrl::~CMyGridCtrl() = default;

void CMyGridCtrl::SetupAlbumGrid(int nFixedRows, int nRows, int nCols, bool bRowSelectMode)
{
    SetHeaderSort(true);
    SetFixedRows(nFixedRows);
    ClearFixedColumns();
    ResizeRowCount(nRows);
    ResizeColumnCount(nCols);
    SetFixedRowSelection(false);
    SetFocusColours(0x00E3E3C7, 0x00000000);
    SetSelectedColours(0x00E3E3C7, 0x00000000);
    SetWindowBackColour(0x00FFFFFF);
    SetFrameFocusCell(false);
    SetEditable(false);
    SetSingleColSelection(true);
    SetDragAndDrop(true);
    SetRowSelectMode(bRowSelectMode);
    // A click selects albums: a header drawn sunken looked pressed.
    SetHighlightHeaders(false);
    // Thumbnail places after the last album hold nothing to select.
    SetEmptyCellsSelectable(bRowSelectMode);
}

void CMyGridCtrl::ApplyListLayout()
{
    ClearAll();
    for (const bool bFixedRow : {false, true})
        for (const bool bFixedCol : {false, true})
            DefaultCell(bFixedRow, bFixedCol)->SetMargin(MarginAlbum);
    SetupAlbumGrid(1, 1, ListColumnCount, true);
    for (int c = 0; c < ListColumnCount; ++c) {
        SetCellText(0, c, QString::fromUtf8(kListHeaders[c]));
        ChangeColumnWidth(c, kListWidths[c]);
    }
    FitNameColumn();
    FitAllRowHeights();
    SetRedraw(true);
}

void CMyGridCtrl::ApplyThumbnailLayout(int nPerRow, int nThumbWidth)
{
    ClearAll();
    for (const bool bFixedRow : {false, true})
        for (const bool bFixedCol : {false, true})
            DefaultCell(bFixedRow, bFixedCol)->SetMargin(MarginAlbum);
    SetupAlbumGrid(0, 0, std::max(nPerRow, 1), false);
    const int nWidth = nThumbWidth + 2 * DefaultCell(false, false)->Margin();
    for (int c = 0; c < ColumnCount(); ++c)
        ChangeColumnWidth(c, nWidth);
    SetRedraw(true);
}

void CMyGridCtrl::resizeEvent(QResizeEvent *event)
{
    CGridCtrl::resizeEvent(event);
    FitNameColumn();
}

void CMyGridCtrl::FitNameColumn()
{
    if (FixedRowCount() != 1 || ColumnCount() != ListColumnCount || !Platform())
        return;
    int others = 0;
    for (int c = 0; c < ColumnCount(); ++c)
        others += c == 1 ? 0 : ColumnWidth(c);
    const int width = std::max(kListWidths[1], Platform()->ClientSize().width() - others);
    if (width != ColumnWidth(1)) {
        ChangeColumnWidth(1, width);
        ResetScrollBars();
    }
}

int CMyGridCtrl::AddListRow(int nAlbumIndex, const QString &strName, const QString &strCount,
                            const QString &strRemark)
{
    const int nRow = AppendRow();
    if (nRow < 0)
        return -1;
    SetCellTextFormatted(nRow, 0, "%04d", nRow - FixedRowCount() + 1);
    SetCellData(nRow, 0, static_cast<quintptr>(nAlbumIndex));
    SetCellText(nRow, 1, strName);
    SetCellText(nRow, 2, strCount);
    SetCellText(nRow, 3, strRemark);
    SetCellText(nRow, 4, QString());
    SetCellText(nRow, 5, QString());
    // The height a rebuild gives it, so rows keep their height through one.
    FitRowHeight(nRow, false);
    return nRow;
}

bool CMyGridCtrl::AddThumbnailCell(int nAlbumIndex, const QString &strName, int nImage, int nRowHeight)
{
    const int nPerRow = ColumnCount();
    if (nAlbumIndex < 0 || nPerRow <= 0)
        return false;
    const int nRow = nAlbumIndex / nPerRow;
    const int nCol = nAlbumIndex % nPerRow;
    if (nCol == 0) {
        if (AppendRow() < 0)
            return false;
        ChangeRowHeight(RowCount() - 1, nRowHeight);
    }
    CGridCellBase *pCell = CellAt(nRow, nCol);
    if (!pCell)
        return false;
    if (nImage >= 0)
        SetCellImage(nRow, nCol, nImage);
    pCell->SetImageAboveText(true);
    // Two lines under the thumbnail, the second elided: one line showed a
    // dozen characters of a name.
    SetCellTextAndFormat(nRow, nCol, DT_WORDBREAK | DT_END_ELLIPSIS, "%d.%s", nAlbumIndex + 1,
                         qUtf8Printable(strName));
    SetCellData(nRow, nCol, static_cast<quintptr>(nAlbumIndex));
    // Tall enough for the picture and a two-line caption, as a rebuild fits it.
    FitRowHeight(nRow, false);
    if (RowHeight(nRow) < nRowHeight)
        ChangeRowHeight(nRow, nRowHeight);
    RepaintCell(nRow, nCol);
    return true;
}

void CMyGridCtrl::ShowMessage(const QString &text)
{
    if (m_pMessageBox)
        m_pMessageBox->ShowMessage(text);
    else
        QMessageBox::information(this, QString(), text);
}

bool CMyGridCtrl::FindAlbumRow(int nStartRow, const QString &keyword, bool bForward, bool bIgnoreCase,
                               bool bWholeText)
{
    if (keyword.isEmpty()) {
        ShowMessage(QStringLiteral("关键字不能为空"));
        return true;
    }
    const QString key = bIgnoreCase ? keyword.toLower() : keyword;
    const auto matches = [&](int nRow) {
        for (int c = 0; c < ColumnCount(); ++c) {
            const QString text = bIgnoreCase ? CellText(nRow, c).toLower() : CellText(nRow, c);
            if (bWholeText ? text == key : text.contains(key))
                return true;
        }
        return false;
    };
    if (bForward) {
        // The header row is never a match.
        for (int r = std::max(nStartRow + 1, FixedRowCount()); r < RowCount(); ++r) {
            if (matches(r)) {
                SelectRowAndScroll(r);
                return true;
            }
        }
    } else {
        for (int r = std::min(nStartRow - 1, RowCount() - 1); r >= FixedRowCount(); --r) {
            if (matches(r)) {
                SelectRowAndScroll(r);
                return true;
            }
        }
    }
    return false;
}

QString CMyGridCtrl::CsvField(const QString &text)
{
    // RFC 4180: a field that holds a separator, a quote or a line end is
    // quoted, its quotes doubled.  The older rule turned a comma into ','
    // and so split one name over two columns.
    static const QRegularExpression special(QStringLiteral("[\",\r\n]"));
    if (!text.contains(special))
        return text;
    QString field = text;
    field.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QByteArray CMyGridCtrl::AlbumCsvBytes() const
{
    QByteArray bytes;
    const auto line = [this](int r) {
        QStringList fields;
        for (int c = 0; c < ColumnCount(); ++c)
            fields.append(CsvField(CellText(r, c)));
        // GBK, so spreadsheets on Chinese systems open it as it is.
        return WideToGbk(fields.join(u',')) + "\r\n";
    };
    if (RowCount() <= FixedRowCount())
        return bytes;
    // The header row names the columns; the thumbnail layout has none.
    for (int r = 0; r < RowCount(); ++r)
        bytes += line(r);
    return bytes;
}

bool CMyGridCtrl::ExportAlbumCsvTo(const QString &strPath) const
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = AlbumCsvBytes();
    return file.write(bytes) == bytes.size();
}

bool CMyGridCtrl::ExportAlbumCsv()
{
    CQtExportFileDialog qtDialog;
    IExportFileDialog *pDialog = m_pExportDialog ? m_pExportDialog : &qtDialog;
    const QString strPath = pDialog->AskSaveFileName(this, QString::fromUtf8(kCsvFilter), QStringLiteral("csv"));
    if (strPath.isEmpty())
        return false;
    return ExportAlbumCsvTo(strPath);
}
