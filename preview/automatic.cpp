#include "preview/frmprincipal.h"

void FrmPrincipal::cmdviau_Click()
{
    CmbNDL->setEnabled(false);
    Timer1->setEnabled(true);
    cmdfinau->setEnabled(true);
    cmdviau->setEnabled(false);
    posauto = CmbNDL->ListIndex();
}

void FrmPrincipal::cmdfinau_Click()
{
    Timer1->setEnabled(false);
    CmbNDL->setEnabled(true);
    cmdviau->setEnabled(true);
    cmdfinau->setEnabled(false);
}

void FrmPrincipal::Timer1_Timer()
{
    const int count = CmbNDL->ListCount();
    // An empty list has no entry to show.
    if (count == 0)
        return;
    posauto += 1;
    if (posauto > count - 1)
        posauto = 0;
    CmbNDL->setText(CmbNDL->List(posauto));
    // The next font is loaded while the window waits for the next tick.
    txtvisu->prepareFontName(CmbNDL->List(posauto + 1 > count - 1 ? 0 : posauto + 1));
}
