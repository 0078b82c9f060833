#pragma once

#include <QFont>
#include <QSize>
#include <QString>

namespace orvel {

// Text is never shrunk below this pixel size: smaller is no longer readable.
inline constexpr int kSmallestTextPixels = 9;

// `font` when `text` fits `room` in it; otherwise the same face at the largest
// pixel size whose lines fit room's height and whose text fits its width, but
// never below kSmallestTextPixels. The layouts were drawn for one face; this
// keeps every text whole on a wider one.
QFont fontFitting(const QFont& font, const QString& text, QSize room);

} // namespace orvel
