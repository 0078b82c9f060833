#pragma once

#include <QFont>

namespace orvel {

// The program's stock font at a given height. Heights are cell heights, as
// the windows describe their fonts: the whole line (ascent and descent) is
// that many pixels, so text fits the labels and buttons sized for it.
QFont guiFont(int cellHeight);

// Makes a compact sans-serif face (Liberation Sans, where installed) the
// application's font, the face whose widths the layouts were made for.
void useStockGuiFace();

} // namespace orvel
