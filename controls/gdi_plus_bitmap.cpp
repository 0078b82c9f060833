#include "controls/gdi_plus_bitmap.h"

namespace orvel {

void CGdiPlusBitmap::Empty()
{
    m_pBitmap.reset();
}

} // namespace orvel
