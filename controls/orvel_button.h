#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include <cstdint>

namespace orvel {

// Where a button in image mode puts its image (bits of layout_, tested in
// the order RIGHT, LEFT, TOP_LEFT).
inline constexpr std::uint8_t LAYOUT_IMAGE_TOP_LEFT = 1;
inline constexpr std::uint8_t LAYOUT_IMAGE_RIGHT = 2;
inline constexpr std::uint8_t LAYOUT_IMAGE_LEFT = 4;

// The program's push button: a flat colour fill with centred text, black
// while the pointer rests on it, a hand cursor, an optional PNG image and an
// optional tooltip. It stays a QPushButton for keyboard, accessibility and
// clicked(); only the painting is its own. Owners set the public fields
// directly; a change shows at the next paint.
class COrvelButton : public QPushButton {
    Q_OBJECT

public:
    explicit COrvelButton(const QString& text = QString(), QWidget* parent = nullptr);

    bool tracking_ = false;                // hover and leave reports are armed
    bool hovering_ = false;                // the pointer rests over the button
    QColor fillColour_{0, 0, 0};           // fill used when customFill_ is set
    QBrush eraseBrush_;                    // background erase, under the frame and fill
    bool customFill_ = false;              // fillColour_ instead of the default light blue
    const QFont* fontOverride_ = nullptr;  // not owned; else the button's own font
    bool imageButton_ = false;             // text in textColour_, image per layout_
    std::uint8_t layout_ = 0;              // LAYOUT_IMAGE_* bits
    std::uint32_t imageId_ = 0;            // PNG resource id in the low 16 bits; 0: none
    QColor textColour_{0, 0, 0};           // text colour in image mode
    QString toolTip_;                      // shown at once on hover when not empty

    // The font the caption is drawn in: the override or the button's own
    // font, smaller where the caption would not fit inside the frame in it.
    QFont drawnFont() const;

    // How long the pointer must rest before the button counts as hovered.
    static constexpr int kHoverReportMs = 5;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void reportHover();

    QTimer hoverReport_;
};

} // namespace orvel
