#include "startup/catalogue.h"

#include "preview/frmprincipal.h"
#include "runtime/printer.h"

void CargarFuentes()
{
    FrmPrincipal &principal = Forms::get<FrmPrincipal>();
    const int count = Printer::FontCount();
    int listed = 0;
    for (int i = 0; i < count; ++i) {
        const QString name = Printer::Fonts(i);
        if (name.isEmpty())
            continue;
        principal.CmbNDL->AddItem(name);
        ++listed;
        principal.lblcant->setCaption(QStringLiteral(" %1 fuentes listadas").arg(listed));
    }
}
