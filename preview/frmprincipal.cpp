#include "preview/frmprincipal.h"

#include "about/frmacerca.h"
#include "preview/colours.h"
#include "runtime/program.h"

namespace {

constexpr quint32 LightGrey = 0xC0C0C0;
constexpr FixedFont Heading { "MS Sans Serif", 12, true, true };
constexpr FixedFont Caption { "MS Sans Serif", 12 };
constexpr FixedFont Count { "MS Sans Serif", 13.5, true };

const QStringList Sizes { "8", "10", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72" };

QStringList colourNames()
{
    QStringList names;
    for (const NamedColour &colour : NamedColours)
        names << QString::fromUtf8(colour.name);
    return names;
}

const FormSpec Window {
    .caption = "Quelvaro - Dorvane",
    .border = Border::FixedSingle,
    .minButton = false,
    .maxButton = false,
    .placement = Placement::CentreScreen,
    .clientWidth = 5415,
    .clientHeight = 6450,
    .background = LightGrey,
    .icon = true,
};

// clang-format off
const ControlSpec Controls[] = {
    // name       kind                 caption                                left   top  width height  tab  other settings
    { "Timer1",   Kind::Timer,         "",                                       0,    0,     0,    0,  -1, { .enabled = false, .interval = 750 } },
    { "cmdfinau", Kind::CommandButton, "Finalizar Visualización Automática",   120, 4560,  5175,  375,  15, { .enabled = false } },
    { "cmdviau",  Kind::CommandButton, "Iniciar Visualización Automática",     120, 4080,  5175,  375,  14 },
    { "CmbColor", Kind::DropDownList,  "",                                     960, 1080,  1575,  315,  12, { .items = colourNames(), .accessibleName = "Color" } },
    { "txtvisu",  Kind::TextBox,       "Texto ejemplo",                        120, 1440,  5175, 1575,  11, { .accessibleName = "Texto de ejemplo" } },
    { "cmdcerca", Kind::CommandButton, "Acerca De...",                         120, 5400,  2535,  375,  10 },
    { "Cmdsalir", Kind::CommandButton, "Salir",                               2760, 5400,  2535,  375,   9 },
    { "CmbTama",  Kind::DropDownCombo, "CmbTama",                             4320, 1080,   975,  315,   8, { .items = Sizes, .accessibleName = "Tamaño" } },
    { "csubra",   Kind::CheckBox,      "Subrayada",                           3960, 3120,  1335,  255,   5, { .background = LightGrey } },
    { "ccursi",   Kind::CheckBox,      "Cursiva",                             2160, 3120,  1215,  255,   4, { .background = LightGrey } },
    { "cnegri",   Kind::CheckBox,      "Negrita",                              120, 3120,  1215,  255,   3, { .background = LightGrey } },
    { "CmbNDL",   Kind::DropDownList,  "",                                     120,  600,  5175,  315,   0, { .sorted = true, .accessibleName = "Fuente" } },
    { "Line2",    Kind::Line,          "",                                       0, 5160,  5400, 5160,  -1, { .lineWidth = 2, .lineColour = 0x000000 } },
    { "Label4",   Kind::Label,         "Visualización Automática",             120, 3600,  5175,  375,  13, { .font = Heading, .background = LightGrey } },
    { "Line1",    Kind::Line,          "",                                       0, 6000,  5400, 6000,  -1, { .lineWidth = 2, .lineColour = 0x000000 } },
    { "Label3",   Kind::Label,         "Tamaño :",                            3120, 1080,  1095,  255,   7, { .font = Caption, .background = LightGrey, .buddy = "CmbTama" } },
    { "Label2",   Kind::Label,         "Color :",                              120, 1080,   735,  255,   6, { .font = Caption, .background = LightGrey, .buddy = "CmbColor" } },
    { "Label1",   Kind::Label,         "Visualización Normal",                 120,  120,  5175,  375,   2, { .font = Heading, .background = LightGrey } },
    { "lblcant",  Kind::Label,         "",                                    -120, 6050,  5535,  405,   1, { .font = Count, .background = LightGrey, .centred = true } },
};
// clang-format on

} // namespace

FrmPrincipal::FrmPrincipal()
    : Form(Window, Controls)
    , Timer1(control<Timer>("Timer1"))
    , cmdfinau(control<CommandButton>("cmdfinau"))
    , cmdviau(control<CommandButton>("cmdviau"))
    , CmbColor(control<ComboBox>("CmbColor"))
    , txtvisu(control<TextBox>("txtvisu"))
    , cmdcerca(control<CommandButton>("cmdcerca"))
    , Cmdsalir(control<CommandButton>("Cmdsalir"))
    , CmbTama(control<ComboBox>("CmbTama"))
    , csubra(control<CheckBox>("csubra"))
    , ccursi(control<CheckBox>("ccursi"))
    , cnegri(control<CheckBox>("cnegri"))
    , CmbNDL(control<ComboBox>("CmbNDL"))
    , Line2(control<Line>("Line2"))
    , Label4(control<Label>("Label4"))
    , Line1(control<Line>("Line1"))
    , Label3(control<Label>("Label3"))
    , Label2(control<Label>("Label2"))
    , Label1(control<Label>("Label1"))
    , lblcant(control<Label>("lblcant"))
{
    connect(CmbNDL, &ComboBox::Click, this, &FrmPrincipal::CmbNDL_Click);
    connect(CmbTama, &ComboBox::Click, this, &FrmPrincipal::CmbTama_Click);
    connect(CmbTama, &ComboBox::Change, this, &FrmPrincipal::CmbTama_Change);
    connect(cnegri, &CheckBox::Click, this, &FrmPrincipal::cnegri_Click);
    connect(ccursi, &CheckBox::Click, this, &FrmPrincipal::ccursi_Click);
    connect(csubra, &CheckBox::Click, this, &FrmPrincipal::csubra_Click);
    connect(CmbColor, &ComboBox::Click, this, &FrmPrincipal::CmbColor_Click);
    connect(Cmdsalir, &CommandButton::Click, this, &FrmPrincipal::Cmdsalir_Click);
    connect(cmdcerca, &CommandButton::Click, this, &FrmPrincipal::cmdcerca_Click);
    connect(cmdviau, &CommandButton::Click, this, &FrmPrincipal::cmdviau_Click);
    connect(cmdfinau, &CommandButton::Click, this, &FrmPrincipal::cmdfinau_Click);
    connect(Timer1, &Timer::Tick, this, &FrmPrincipal::Timer1_Timer);
}

void FrmPrincipal::Cmdsalir_Click()
{
    End();
}

void FrmPrincipal::cmdcerca_Click()
{
    Forms::get<frmacerca>().Show();
}
