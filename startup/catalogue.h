#pragma once

// Reads the font names into the preview window's sorted font list and its count label.
void CargarFuentes();
