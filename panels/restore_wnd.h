#pragma once

#include "panels/setup_list_entries.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;

namespace orvel {

class COrvelButton;
class CXEdit;
class CXStatic;
class DriveListFiller;
class PanelHost;

// The panel on which the operator sets up a restore: a raw image file, the
// drive or volume it is written back onto and whether to read the
// destination back afterwards. Next checks the choices, asks for the
// operator's confirmation, fills the operation slots and asks the host for
// the progress window; Back returns home.
class CRestoreWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBrowseId = 2001;
    static constexpr int kImageLabelId = 2002;
    static constexpr int kDestinationLabelId = 2003;
    static constexpr int kPathFieldId = 2005;
    static constexpr int kVerifyBoxId = 2006;
    static constexpr int kBackId = 3003;
    static constexpr int kNextId = 3004;
    static constexpr int kDestinationListId = 3009;

    // Asks the operator for the image to restore; an empty text when cancelled.
    using OpenDialog = std::function<QString(QWidget* parent)>;

    // Creates the controls and starts filling the list at once.
    CRestoreWnd(PanelHost& host, QWidget* parent = nullptr);
    ~CRestoreWnd() override;

    // The drive list holds its entries.
    bool listsFilled() const;

    // Replaces the platform's open dialog (tests supply their paths).
    void setOpenDialog(OpenDialog dialog);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void layoutControls();
    void addEntries(const std::vector<SetupListEntry>& entries);

    void browseClicked();
    void backClicked();
    void nextClicked();

    PanelHost& host_;
    QImage picture_;
    OpenDialog openDialog_;

    CXStatic* imageLabel_ = nullptr;
    CXStatic* destinationLabel_ = nullptr;
    CXEdit* pathField_ = nullptr;
    COrvelButton* browseButton_ = nullptr;
    QComboBox* destinationList_ = nullptr;
    QCheckBox* verifyBox_ = nullptr;
    COrvelButton* nextButton_ = nullptr;
    COrvelButton* backButton_ = nullptr;
    QFont panelFont_;

    std::vector<SetupListEntry> entries_;
    // Destroyed first, so that no entries arrive for controls already gone.
    std::unique_ptr<DriveListFiller> filler_;
};

} // namespace orvel
