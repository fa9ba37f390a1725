#pragma once

#include "preview/frmprincipal.h"
#include "startup/frmpresenta.h"
#include "testsupport.h"

// Runs the start-up as the splash's tick does and gives the preview window it shows.
inline FrmPrincipal &startPreview()
{
    Forms::get<FrmPresenta>().Timer1->fire();
    return Forms::get<FrmPrincipal>();
}
