#include "controls/gdi_plus_bitmap.h"

namespace orvel {

void CGdiPlusBitmap::Empty()
{
    bitmap_.reset();
}

} // namespace orvel
