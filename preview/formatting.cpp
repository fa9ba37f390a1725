#include "preview/colours.h"
#include "preview/frmprincipal.h"
#include "runtime/errors.h"

void FrmPrincipal::CmbNDL_Click()
{
    txtvisu->setFontName(CmbNDL->Text());
}

void FrmPrincipal::CmbTama_Click()
{
    if (!txtvisu->setFontSize(CmbTama->Text()))
        RaiseError(ErrorCode::TypeMismatch);
}

void FrmPrincipal::CmbTama_Change()
{
    // Whatever the user has typed so far: a text that is no usable size is ignored.
    txtvisu->setFontSize(CmbTama->Text());
}

void FrmPrincipal::cnegri_Click()
{
    txtvisu->setFontBold(cnegri->Value() != 0);
}

void FrmPrincipal::ccursi_Click()
{
    txtvisu->setFontItalic(ccursi->Value() != 0);
}

void FrmPrincipal::csubra_Click()
{
    txtvisu->setFontUnderline(csubra->Value() != 0);
}

void FrmPrincipal::CmbColor_Click()
{
    for (const NamedColour &colour : NamedColours) {
        if (CmbColor->Text() == QString::fromUtf8(colour.name))
            txtvisu->setForeColor(colour.value);
    }
}
