#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

#include <cstdint>

class QPainter;

namespace orvel {

// format_ values: how a label places its text across its width.
inline constexpr std::uint32_t kLabelTextLeft = 0;
inline constexpr std::uint32_t kLabelTextRight = 2;

// A label that paints its own background and draws its text with a font of
// its own: it starts with the application's default font, and only
// SetFontHeight changes it; a font set on the widget (setFont) does not change
// what it draws. It stays a QLabel, so its text is what accessibility reads.
class CXStatic : public QLabel {
    Q_OBJECT

public:
    explicit CXStatic(const QString& text = QString(), QWidget* parent = nullptr);

    // Makes the label's font again with this pixel height (negative values count
    // as their size, 0 as the default font's) and repaints.
    void SetFontHeight(int height);

    // Gives the label a white background; returns that colour.
    QColor SetWhiteBackground();

    // The font the text is drawn in: font_, or smaller where the text would
    // not fit the label in it.
    QFont drawnFont() const;

    QFont font_;                  // what the label draws with, made from fontDescription_
    QFont fontDescription_;       // the description font_ is made from
    QColor textColour_{0, 0, 0};  // text colour
    QBrush backBrush_;            // background
    std::uint32_t format_ = kLabelTextLeft;

protected:
    void paintEvent(QPaintEvent* event) override;

    // Draws the text into the whole label; lines break only at line feeds.
    virtual void DrawLabelText(QPainter& painter, const QString& text);
};

} // namespace orvel
