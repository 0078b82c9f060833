#pragma once

#include "panels/setup_list_entries.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;

namespace orvel {

class COrvelButton;
class CXEdit;
class CXStatic;
class DriveListFiller;
class PanelHost;
struct MapSettings;

// The panel on which the operator sets up an imaging operation: a source from
// the machine's drives and volumes, the path of the raw image file to write
// and whether to verify the image afterwards. Next checks the choices, creates the image file once the operator
// has confirmed (or keeps it, to continue an unfinished imaging into it from
// its rescue map), fills the operation slots and asks the host for the
// progress window; Back returns home.
class CImagingWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBrowseId = 2001;
    static constexpr int kSourceLabelId = 2002;
    static constexpr int kPathLabelId = 2003;
    static constexpr int kPathFieldId = 2005;
    static constexpr int kVerifyBoxId = 2006;
    static constexpr int kBackId = 3003;
    static constexpr int kNextId = 3004;
    static constexpr int kSourceListId = 3009;

    // Asks the operator where the image goes; an empty text when cancelled.
    using SaveDialog = std::function<QString(QWidget* parent)>;

    // Creates the controls and starts filling the list at once.
    CImagingWnd(PanelHost& host, QWidget* parent = nullptr);
    ~CImagingWnd() override;

    // The drive list holds its entries.
    bool listsFilled() const;

    // Replaces the platform's save dialog (tests supply their paths).
    void setSaveDialog(SaveDialog dialog);

    // Free bytes where the chosen image goes, counting a file it replaces.
    std::uint64_t destinationFreeBytes() const { return destinationFreeBytes_; }

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
    void sourceSelected(int index);
    // Asked once the source is open, before the image is created or emptied.
    MapSettings askToContinueImage(const DriveInfo& source, const std::string& imagePath);

    PanelHost& host_;
    QImage picture_;
    SaveDialog saveDialog_;

    CXStatic* sourceLabel_ = nullptr;
    CXStatic* pathLabel_ = nullptr;
    QComboBox* sourceList_ = nullptr;
    CXEdit* pathField_ = nullptr;
    COrvelButton* browseButton_ = nullptr;
    QCheckBox* verifyBox_ = nullptr;
    COrvelButton* nextButton_ = nullptr;
    COrvelButton* backButton_ = nullptr;
    QFont panelFont_;

    std::uint64_t destinationFreeBytes_ = 0;

    std::vector<SetupListEntry> entries_;
    // Destroyed first, so that no entries arrive for controls already gone.
    std::unique_ptr<DriveListFiller> filler_;
};

} // namespace orvel
