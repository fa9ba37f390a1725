#include "runtime/layout.h"

#include "runtime/combobox.h"
#include "runtime/controls.h"
#include "runtime/faces.h"
#include "runtime/units.h"

#include <QFont>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

QFont fixedFont(const FixedFont &spec)
{
    QFont font;
    font.setFamilies({ Faces::fixedFace(QString::fromUtf8(spec.face)) });
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
            QPoint(twipsToPixels(row.width), twipsToPixels(row.height)), s.lineWidth, s.lineColour, form);
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
        auto *combo = new ComboBox(
            row.kind == Kind::DropDownList ? ComboBox::Style::DropDownList : ComboBox::Style::DropDownCombo,
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
    std::sort(
        focusable.begin(), focusable.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(focusable[i - 1].second, focusable[i].second);
    return focusable.empty() ? nullptr : focusable.front().second;
}
