#pragma once
// Geometry and look shared by every control of the window.
#include <QColor>
#include <QFont>

// Positions and sizes are given in twips (1/1440 inch); 15 twips make one
// device-independent pixel at the standard 96 dpi.
constexpr int TWIPSPERPIXEL = 15;
constexpr int TWIPS(int twips)
{
    return (twips + TWIPSPERPIXEL / 2) / TWIPSPERPIXEL;
}

// Classic colour value (red + 256 * green + 65536 * blue) as a QColor.
QColor COLOREVB(long valore);

// Courier New where it is installed, otherwise the platform's fixed-pitch font,
// so that the columns of the lists and of the header always align.
QFont FONTFISSO(double punti = 8.25);

constexpr long NERO = 0;
constexpr long GIALLO = 65535;
constexpr long BIANCO = 16777215;
constexpr long ROSSOSCURO = 128;
constexpr long BLU = 8388608;
