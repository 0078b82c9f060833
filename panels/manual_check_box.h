#pragma once

#include <QCheckBox>
#include <QString>

namespace orvel {

// A check box that does not tick or untick itself when clicked: it only
// reports the click, and its owner sets the state (the area options of the
// cloning panel depend on each other).
class ManualCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit ManualCheckBox(const QString& text, QWidget* parent = nullptr);

protected:
    void nextCheckState() override;
};

} // namespace orvel
