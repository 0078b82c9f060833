#include "controls/orvel_button.h"

#include "controls/gdi_plus_bitmap_resource.h"
#include "controls/text_fit.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <optional>

namespace orvel {

namespace {

const QColor kDefaultFill(46, 187, 255);
const QColor kHoverFill(0, 0, 0);
const QColor kTextModeText(255, 255, 255);
const QColor kEraseColour(22, 73, 154);
// The flat push-button frame: a shadow line outside, a face-coloured line inside.
const QColor kFrameShadow(160, 160, 160);
const QColor kFrameFace(240, 240, 240);
constexpr int kEdgeWidth = 2;
constexpr int kEdgeHeight = 2;

struct Placement {
    QPoint text;
    std::optional<QPoint> image;
};

// Text and image positions by the layout bits; right and bottom are the
// exclusive edges of the fill rectangle.
Placement placeByLayout(std::uint8_t layout, QPoint text, int right, int bottom)
{
    if (layout & LAYOUT_IMAGE_RIGHT)
        return {QPoint(text.x() - right / 5, text.y()),
                QPoint(static_cast<int>(right - right / 2.7), bottom / 5)};
    if (layout & LAYOUT_IMAGE_LEFT)
        return {QPoint(text.x() + right / 5, text.y()), QPoint(static_cast<int>(right / 7.7), bottom / 5)};
    if (layout & LAYOUT_IMAGE_TOP_LEFT)
        return {text, QPoint(0, 2)};
    return {text, std::nullopt};
}

void drawFlatFrame(QPainter& painter, const QRect& bounds)
{
    painter.fillRect(bounds, kFrameShadow);
    painter.fillRect(bounds.adjusted(1, 1, -1, -1), kFrameFace);
}

} // namespace

COrvelButton::COrvelButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent), eraseBrush_(kEraseColour)
{
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    hoverReport_.setSingleShot(true);
    hoverReport_.setInterval(kHoverReportMs);
    connect(&hoverReport_, &QTimer::timeout, this, &COrvelButton::reportHover);
}

QFont COrvelButton::drawnFont() const
{
    QFont textFont = font();
    if (fontOverride_ != nullptr) {
        // All of it: unset properties would otherwise come from the button's font.
        textFont = *fontOverride_;
        textFont.setResolveMask(QFont::AllPropertiesResolved);
    }
    // Inside the frame, which a pressed button or one without an image draws.
    return fontFitting(textFont, text(), rect().adjusted(kEdgeWidth, kEdgeHeight, -kEdgeWidth, -kEdgeHeight).size());
}

void COrvelButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), eraseBrush_);
    painter.setFont(drawnFont());
    const QString caption = text();
    const QFontMetrics metrics = painter.fontMetrics();
    const int textWidth = metrics.horizontalAdvance(caption);
    const int textHeight = metrics.height();

    // Centred on the whole button before any inset; integer halves truncate.
    int left = 0;
    int top = 0;
    int right = width();
    int bottom = height();
    const QPoint textAt((left + right) / 2 - textWidth / 2, (top + bottom) / 2 - textHeight / 2);

    // A pressed button and a button without an image get the flat frame and
    // fill inside it, so a text button looks the same pressed and released.
    // A released image button is filled to its edges: its raised frame would
    // be painted over entirely.
    if (isDown() || imageId_ == 0) {
        drawFlatFrame(painter, rect());
        left += kEdgeWidth;
        right -= kEdgeWidth;
        top += kEdgeHeight;
        bottom -= kEdgeHeight;
    }

    const QColor fill = hovering_ ? kHoverFill : (customFill_ ? fillColour_ : kDefaultFill);
    painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), fill);

    Placement placement{textAt, std::nullopt};
    if (imageButton_)
        placement = placeByLayout(layout_, textAt, right, bottom);

    // The text cell has the fill behind it, as wide as the text, even where
    // a caption wider than the button covers the frame.
    const QRect textCell(placement.text, QSize(textWidth, textHeight));
    painter.fillRect(textCell, fill);
    painter.setPen(imageButton_ ? textColour_ : kTextModeText);
    painter.drawText(QPoint(placement.text.x(), placement.text.y() + metrics.ascent()), caption);

    if (placement.image) {
        // Loaded on every paint: the button holds no image of its own.
        CGdiPlusBitmapResource image;
        if (image.Load(imageId_))
            painter.drawImage(*placement.image, *image.bitmap_);
    }
}

void COrvelButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!tracking_) {
        // Qt always reports the leave, so arming the reports cannot fail.
        tracking_ = true;
        setCursor(Qt::PointingHandCursor);
        hoverReport_.start();
    } else if (!hovering_) {
        hoverReport_.start();  // still moving: the rest time starts again
    }
    QPushButton::mouseMoveEvent(event);
}

void COrvelButton::reportHover()
{
    tracking_ = true;
    hovering_ = true;
    update();
    if (!toolTip_.isEmpty())
        QToolTip::showText(QCursor::pos(), toolTip_, this, rect());
}

void COrvelButton::leaveEvent(QEvent* event)
{
    hoverReport_.stop();
    tracking_ = false;
    hovering_ = false;
    QToolTip::hideText();
    update();
    setCursor(Qt::ArrowCursor);
    QPushButton::leaveEvent(event);
}

} // namespace orvel
