#include "runtime/layout.h"

#include "runtime/combobox.h"
#include "runtime/controls.h"
#include "runtime/faces.h"
#include "runtime/units.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QAccessibleWidget>
#include <QFont>
#include <QFontInfo>
#include <QHash>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

// On Linux Qt names a combo box after its current entry and leaves the name to a buddy label; the
// font list has no label, so a screen reader would announce a font name as the list's name.
class AccessibleComboBox : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(ComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->currentText();
        if (t == QAccessible::Name && !combo()->accessibleName().isEmpty())
            return combo()->accessibleName();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        s.editable = combo()->isEditable();
        return s;
    }

    // The drop-down list, and for an editable box its text field.
    int childCount() const override { return combo()->lineEdit() ? 2 : 1; }

    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->lineEdit())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        if (combo()->lineEdit() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }

    QStringList actionNames() const override
    {
        return QStringList { showMenuAction(), pressAction() } + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action == showMenuAction() || action == pressAction()) {
            if (combo()->view()->isVisible())
                combo()->hidePopup();
            else
                combo()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    ComboBox *combo() const { return static_cast<ComboBox *>(object()); }
};

QAccessibleInterface *accessibleControl(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(ComboBox::staticMetaObject.className()))
        if (auto *combo = qobject_cast<ComboBox *>(object))
            return new AccessibleComboBox(combo);
    return nullptr;
}

// The face a fixed font is drawn in: the named one if installed, else the first installed of the
// faces made to its metrics, else the face the interface font is drawn in. Only that one face is
// named: a family Qt cannot find, or any fallback family beside it, makes Qt rank every installed
// family when the font is first drawn, which with tens of thousands of them takes seconds.
QString fixedFace(const char *face)
{
    static QHash<QString, QString> found;
    const QString name = QString::fromUtf8(face);
    auto it = found.constFind(name);
    if (it == found.constEnd()) {
        QString installed = Faces::firstInstalled({ name, QStringLiteral("Microsoft Sans Serif"),
            QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial"),
            QStringLiteral("Nimbus Sans") });
        if (installed.isEmpty())
            installed = QFontInfo(QApplication::font()).family();
        it = found.insert(name, installed);
    }
    return *it;
}

QFont fixedFont(const FixedFont &spec)
{
    QFont font;
    font.setFamilies({ fixedFace(spec.face) });
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(spec.points);
    font.setBold(spec.bold);
    font.setUnderline(spec.underline);
    return font;
}

void setBackground(QWidget *widget, quint32 value)
{
    QPalette p = widget->palette();
    p.setColor(widget->backgroundRole(), colourFromValue(value));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QObject *createControl(QWidget *form, const ControlSpec &row)
{
    const Settings &s = row.settings;
    const QString caption = QString::fromUtf8(row.caption);
    QWidget *widget = nullptr;
    switch (row.kind) {
    case Kind::Timer: {
        auto *timer = new Timer(form);
        timer->setInterval(s.interval);
        timer->setEnabled(s.enabled);
        return timer;
    }
    case Kind::Line:
        widget = new Line(QPoint(twipsToPixels(row.left), twipsToPixels(row.top)),
                          QPoint(twipsToPixels(row.width), twipsToPixels(row.height)), s.lineWidth, s.lineColour,
                          form);
        widget->lower();
        break;
    case Kind::Label: {
        auto *label = new Label(caption, form);
        label->setAlignment((s.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        label->setWordWrap(true);
        widget = label;
        break;
    }
    case Kind::TextBox: {
        auto *text = new TextBox(form);
        text->setPlainText(caption);
        widget = text;
        break;
    }
    case Kind::CommandButton: {
        auto *button = new CommandButton(form);
        button->setText(caption);
        widget = button;
        break;
    }
    case Kind::CheckBox: {
        auto *check = new CheckBox(form);
        check->setText(caption);
        widget = check;
        break;
    }
    case Kind::DropDownList:
    case Kind::DropDownCombo: {
        auto *combo = new ComboBox(row.kind == Kind::DropDownList ? ComboBox::Style::DropDownList
                                                                    : ComboBox::Style::DropDownCombo,
                                   s.sorted, form);
        for (const QString &item : s.items)
            combo->AddItem(item);
        if (row.kind == Kind::DropDownCombo)
            combo->setText(caption);
        widget = combo;
        break;
    }
    case Kind::Image: {
        auto *image = new Image(form);
        if (s.picture)
            image->setPicture(QString::fromUtf8(s.picture));
        widget = image;
        break;
    }
    }
    if (row.kind != Kind::Line)
        widget->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
    if (s.font)
        widget->setFont(fixedFont(*s.font));
    if (s.background)
        setBackground(widget, *s.background);
    if (s.accessibleName)
        widget->setAccessibleName(QString::fromUtf8(s.accessibleName));
    widget->setEnabled(s.enabled);
    return widget;
}

} // namespace

QWidget *buildControls(QWidget *form, std::span<const ControlSpec> controls)
{
    QAccessible::installFactory(accessibleControl);
    std::vector<std::pair<int, QWidget *>> focusable;
    for (const ControlSpec &row : controls) {
        QObject *control = createControl(form, row);
        control->setObjectName(QString::fromUtf8(row.name));
        auto *widget = qobject_cast<QWidget *>(control);
        if (widget && row.tabIndex >= 0 && widget->focusPolicy() != Qt::NoFocus)
            focusable.emplace_back(row.tabIndex, widget);
    }
    for (const ControlSpec &row : controls) {
        if (!row.settings.buddy)
            continue;
        const auto direct = Qt::FindDirectChildrenOnly;
        auto *label = form->findChild<Label *>(QString::fromUtf8(row.name), direct);
        auto *buddy = form->findChild<QWidget *>(QString::fromUtf8(row.settings.buddy), direct);
        Q_ASSERT_X(label && buddy, "buildControls", row.name);
        if (label && buddy)
            label->setBuddy(buddy);
    }
    std::sort(focusable.begin(), focusable.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(focusable[i - 1].second, focusable[i].second);
    return focusable.empty() ? nullptr : focusable.front().second;
}
