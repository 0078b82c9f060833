#pragma once

#include <QBrush>
#include <QColor>
#include <QLineEdit>
#include <QString>

#include <functional>

namespace orvel {

// An edit box that shows what it holds in grey until the operator first turns
// to it (focus, a mouse press or a key), then erases it once and behaves as a
// plain edit box. Its own background is light yellow; an owner may answer its
// colour request instead (setColourOverride).
class CXEdit : public QLineEdit {
    Q_OBJECT

public:
    // The colours the box paints with: its text and its background.
    struct Colours {
        QColor text;
        QBrush background;
    };
    // Runs after the box has filled in its own answer and may change it.
    using ColourOverride = std::function<void(Colours&)>;

    explicit CXEdit(QWidget* parent = nullptr, const QString& prompt = QString());

    void setColourOverride(ColourOverride colourOverride);

    // The box's own answer followed by the owner's override.
    Colours colours() const;

    QColor backColour_{255, 255, 204};    // background colour
    QColor promptColour_{192, 192, 192};  // text colour while the prompt shows
    QString promptText_;                  // written into the box when it is made
    QBrush backBrush_;                    // background, made from backColour_
    bool showingPrompt_ = true;           // the box still shows its prompt

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void clearPrompt();

    ColourOverride colourOverride_;
};

} // namespace orvel
