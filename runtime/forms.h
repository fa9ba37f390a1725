#pragma once

#include "runtime/errors.h"
#include "runtime/printer.h"

#include <functional>
#include <map>
#include <memory>
#include <typeindex>

class Form;

// The one registry of forms: a form exists once, is created hidden on its first reference
// and destroyed when unloaded. It also holds what the forms share with the platform: the
// font source, how the program ends and how run-time errors are reported.
class Forms {
public:
    explicit Forms(std::unique_ptr<FontSource> printer);
    ~Forms();
    Forms(const Forms &) = delete;
    Forms &operator=(const Forms &) = delete;

    static Forms &instance();

    // First reference: constructs the form hidden and runs its Form_Load.
    template <class F> static F &get();
    template <class F> static bool isLoaded();

    FontSource &printer() { return *m_printer; }
    void setPrinter(std::unique_ptr<FontSource> printer) { m_printer = std::move(printer); }

    int loadedCount() const { return int(m_forms.size()); }
    void unload(Form *form);
    // Unloads every form without running Form_Unload, as the end of the program does.
    void clear();

    // End: the program stops at once, no Form_Unload runs.
    void end(int status = 0);
    void reportError(ErrorCode code);

    // Test hooks. Without them, end() leaves the event loop and reportError() shows a message box
    // and exits with status 1.
    std::function<void(int status)> onEnd;
    std::function<void(ErrorCode code, const QString &message)> onError;

private:
    Form *find(std::type_index type) const;
    void add(std::type_index type, std::unique_ptr<Form> form);
    static void load(Form &form);

    std::unique_ptr<FontSource> m_printer;
    std::map<std::type_index, std::unique_ptr<Form>> m_forms;
};

template <class F> F &Forms::get()
{
    Forms &self = instance();
    if (Form *form = self.find(typeid(F)))
        return static_cast<F &>(*form);
    auto created = std::make_unique<F>();
    F &form = *created;
    self.add(typeid(F), std::move(created));
    load(form);
    return form;
}

template <class F> bool Forms::isLoaded()
{
    return instance().find(typeid(F)) != nullptr;
}
