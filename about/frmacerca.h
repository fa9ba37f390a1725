#pragma once

#include "runtime/controls.h"
#include "runtime/form.h"

// The credits window. While it is loaded the preview window takes no input.
class frmacerca : public Form {
    Q_OBJECT
public:
    frmacerca();

    Image *Image1;

    void Form_Load() override;
    void Form_Unload() override;
};
