#include "startup/catalogue.h"

#include "preview/frmprincipal.h"
#include "runtime/forms.h"

void CargarFuentes()
{
    FontSource &printer = Forms::instance().printer();
    FrmPrincipal &principal = Forms::get<FrmPrincipal>();
    const int count = printer.FontCount();
    int listed = 0;
    for (int i = 0; i < count; ++i) {
        const QString name = printer.Fonts(i);
        if (name.isEmpty())
            continue;
        principal.CmbNDL->AddItem(name);
        ++listed;
        principal.lblcant->setCaption(QStringLiteral(" %1 fuentes listadas").arg(listed));
    }
}
