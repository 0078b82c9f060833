#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include <cstdint>

namespace orvel {

// Where a button in image mode puts its image (bits of m_nLayout, tested in
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

    bool m_bTracking = false;               // hover and leave reports are armed
    bool m_bHover = false;                  // the pointer rests over the button
    QColor m_crFill{0, 0, 0};               // fill used when m_bCustomFill is set
    QBrush m_brush;                         // background erase, under the frame and fill
    bool m_bCustomFill = false;             // m_crFill instead of the default light blue
    const QFont* m_pFontOverride = nullptr; // not owned; else the button's own font
    bool m_bImageButton = false;            // text in m_crText, image per m_nLayout
    std::uint8_t m_nLayout = 0;             // LAYOUT_IMAGE_* bits
    std::uint32_t m_nImageId = 0;           // PNG resource id in the low 16 bits; 0: none
    QColor m_crText{0, 0, 0};               // text colour in image mode
    QString m_strToolTip;                   // shown at once on hover when not empty

    // How long the pointer must rest before the button counts as hovered.
    static constexpr int kHoverReportMs = 5;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void reportHover();

    QTimer m_hoverReport;
};

} // namespace orvel
