#pragma once

#include <QDialog>

namespace orvel {

// The About box: the application's icon, its name and version and one line
// about what it does, closed with OK.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace orvel
