#pragma once

#include "panels/setup_list_entries.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace orvel {

class COrvelButton;
class CXEdit;
class CXStatic;
class DriveListFiller;
class PanelHost;

// The panel on which the operator sets up a clone: source and destination
// from the machine's drives and volumes, a range or the whole source (forwards
// or in reverse), the retry attempts for bad sectors and whether to verify
// the destination afterwards. Next checks the
// choices, fills the operation slots, offers to continue an unfinished copy
// of the same operation from its rescue map and asks the host for the
// progress window; Back returns home.
class CCloningWnd : public QWidget {
    Q_OBJECT

public:
    // Control ids. The two start labels and the two buttons share 3003 and
    // 3004; labels send no commands.
    static constexpr int kWholeAreaBoxId = 3001;
    static constexpr int kReverseBoxId = 3002;
    static constexpr int kBackId = 3003;
    static constexpr int kNextId = 3004;
    static constexpr int kSourceStartLabelId = 3003;
    static constexpr int kDestinationStartLabelId = 3004;
    static constexpr int kCountLabelId = 3005;
    static constexpr int kSourceStartFieldId = 3006;
    static constexpr int kDestinationStartFieldId = 3007;
    static constexpr int kCountFieldId = 3008;
    static constexpr int kDestinationListId = 3009;
    static constexpr int kSourceListId = 3010;
    static constexpr int kRetryLabelId = 3011;
    static constexpr int kRetry2Id = 3012;
    static constexpr int kRetry3Id = 3013;
    static constexpr int kRetry5Id = 3014;
    static constexpr int kVerifyBoxId = 3015;

    // Creates the controls and starts filling the lists at once.
    CCloningWnd(PanelHost& host, QWidget* parent = nullptr);
    ~CCloningWnd() override;

    // Both lists hold their entries.
    bool listsFilled() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void layoutControls();
    void addEntries(const std::vector<SetupListEntry>& entries);

    void backClicked();
    void nextClicked();
    // Whichever way a box is ticked (mouse, Space, a screen reader's toggle),
    // the boxes themselves are the area mode Next reads.
    void wholeAreaToggled(bool checked);
    void reverseToggled(bool checked);
    void applyAreaMode();
    void sourceSelected(int index);
    void destinationSelected(int index);

    // Range mode's fields and labels usable again, or (whole source) disabled
    // with the source start and count emptied.
    void enableRangeControls();
    void disableRangeControls();

    PanelHost& host_;
    QImage picture_;

    CXStatic* sourceLabel_ = nullptr;
    CXStatic* destinationLabel_ = nullptr;
    QComboBox* sourceList_ = nullptr;
    QComboBox* destinationList_ = nullptr;
    CXStatic* sourceStartLabel_ = nullptr;
    CXStatic* destinationStartLabel_ = nullptr;
    CXStatic* countLabel_ = nullptr;
    CXStatic* retryLabel_ = nullptr;
    CXEdit* sourceStartField_ = nullptr;
    CXEdit* destinationStartField_ = nullptr;
    CXEdit* countField_ = nullptr;
    QCheckBox* wholeAreaBox_ = nullptr;
    QCheckBox* reverseBox_ = nullptr;
    QCheckBox* verifyBox_ = nullptr;
    COrvelButton* nextButton_ = nullptr;
    COrvelButton* backButton_ = nullptr;
    QRadioButton* retry2_ = nullptr;
    QRadioButton* retry3_ = nullptr;
    QRadioButton* retry5_ = nullptr;
    QFont panelFont_;

    std::int32_t retryAttempts_ = 2;

    std::vector<SetupListEntry> entries_;
    // Destroyed first, so that no entries arrive for controls already gone.
    std::unique_ptr<DriveListFiller> filler_;
};

} // namespace orvel
