#pragma once

#include "runtime/layout.h"

#include <QPalette>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <typeindex>
#include <utility>
#include <vector>

class QAccessibleInterface;

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

    // Presents a form to assistive technology as a window, not as a client area.
    static QAccessibleInterface *accessibleInterface(const QString &className, QObject *object);

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    friend class Forms;
    FormSpec m_spec;
    QWidget *m_firstFocus = nullptr;
    bool m_shownOnce = false;
    // When Show last ran, counted over all forms.
    quint64 m_shownAt = 0;
    // While the form is disabled, the palettes its controls had set before (none: inherited).
    std::vector<std::pair<QPointer<QWidget>, std::optional<QPalette>>> m_enabledPalettes;
    // The control that last had the focus: Qt takes the focus from a form it disables, and the
    // form gives it back when it takes input again, as the system the program was written for does.
    QPointer<QWidget> m_lastFocus;
};

// The one registry of forms: a form exists once, is created hidden on its first reference and
// destroyed when unloaded. The program ends when its last form unloads.
class Forms {
public:
    Forms();
    ~Forms();
    Forms(const Forms &) = delete;
    Forms &operator=(const Forms &) = delete;

    // First reference: constructs the form hidden and runs its Form_Load.
    template <class F> static F &get();
    template <class F> static bool isLoaded();

    static void unload(Form *form);
    // The form shown last of those on screen, not minimised and taking input, other than one.
    static Form *frontmost(const Form *besides);
    // Unloads every form without running Form_Unload, as the end of the program does.
    void clear();

private:
    static Forms &instance();
    Form *find(std::type_index type) const;

    std::map<std::type_index, std::unique_ptr<Form>> m_forms;
};

template <class F> F &Forms::get()
{
    Forms &self = instance();
    if (Form *form = self.find(typeid(F)))
        return static_cast<F &>(*form);
    auto created = std::make_unique<F>();
    F &form = *created;
    self.m_forms.emplace(typeid(F), std::move(created));
    form.Form_Load();
    return form;
}

template <class F> bool Forms::isLoaded()
{
    return instance().find(typeid(F)) != nullptr;
}
