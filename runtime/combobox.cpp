#include "runtime/combobox.h"

#include "runtime/errors.h"
#include "runtime/platform.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QProxyStyle>
#include <QSignalBlocker>

// Serves the entries to the widget. Row count changes reach the widget only when published,
// so a hidden list can take thousands of insertions without a signal or layout for each.
class ListModel : public QAbstractListModel {
public:
    ListModel(const SortedList &items, QObject *parent)
        : QAbstractListModel(parent)
        , m_items(items)
    {
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_rows; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_rows)
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_items.at(index.row());
        return {};
    }

    void publish()
    {
        beginResetModel();
        m_rows = m_items.size();
        endResetModel();
    }

private:
    const SortedList &m_items;
    int m_rows = 0;
};

// The list drops down below the box and shows its eight rows, as a drop-down list does. Styles that
// open it as a menu over the box ignore the row count and first measure the text of every entry.
// Its entries are drawn as the platform's own lists draw theirs. One serves every combo box and its
// list, over the application's style as it is when the first box is made.
class DropDownStyle : public QProxyStyle {
public:
    DropDownStyle()
        : QProxyStyle(QApplication::style()->name())
    {
        setParent(qApp);
    }

    static QStyle *shared()
    {
        static QPointer<DropDownStyle> style;
        if (!style)
            style = new DropDownStyle;
        return style;
    }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
        QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget) const override
    {
        if (element == CE_ItemViewItem)
            if (QStyle *entries = listEntryStyle()) {
                entries->drawControl(element, option, painter, widget);
                return;
            }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
// Orca 48 no longer reads a new entry from the text of a box that cannot be edited, only from the box's
// selection: the entry the box shows, as its row in the drop-down list. QComboBox raises a value change
// for every new entry, and Qt's AT-SPI bridge sends that as the box's selection change. The user
// chooses with the arrow keys or the list, not through the screen reader: the selection is read only.
class EntrySelection : public QAccessibleSelectionInterface {
public:
    explicit EntrySelection(const QComboBox *combo)
        : m_combo(combo)
    {
    }

    void *cast(QAccessible::InterfaceType type)
    {
        return type == QAccessible::SelectionInterface ? static_cast<QAccessibleSelectionInterface *>(this)
                                                       : nullptr;
    }

    int selectedItemCount() const override { return entry() ? 1 : 0; }
    QAccessibleInterface *selectedItem(int selectionIndex) const override
    {
        return selectionIndex == 0 ? entry() : nullptr;
    }
    QList<QAccessibleInterface *> selectedItems() const override
    {
        if (QAccessibleInterface *shown = entry())
            return { shown };
        return {};
    }
    bool select(QAccessibleInterface *) override { return false; }
    bool unselect(QAccessibleInterface *) override { return false; }
    bool selectAll() override { return false; }
    bool clear() override { return false; }

private:
    // An editable box's text need not be an entry, and typing leaves the current index behind.
    QAccessibleInterface *entry() const
    {
        if (!m_combo)
            return nullptr;
        const int row = m_combo->isEditable()
            ? m_combo->findText(m_combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive)
            : m_combo->currentIndex();
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(m_combo->view());
        if (row < 0 || !list || !list->tableInterface())
            return nullptr;
        return list->tableInterface()->cellAt(row, 0);
    }

    QPointer<const QComboBox> m_combo;
};
#else
// Qt 6.4 has no selection interface; Orca 43 reads the entry through the text.
class EntrySelection {
public:
    explicit EntrySelection(const QComboBox *) { }
    void *cast(QAccessible::InterfaceType) { return nullptr; }
};
#endif

// On Linux Qt names a combo box after its current entry and leaves the name to a buddy label; the
// font list has no label, so a screen reader would announce a font name as the list's name. The
// current entry is the box's value, and its text: over AT-SPI a combo box offers no value of its
// own, and a screen reader reads the entry through the text.
class AccessibleComboBox : public QAccessibleWidget, public QAccessibleTextInterface, public EntrySelection {
public:
    explicit AccessibleComboBox(ComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
        , EntrySelection(combo)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (void *selection = EntrySelection::cast(type))
            return selection;
        return QAccessibleWidget::interface_cast(type);
    }

    // The read-only text of the current entry, the caret at its start. A drop-down list that has
    // the focus shows its entry highlighted: the entry is then its selection.
    QString text(int startOffset, int endOffset) const override
    {
        return combo()->currentText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(combo()->currentText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override { }
    int selectionCount() const override
    {
        return !combo()->isEditable() && combo()->hasFocus() && characterCount() > 0 ? 1 : 0;
    }
    void selection(int index, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = index == 0 && selectionCount() == 1 ? characterCount() : 0;
    }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override { }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
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

QAccessibleInterface *ComboBox::accessibleInterface(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(ComboBox::staticMetaObject.className()))
        if (auto *combo = qobject_cast<ComboBox *>(object))
            return new AccessibleComboBox(combo);
    return nullptr;
}

ComboBox::ComboBox(Style style, bool sorted, QWidget *parent)
    : QComboBox(parent)
    , m_style(style)
    , m_items(sorted)
    , m_model(new ListModel(m_items, this))
{
    setModel(m_model);
    setStyle(DropDownStyle::shared());
    view()->setStyle(DropDownStyle::shared());
    // The widget must never size itself to its contents: with thousands of entries that
    // measures every one of them.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto *list = qobject_cast<QListView *>(view()))
        list->setUniformItemSizes(true);
    setMaxVisibleItems(8);
    if (style == Style::DropDownCombo) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
        connect(lineEdit(), &QLineEdit::textEdited, this, &ComboBox::userEdited);
    }
    connect(this, &QComboBox::activated, this, &ComboBox::userActivated);
    // A screen reader hears a new entry of a drop-down list as its text being replaced (an
    // editable box's text field tells of its own changes).
    if (style != Style::DropDownCombo) {
        connect(this, &QComboBox::currentTextChanged, this,
            [this, before = QString()](const QString &now) mutable {
                if (QAccessible::isActive() && isVisible()) {
                    QAccessibleTextUpdateEvent replaced(this, 0, before, now);
                    QAccessible::updateAccessibility(&replaced);
                }
                before = now;
            });
    }
}

ComboBox::~ComboBox() = default;

void ComboBox::AddItem(const QString &text)
{
    const int position = m_items.insert(text);
    if (m_listIndex >= position)
        ++m_listIndex;
    m_unpublished = true;
    if (isVisible())
        publish();
}

QString ComboBox::List(int index) const
{
    if (index < 0 || index >= m_items.size())
        return QString();
    return m_items.at(index);
}

void ComboBox::publish()
{
    if (!m_unpublished)
        return;
    m_unpublished = false;
    const QSignalBlocker blocker(this);
    const QString typed = lineEdit() ? lineEdit()->text() : QString();
    m_model->publish();
    QComboBox::setCurrentIndex(m_listIndex);
    if (lineEdit())
        lineEdit()->setText(typed);
}

void ComboBox::select(int index)
{
    publish();
    m_listIndex = index;
    {
        const QSignalBlocker blocker(this);
        QComboBox::setCurrentIndex(index);
    }
    emit Click();
}

void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= m_items.size()) {
        RaiseError(ErrorCode::InvalidPropertyValue);
        return;
    }
    select(index);
}

QString ComboBox::Text() const
{
    if (m_style == Style::DropDownCombo)
        return lineEdit()->text();
    return List(m_listIndex);
}

void ComboBox::setText(const QString &text)
{
    if (m_style == Style::DropDownCombo) {
        lineEdit()->setText(text);
        m_listIndex = m_items.indexOf(text);
        return;
    }
    const int index = m_items.indexOf(text);
    if (index >= 0)
        select(index);
}

void ComboBox::showEvent(QShowEvent *event)
{
    publish();
    QComboBox::showEvent(event);
}

void ComboBox::userActivated(int index)
{
    m_listIndex = index;
    emit Click();
}

void ComboBox::userEdited()
{
    m_listIndex = -1;
    emit Change();
}
