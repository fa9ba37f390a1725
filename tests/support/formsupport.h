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
