#include "ui/combo_box2.h"

#include "ui/history_filter.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTimer>

#include <functional>

namespace {

// Closing the typing list hides its popup; this tells the box when that happens.
class HideWatcher : public QObject
{
public:
    HideWatcher(QObject *parent, std::function<void()> onHide)
        : QObject(parent), onHide_(std::move(onHide))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            onHide_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onHide_;
};

} // namespace

CComboBox2::CComboBox2(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // the edit field does not complete inline

    // The list shown while typing: a popup that leaves the keyboard with the
    // edit field, over the same model as the box's own list.
    typingList_ = new QCompleter(this);
    typingList_->setModel(model());
    typingList_->setWidget(lineEdit());
    typingList_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    typingList_->setCaseSensitivity(Qt::CaseInsensitive);
    hideWatcher_ = new HideWatcher(this, [this] { OnListClosed(); });
    typingList_->popup()->installEventFilter(hideWatcher_);
    connect(typingList_, qOverload<const QString &>(&QCompleter::activated), this,
            [this](const QString &text) { OnEntryChosen(text); });

    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { OnTextEdited(); });
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) { shownText_ = text; });
    connect(this, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { OnEntryChosen(itemText(index)); });
}

CComboBox2::~CComboBox2()
{
    // The popup hides while it is destroyed; this box must not hear of it then.
    typingList_->popup()->removeEventFilter(hideWatcher_);
}

void CComboBox2::AddItem(const QString &text)
{
    items_.append(text);
}

void CComboBox2::SetVisibleEntries(const QStringList &entries)
{
    const QString edit = currentText();
    clear();
    for (const QString &entry : entries) {
        // Sorted insert, ignoring case, after equal entries.
        int pos = count();
        for (int i = 0; i < count(); ++i) {
            if (QString::compare(entry, itemText(i), Qt::CaseInsensitive) < 0) {
                pos = i;
                break;
            }
        }
        insertItem(pos, entry);
    }
    setEditText(edit);
}

void CComboBox2::ClearVisibleList()
{
    SetVisibleEntries({});
}

QStringList CComboBox2::VisibleEntries() const
{
    QStringList entries;
    for (int i = 0; i < count(); ++i)
        entries.append(itemText(i));
    return entries;
}

bool CComboBox2::TypingListVisible() const
{
    return typingList_->popup()->isVisible();
}

void CComboBox2::OpenTypingList()
{
    chosen_ = false;
    typingList_->setCompletionPrefix(QString());
    const QRect box(lineEdit()->mapFrom(this, QPoint(0, 0)), size());
    typingList_->complete(box);
}

void CComboBox2::CloseTypingList()
{
    if (typingList_->popup()->isVisible())
        typingList_->popup()->hide();
}

void CComboBox2::OnTextEdited()
{
    const QString text = lineEdit()->text();
    if (text.isEmpty()) {
        CloseTypingList();
        QComboBox::hidePopup();
        emit EditChanged(text);
        return;
    }
    const int caret = lineEdit()->cursorPosition();
    // Several characters at once are a paste: the list would only cover the
    // button the user goes for next.
    const bool bPasted = text.size() - shownText_.size() >= 2;
    const QStringList matches = FilterHistoryItems(items_, text);
    SetVisibleEntries(matches);
    if (!matches.isEmpty() && !bPasted) {
        dropDownBusy_ = true;
        OpenTypingList();
        dropDownBusy_ = false;
    } else {
        CloseTypingList();
    }
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(caret);
    emit EditChanged(text);
}

void CComboBox2::showPopup()
{
    if (!dropDownBusy_) {
        CloseTypingList();
        SetVisibleEntries(items_);
    }
    chosen_ = false;
    QComboBox::showPopup();
}

void CComboBox2::hidePopup()
{
    QComboBox::hidePopup();
    OnListClosed();
}

void CComboBox2::OnListClosed()
{
    // A choice is reported right after the list closes; wait for it before
    // treating the close as a cancel.
    QTimer::singleShot(0, this, [this] {
        if (!chosen_ && !TypingListVisible() && !view()->isVisible())
            ClearVisibleList();
        chosen_ = false;
    });
}

void CComboBox2::OnEntryChosen(const QString &text)
{
    chosen_ = true;
    setEditText(text);
    emit SelectionChanged(text);
}
