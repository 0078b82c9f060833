#pragma once

#include "controls/gdi_plus_bitmap.h"

#include <cstdint>

namespace orvel {

// A PNG image loaded from the program's own resources by its id.
class CGdiPlusBitmapResource : public CGdiPlusBitmap {
public:
    // Loads the PNG resource with the low 16 bits of id. False when there is
    // no such resource, it is empty or it does not decode; the object is then
    // empty.
    bool Load(std::uint32_t id);
};

} // namespace orvel
