#include "runtime/printer.h"

#include "runtime/errors.h"

namespace {
Printer *thePrinter = nullptr;
}

Printer::Printer(std::unique_ptr<FontSource> source)
    : m_source(std::move(source))
{
    Q_ASSERT(!thePrinter);
    thePrinter = this;
}

Printer::~Printer()
{
    thePrinter = nullptr;
}

FontSource *Printer::source()
{
    if (thePrinter && thePrinter->m_source)
        return thePrinter->m_source.get();
    RaiseError(ErrorCode::PrinterError);
    return nullptr;
}

int Printer::FontCount()
{
    FontSource *fonts = source();
    return fonts ? fonts->FontCount() : 0;
}

QString Printer::Fonts(int index)
{
    FontSource *fonts = source();
    return fonts ? fonts->Fonts(index) : QString();
}
