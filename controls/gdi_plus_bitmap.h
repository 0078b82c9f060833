#pragma once

#include <QImage>

#include <memory>

namespace orvel {

// A decoded image, 32-bit pixels with alpha, that a button draws.
class CGdiPlusBitmap {
public:
    CGdiPlusBitmap() = default;
    CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
    CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;
    virtual ~CGdiPlusBitmap() = default;

    // Lets go of the image; the object is empty afterwards.
    void Empty();

    std::unique_ptr<QImage> bitmap_;  // null when empty
};

} // namespace orvel
