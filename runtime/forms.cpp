#include "runtime/forms.h"

#include "runtime/form.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdlib>

namespace {
Forms *theRegistry = nullptr;
}

Forms::Forms(std::unique_ptr<FontSource> printer)
    : m_printer(std::move(printer))
{
    Q_ASSERT(!theRegistry);
    theRegistry = this;
}

Forms::~Forms()
{
    clear();
    theRegistry = nullptr;
}

Forms &Forms::instance()
{
    Q_ASSERT(theRegistry);
    return *theRegistry;
}

Form *Forms::find(std::type_index type) const
{
    auto it = m_forms.find(type);
    return it == m_forms.end() ? nullptr : it->second.get();
}

void Forms::add(std::type_index type, std::unique_ptr<Form> form)
{
    m_forms.emplace(type, std::move(form));
}

void Forms::load(Form &form)
{
    form.Form_Load();
}

void Forms::unload(Form *form)
{
    auto it = std::find_if(m_forms.begin(), m_forms.end(), [form](const auto &entry) {
        return entry.second.get() == form;
    });
    if (it == m_forms.end())
        return;
    form->Form_Unload();
    form->stopTimers();
    form->hide();
    // The form may be unloading itself from one of its own handlers: delete it once they return.
    it->second.release()->deleteLater();
    m_forms.erase(it);
    if (m_forms.empty())
        end(0);
}

void Forms::clear()
{
    for (auto &entry : m_forms)
        entry.second->stopTimers();
    m_forms.clear();
}

void Forms::end(int status)
{
    if (onEnd) {
        onEnd(status);
        return;
    }
    QCoreApplication::exit(status);
}

void Forms::reportError(ErrorCode code)
{
    const QString message = errorMessage(code);
    if (onError) {
        onError(code, message);
        return;
    }
    QMessageBox::critical(nullptr, QCoreApplication::applicationName(), message);
    std::exit(1);
}
