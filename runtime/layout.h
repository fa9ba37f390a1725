#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <span>

class QWidget;

enum class Kind { Label, TextBox, CommandButton, CheckBox, DropDownList, DropDownCombo, Timer, Image, Line };

struct FixedFont {
    const char *face;
    double points;
    bool bold = false;
    bool underline = false;
};

struct Settings {
    bool enabled = true;
    bool sorted = false;
    QStringList items = {};
    int interval = 0;
    std::optional<FixedFont> font = std::nullopt;
    std::optional<quint32> background = std::nullopt;
    bool centred = false;
    const char *picture = nullptr;
    int lineWidth = 1;
    quint32 lineColour = 0;
    // What a screen reader calls a control that shows no caption of its own.
    const char *accessibleName = nullptr;
    // For a label: the control it names, which a screen reader then announces with it.
    const char *buddy = nullptr;
};

// One row of a form's control table. Lengths in twips; for a Line, left/top and width/height are
// the two end points (x1, y1) and (x2, y2).
struct ControlSpec {
    const char *name;
    Kind kind;
    const char *caption;
    int left = 0, top = 0, width = 0, height = 0;
    int tabIndex = -1;
    Settings settings = {};
};

enum class Border { None, FixedSingle };
enum class Placement { CentreScreen, Default };

struct FormSpec {
    const char *caption;
    Border border;
    bool minButton;
    bool maxButton;
    Placement placement;
    int clientWidth, clientHeight;
    std::optional<quint32> background;
    bool icon;
};

// Creates the controls of a table as children of form, named after their rows, gives them their
// accessible names and labels their buddies, and chains their tab order by tab index. Returns the
// first control of the tab order, if any.
QWidget *buildControls(QWidget *form, std::span<const ControlSpec> controls);
