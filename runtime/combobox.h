#pragma once

#include "runtime/sortedlist.h"

#include <QAbstractListModel>
#include <QComboBox>

class ListModel;
class QAccessibleInterface;

// A combo box as the forms use it: a drop-down list (choose only) or an editable drop-down.
// Selections made in code raise Click before the assignment returns; a user's selection by
// mouse, keyboard or wheel raises Click once; an editable box raises Change after every user
// edit and never when code sets its text.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    enum class Style { DropDownList, DropDownCombo };
    ComboBox(Style style, bool sorted, QWidget *parent = nullptr);
    ~ComboBox() override;

    void AddItem(const QString &text);
    int ListCount() const { return m_items.size(); }
    QString List(int index) const;
    int ListIndex() const { return m_listIndex; }
    void setListIndex(int index);
    QString Text() const;
    void setText(const QString &text);

    // Exposes the box to assistive technology with its name, value and drop-down list.
    static QAccessibleInterface *accessibleInterface(const QString &className, QObject *object);

signals:
    void Click();
    void Change();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void publish();
    void select(int index);
    void userActivated(int index);
    void userEdited();

    Style m_style;
    SortedList m_items;
    ListModel *m_model;
    int m_listIndex = -1;
    bool m_unpublished = false;
};
