#pragma once

#include "listedfonts.h"
#include "runtime/errors.h"
#include "runtime/form.h"
#include "runtime/printer.h"
#include "runtime/program.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

// For as long as it lives, records the run-time errors raised and how the program would have
// ended, instead of showing a message box or ending it.
struct Recorder {
    Recorder()
        : previousReport(setErrorReport([this](ErrorCode code, const QString &message) {
            errors.push_back(code);
            messages << message;
        }))
        , previousEnding(setEnding([this](int status) { ends.push_back(status); }))
    {
    }
    ~Recorder()
    {
        setErrorReport(std::move(previousReport));
        setEnding(std::move(previousEnding));
    }
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    std::vector<int> ends;
    std::vector<ErrorCode> errors;
    QStringList messages;

private:
    ErrorReport previousReport;
    Ending previousEnding;
};

// A registry of forms for one test, with a printer that offers the given font names, or those of
// the given source.
struct TestRegistry : Recorder {
    explicit TestRegistry(QStringList fonts = {})
        : TestRegistry(std::make_unique<ListedFonts>(std::move(fonts)))
    {
    }
    explicit TestRegistry(std::unique_ptr<FontSource> fonts)
        : printer(std::move(fonts))
    {
    }
    ~TestRegistry()
    {
        forms.clear();
        flushDeletes();
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    Printer printer;
    Forms forms;
};

// The fixture of the tests that load forms: each test function registers the forms of its own,
// with a printer offering the names it asks for, and every form is unloaded after it, so that
// nothing one test function does reaches the next.
class FormTest : public QObject {
    Q_OBJECT
protected:
    TestRegistry &registerForms(QStringList fonts = {})
    {
        return registerForms(std::make_unique<ListedFonts>(std::move(fonts)));
    }
    TestRegistry &registerForms(std::unique_ptr<FontSource> fonts)
    {
        registry.reset();
        registry = std::make_unique<TestRegistry>(std::move(fonts));
        return *registry;
    }

    std::unique_ptr<TestRegistry> registry;

protected slots:
    void cleanup() { registry.reset(); }
};
