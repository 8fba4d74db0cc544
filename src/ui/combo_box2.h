#pragma once

#include <QComboBox>
#include <QStringList>

class QCompleter;

// History box: an editable combo box whose visible list is filled from its
// item array only when the list opens or while the user types (then it holds
// the matching items, lower-cased).  The visible list is kept sorted.
class CComboBox2 : public QComboBox
{
    Q_OBJECT
public:
    explicit CComboBox2(QWidget *parent = nullptr);
    ~CComboBox2() override;

    // Appends to the item array, not to the visible list.
    void AddItem(const QString &text);
    const QStringList &Items() const { return items_; }

    // Empties the visible list; the edit text stays.
    void ClearVisibleList();
    QStringList VisibleEntries() const;

    bool DropDownBusy() const { return dropDownBusy_; }
    // True while the list shown for typing is open.
    bool TypingListVisible() const;

    void showPopup() override;
    void hidePopup() override;

signals:
    // The user changed the edit text (after the box has done its own work).
    void EditChanged(const QString &text);
    // The user chose an entry of the list.
    void SelectionChanged(const QString &text);

private:
    void OnTextEdited();
    void OnEntryChosen(const QString &text);
    void OnListClosed();
    void SetVisibleEntries(const QStringList &entries);
    void OpenTypingList();
    void CloseTypingList();

    QStringList items_;
    QString shownText_;  // the edit text before the latest edit
    bool dropDownBusy_ = false;
    bool chosen_ = false;
    QCompleter *typingList_ = nullptr;  // child object
    QObject *hideWatcher_ = nullptr;    // child object
};
