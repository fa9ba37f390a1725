#pragma once

#include "preview/frmprincipal.h"
#include "runtime/forms.h"
#include "startup/frmpresenta.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>

#include <memory>
#include <vector>

// A registry of forms for one test: fake font names, and hooks that record how the program would
// have ended or which run-time errors it would have reported, instead of ending it.
struct TestRegistry {
    explicit TestRegistry(QStringList fonts = {})
        : forms(std::make_unique<ListedFonts>(std::move(fonts)))
    {
        forms.onEnd = [this](int status) { ends.push_back(status); };
        forms.onError = [this](ErrorCode code, const QString &message) {
            errors.push_back(code);
            messages << message;
        };
    }
    ~TestRegistry()
    {
        forms.clear();
        flushDeletes();
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    Forms forms;
    std::vector<int> ends;
    std::vector<ErrorCode> errors;
    QStringList messages;
};

// Runs the start-up as the splash's tick does and gives the preview window it shows.
inline FrmPrincipal &startPreview()
{
    Forms::get<FrmPresenta>().Timer1->fire();
    return Forms::get<FrmPrincipal>();
}
