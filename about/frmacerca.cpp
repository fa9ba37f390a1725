#include "about/frmacerca.h"

#include "identity.h"
#include "preview/frmprincipal.h"

namespace {

const FormSpec Window {
    .caption = "Acerca De Quelvaro",
    .border = Border::FixedSingle,
    .minButton = true,
    .maxButton = false,
    .placement = Placement::Default,
    .clientWidth = 5415,
    .clientHeight = 3675,
    .background = 0xFFFFFF,
    .icon = true,
};

// clang-format off
const ControlSpec Controls[] = {
    // name     kind         caption left  top  width height  tab  other settings
    { "Image1", Kind::Image, "",        0, -120, 5445,  3825,  -1, { .picture = ":/about.png",
                                                                    .accessibleName = QUELVARO_MAKER ". " QUELVARO_NAME " "
                                                                                      QUELVARO_RELEASE ", " QUELVARO_CONTACT } },
};
// clang-format on

} // namespace

frmacerca::frmacerca()
    : Form(Window, Controls)
    , Image1(control<Image>("Image1"))
{
}

void frmacerca::Form_Load()
{
    Forms::get<FrmPrincipal>().setEnabled(false);
}

void frmacerca::Form_Unload()
{
    Forms::get<FrmPrincipal>().setEnabled(true);
}
