#include "ui/dialog_builder.h"

#include "ui/combo_box2.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

constexpr const char *kIdProperty = "ctrlId";

void PlaceCombo(QComboBox *combo, const PixRect &r)
{
    // The template height of a combo box includes its list; the closed box
    // takes the height its font needs, the list gets the rest.
    const int closed = combo->sizeHint().height();
    combo->setGeometry(r.x, r.y, r.width, closed);
    const int itemHeight = std::max(1, combo->fontMetrics().height() + 2);
    combo->setMaxVisibleItems(std::max(1, (r.height - closed) / itemHeight));
}

QWidget *MakeControl(const CtlTemplate &c, QWidget *client, const CustomControlFactory &custom)
{
    const QString text = QString::fromUtf8(c.text);
    switch (c.kind) {
    case CtlKind::Static: {
        auto *label = new QLabel(text, client);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case CtlKind::GroupBox:
        return new QGroupBox(text, client);
    case CtlKind::PushButton:
    case CtlKind::DefPushButton: {
        auto *button = new QPushButton(text, client);
        button->setAutoDefault(false);
        button->setDefault(c.kind == CtlKind::DefPushButton);
        return button;
    }
    case CtlKind::CheckBox:
        return new QCheckBox(text, client);
    case CtlKind::RadioButton: {
        auto *radio = new QRadioButton(text, client);
        // Groups are formed by the dialog; no exclusivity across the whole dialog.
        radio->setAutoExclusive(false);
        return radio;
    }
    case CtlKind::Edit: {
        auto *edit = new QLineEdit(text, client);
        return edit;
    }
    case CtlKind::ComboDropList:
        return new QComboBox(client);
    case CtlKind::ComboHistory:
        return new CComboBox2(client);
    case CtlKind::Link: {
        auto *link = new QLabel(client);
        SetLinkText(link, QStringLiteral("<a>%1</a>").arg(text));
        return link;
    }
    case CtlKind::Icon: {
        auto *icon = new QLabel(client);
        icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
        icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return icon;
    }
    case CtlKind::Custom:
        if (custom) {
            if (QWidget *w = custom(c, client))
                return w;
        }
        {
            auto *placeholder = new QFrame(client);
            placeholder->setFrameShape(QFrame::StyledPanel);
            placeholder->setAutoFillBackground(true);
            placeholder->setBackgroundRole(QPalette::Base);
            return placeholder;
        }
    }
    return new QWidget(client);
}

} // namespace

QFont DialogFont()
{
    QFont font = QApplication::font();
    font.setPointSize(9);
    return font;
}

DialogBaseUnits BaseUnitsForFont(const QFont &font)
{
    const QFontMetrics fm(font);
    const int letters = fm.horizontalAdvance(QString::fromLatin1(kBaseUnitLetters.data(),
                                                                 static_cast<int>(kBaseUnitLetters.size())));
    DialogBaseUnits units;
    units.cx = std::max(1, AverageCharWidthFromLetters(letters));
    units.cy = std::max(1, fm.height());
    return units;
}

void BuildDialogControls(QWidget *client, const DlgTemplate &tpl, const DialogBaseUnits &units,
                         const CustomControlFactory &custom)
{
    client->setFont(DialogFont());
    client->setFixedSize(DluToPixelsX(tpl.cx, units), DluToPixelsY(tpl.cy, units));
    for (const CtlTemplate &c : tpl.controls) {
        QWidget *w = MakeControl(c, client, custom);
        w->setFont(client->font());
        SetCtrlId(w, c.id);
        const PixRect r = DluToPixels(c.rect, units);
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            PlaceCombo(combo, r);
        } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
            // Our check mark and font need a little more room than the
            // template gives; take it where the dialog has it.
            const int width = std::min(std::max(r.width, check->sizeHint().width()), client->width() - r.x);
            w->setGeometry(r.x, r.y, width, r.height);
        }
        else
            w->setGeometry(r.x, r.y, r.width, r.height);
        w->setEnabled(!c.disabled);
        w->setVisible(!c.hidden);
    }
}

void SetCtrlId(QWidget *w, int id)
{
    w->setProperty(kIdProperty, id);
    if (id != kIdStatic)
        w->setObjectName(QStringLiteral("ctl%1").arg(id));
}

int CtrlId(const QWidget *w)
{
    const QVariant v = w->property(kIdProperty);
    return v.isValid() ? v.toInt() : kIdStatic;
}

QWidget *GetDlgItem(const QWidget *root, int id)
{
    if (!root || id == kIdStatic)
        return nullptr;
    return root->findChild<QWidget *>(QStringLiteral("ctl%1").arg(id));
}

QString LinkMarkup(const QString &plainText)
{
    return QStringLiteral("<a href=\"#\">%1</a>").arg(plainText.toHtmlEscaped());
}

QString LinkText(const QWidget *link)
{
    const QVariant v = link->property("linkText");
    return v.toString();
}

namespace {

// A disabled label still paints its anchors in the link colour, underlined,
// as if they could be clicked: while disabled, its text is shown plain, which
// the style greys.
class CLinkEnabledWatcher final : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            if (auto *link = qobject_cast<QWidget *>(watched))
                SetLinkText(link, LinkText(link));
        return false;
    }
};

} // namespace

void SetLinkText(QWidget *link, const QString &textWithAnchorTags)
{
    link->setProperty("linkText", textWithAnchorTags);
    auto *label = qobject_cast<QLabel *>(link);
    if (!label)
        return;
    if (!label->findChild<CLinkEnabledWatcher *>(QString(), Qt::FindDirectChildrenOnly))
        label->installEventFilter(new CLinkEnabledWatcher(label));
    // Only the anchor tags are markup; everything else is shown as typed.
    static const QRegularExpression anchor(QStringLiteral("<a>(.*?)</a>"));
    const bool bEnabled = label->isEnabled();
    QString html;
    qsizetype pos = 0;
    auto it = anchor.globalMatch(textWithAnchorTags);
    while (it.hasNext()) {
        const auto m = it.next();
        html += textWithAnchorTags.mid(pos, m.capturedStart() - pos).toHtmlEscaped();
        html += bEnabled ? LinkMarkup(m.captured(1)) : m.captured(1).toHtmlEscaped();
        pos = m.capturedEnd();
    }
    html += textWithAnchorTags.mid(pos).toHtmlEscaped();
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    label->setText(html);
}
