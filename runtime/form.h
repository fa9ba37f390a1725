#pragma once

#include "runtime/forms.h"
#include "runtime/layout.h"

#include <QWidget>

// A top-level window with a fixed client area, built from its control table.
class Form : public QWidget {
    Q_OBJECT
public:
    Form(const FormSpec &spec, std::span<const ControlSpec> controls);

    virtual void Form_Load() { }
    virtual void Form_Unload() { }

    // Visible and modeless, with no owner.
    void Show();
    void Unload();
    void stopTimers();

    template <class T> T *control(const char *name) const
    {
        auto *found = findChild<T *>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
        Q_ASSERT_X(found, "Form::control", name);
        return found;
    }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    FormSpec m_spec;
    QWidget *m_firstFocus = nullptr;
    bool m_shownOnce = false;
};
