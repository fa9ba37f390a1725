#pragma once

#include "preview/frmprincipal.h"
#include "startup/frmpresenta.h"
#include "testsupport.h"
#include "ticks.h"

// Runs the start-up as the splash's tick does and gives the preview window it shows.
inline FrmPrincipal &startPreview()
{
    tick(*Forms::get<FrmPresenta>().Timer1);
    return Forms::get<FrmPrincipal>();
}

// A form test that starts the program and works in the preview window.
class PreviewTest : public FormTest {
protected:
    FrmPrincipal &openPreview(QStringList fonts)
    {
        return openPreview(std::make_unique<ListedFonts>(std::move(fonts)));
    }
    FrmPrincipal &openPreview(std::unique_ptr<FontSource> fonts)
    {
        registerForms(std::move(fonts));
        form = &startPreview();
        return *form;
    }

    FrmPrincipal *form = nullptr;
};
