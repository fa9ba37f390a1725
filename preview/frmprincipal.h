#pragma once

#include "runtime/combobox.h"
#include "runtime/controls.h"
#include "runtime/form.h"

// The preview window.
class FrmPrincipal : public Form {
    Q_OBJECT
public:
    FrmPrincipal();

    Timer *Timer1;
    CommandButton *cmdfinau;
    CommandButton *cmdviau;
    ComboBox *CmbColor;
    TextBox *txtvisu;
    CommandButton *cmdcerca;
    CommandButton *Cmdsalir;
    ComboBox *CmbTama;
    CheckBox *csubra;
    CheckBox *ccursi;
    CheckBox *cnegri;
    ComboBox *CmbNDL;
    Line *Line2;
    Label *Label4;
    Line *Line1;
    Label *Label3;
    Label *Label2;
    Label *Label1;
    Label *lblcant;

    // The entry automatic viewing showed last.
    int posauto = 0;

    void CmbNDL_Click();
    void CmbTama_Click();
    void CmbTama_Change();
    void cnegri_Click();
    void ccursi_Click();
    void csubra_Click();
    void CmbColor_Click();

    void Cmdsalir_Click();
    void cmdcerca_Click();

    void cmdviau_Click();
    void cmdfinau_Click();
    void Timer1_Timer();
};
