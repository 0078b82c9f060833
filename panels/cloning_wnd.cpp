#include "panels/cloning_wnd.h"

#include "controls/orvel_button.h"
#include "controls/resource_lookup.h"
#include "controls/x_edit.h"
#include "controls/x_static.h"
#include "engine/map_plan.h"
#include "engine/operation_setup.h"
#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"
#include "inventory/mapped_device.h"
#include "panels/continue_question.h"
#include "panels/control_id.h"
#include "panels/drive_list_box.h"
#include "panels/drive_list_filler.h"
#include "panels/operation_run.h"
#include "panels/panel_host.h"
#include "panels/panel_focus.h"
#include "panels/panel_keys.h"
#include "panels/panel_look.h"
#include "panels/panel_messages.h"
#include "panels/verify_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <optional>
#include <utility>

namespace orvel {

namespace {

constexpr int kPanelFontHeight = 16;
constexpr int kDriveLabelFontHeight = 19;
// The drive labels reach to just before the lists, so that they keep their
// size on the wider faces.
constexpr int kDriveLabelWidth = 148;
const QString kNote = QStringLiteral("Note: Too many attempts for bad sectors may damage the disk.");
constexpr int kNoteX = 10;
constexpr int kNoteAboveBottom = 100;

CXEdit* makeSectorField(QWidget& panel, int id)
{
    auto* field = new CXEdit(&panel);
    setControlId(*field, id);
    field->setFont(QApplication::font());
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    setUpGreyField(*field);
    return field;
}

QRadioButton* makeRetryChoice(QWidget& panel, const QString& text, int id)
{
    auto* radio = new QRadioButton(text, &panel);
    setControlId(*radio, id);
    radio->setFont(QApplication::font());
    giveWhiteBackground(*radio);
    return radio;
}

QCheckBox* makeAreaBox(QWidget& panel, const QString& text, int id)
{
    auto* box = new QCheckBox(text, &panel);
    setControlId(*box, id);
    box->setFont(QApplication::font());
    giveWhiteBackground(*box);
    return box;
}

COrvelButton* makeButton(QWidget& panel, const QString& text, int id, const QFont& font)
{
    COrvelButton* button = makePanelButton(panel, text, id);
    setUpPanelButton(*button, font);
    return button;
}

std::optional<std::size_t> selectionOf(const QComboBox& list)
{
    const int index = list.currentIndex();
    if (index < 0)
        return std::nullopt;
    return static_cast<std::size_t>(index);
}

} // namespace

CCloningWnd::CCloningWnd(PanelHost& host, QWidget* parent)
    : QWidget(parent), host_(host), picture_(loadBitmapResource(kCloningPictureId)),
      panelFont_(panelFont(kPanelFontHeight))
{
    createControls();
    filler_ = std::make_unique<DriveListFiller>(
        host_, [this](const std::vector<SetupListEntry>& entries) { addEntries(entries); });
}

CCloningWnd::~CCloningWnd() = default;

bool CCloningWnd::listsFilled() const
{
    return filler_->done();
}

void CCloningWnd::createControls()
{
    sourceLabel_ = makePanelLabel(*this, QStringLiteral("Source Drive : "), 0);
    sourceLabel_->SetWhiteBackground();
    sourceLabel_->SetFontHeight(kDriveLabelFontHeight);
    destinationLabel_ = makePanelLabel(*this, QStringLiteral("Destination Drive : "), 0);
    destinationLabel_->SetWhiteBackground();
    destinationLabel_->SetFontHeight(kDriveLabelFontHeight);

    sourceList_ = makeDriveList(*this, kSourceListId);
    destinationList_ = makeDriveList(*this, kDestinationListId);

    sourceStartLabel_ = makePanelLabel(*this, QStringLiteral("Source Start : "), kSourceStartLabelId);
    destinationStartLabel_ = makePanelLabel(*this, QStringLiteral("Destination Start : "), kDestinationStartLabelId);
    countLabel_ = makePanelLabel(*this, QStringLiteral("No. of sectors to copy : "), kCountLabelId);
    countLabel_->SetWhiteBackground();
    retryLabel_ = makePanelLabel(*this, QStringLiteral("Retry attempt : "), kRetryLabelId);
    retryLabel_->SetWhiteBackground();

    sourceStartField_ = makeSectorField(*this, kSourceStartFieldId);
    destinationStartField_ = makeSectorField(*this, kDestinationStartFieldId);
    destinationStartField_->setText(QString());
    countField_ = makeSectorField(*this, kCountFieldId);

    wholeAreaBox_ = makeAreaBox(*this, QStringLiteral("Clone entire area"), kWholeAreaBoxId);
    reverseBox_ = makeAreaBox(*this, QStringLiteral("Reverse cloning"), kReverseBoxId);
    verifyBox_ = makeVerifyBox(*this, QStringLiteral("Verify after copying"), kVerifyBoxId, false);

    retry2_ = makeRetryChoice(*this, QStringLiteral("2"), kRetry2Id);
    retry3_ = makeRetryChoice(*this, QStringLiteral("3"), kRetry3Id);
    retry5_ = makeRetryChoice(*this, QStringLiteral("5"), kRetry5Id);
    retry2_->setChecked(true);

    backButton_ = makeButton(*this, QStringLiteral("Back"), kBackId, panelFont_);
    nextButton_ = makeButton(*this, QStringLiteral("Next"), kNextId, panelFont_);

    connect(backButton_, &QPushButton::clicked, this, &CCloningWnd::backClicked);
    connect(nextButton_, &QPushButton::clicked, this, &CCloningWnd::nextClicked);
    bindNextAndBackKeys(*this, *nextButton_, *backButton_);
    connect(wholeAreaBox_, &QCheckBox::toggled, this, &CCloningWnd::wholeAreaToggled);
    connect(reverseBox_, &QCheckBox::toggled, this, &CCloningWnd::reverseToggled);
    connect(sourceList_, &QComboBox::currentIndexChanged, this, &CCloningWnd::sourceSelected);
    connect(destinationList_, &QComboBox::currentIndexChanged, this, &CCloningWnd::destinationSelected);
    connect(retry2_, &QRadioButton::clicked, this, [this] { retryAttempts_ = 2; });
    connect(retry3_, &QRadioButton::clicked, this, [this] { retryAttempts_ = 3; });
    connect(retry5_, &QRadioButton::clicked, this, [this] { retryAttempts_ = 5; });

    nameAfterLabel(*sourceList_, *sourceLabel_);
    nameAfterLabel(*destinationList_, *destinationLabel_);
    nameAfterLabel(*sourceStartField_, *sourceStartLabel_);
    nameAfterLabel(*destinationStartField_, *destinationStartLabel_);
    nameAfterLabel(*countField_, *countLabel_);
    for (QRadioButton* choice : {retry2_, retry3_, retry5_})
        choice->setAccessibleDescription(labelName(*retryLabel_));

    layoutControls();
}

void CCloningWnd::layoutControls()
{
    const int cx = width();
    const int cy = height();
    const int comboHeight = sourceList_->sizeHint().height();
    sourceLabel_->setGeometry(50, 70, kDriveLabelWidth, 20);
    destinationLabel_->setGeometry(50, 100, kDriveLabelWidth, 20);
    sourceList_->setGeometry(200, 70, 350, comboHeight);
    destinationList_->setGeometry(200, 100, 350, comboHeight);
    sourceStartLabel_->setGeometry(50, 160, 150, 20);
    destinationStartLabel_->setGeometry(50, 190, 150, 20);
    countLabel_->setGeometry(50, 220, 150, 20);
    retryLabel_->setGeometry(50, 250, 150, 20);
    sourceStartField_->setGeometry(250, 160, 200, 20);
    destinationStartField_->setGeometry(250, 190, 200, 20);
    countField_->setGeometry(250, 220, 200, 20);
    wholeAreaBox_->setGeometry(50, 135, 150, 20);
    reverseBox_->setGeometry(250, 135, 150, 20);
    // The free end of the options' row.
    verifyBox_->setGeometry(420, 135, 160, 20);
    retry2_->setGeometry(250, 250, 50, 20);
    retry3_->setGeometry(310, 250, 50, 20);
    retry5_->setGeometry(370, 250, 50, 20);
    backButton_->setGeometry(cx - 110, cy - 60, 50, 25);
    nextButton_->setGeometry(cx - 55, cy - 60, 50, 25);
    // The buttons follow the corner, so the order is known only now.
    orderTabsByPlace(*this);
}

void CCloningWnd::resizeEvent(QResizeEvent*)
{
    layoutControls();
}

void CCloningWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kPanelWhite);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), picture_);
    painter.setFont(panelFont_);
    painter.setPen(kPanelBlack);
    painter.drawText(QPoint(kNoteX, height() - kNoteAboveBottom + painter.fontMetrics().ascent()), kNote);
}

void CCloningWnd::addEntries(const std::vector<SetupListEntry>& entries)
{
    entries_ = entries;
    for (QComboBox* list : {sourceList_, destinationList_}) {
        // Filling is no choice of the operator's; the lists start without one.
        const QSignalBlocker quiet(list);
        for (std::size_t n = 0; n < entries_.size(); ++n)
            list->addItem(QString::fromStdString(entries_[n].text), static_cast<qulonglong>(n));
        list->setCurrentIndex(-1);
    }
}

void CCloningWnd::sourceSelected(int index)
{
    if (index >= 0 && static_cast<std::size_t>(index) < entries_.size())
        sourceName = entries_[static_cast<std::size_t>(index)].drive->caption;
}

void CCloningWnd::destinationSelected(int index)
{
    if (index >= 0 && static_cast<std::size_t>(index) < entries_.size())
        destinationName = entries_[static_cast<std::size_t>(index)].drive->caption;
}

void CCloningWnd::wholeAreaToggled(bool checked)
{
    if (checked) {
        const QSignalBlocker quiet(reverseBox_);
        reverseBox_->setChecked(false);
    }
    applyAreaMode();
}

void CCloningWnd::reverseToggled(bool checked)
{
    if (checked) {
        const QSignalBlocker quiet(wholeAreaBox_);
        wholeAreaBox_->setChecked(false);
    }
    applyAreaMode();
}

void CCloningWnd::applyAreaMode()
{
    if (wholeAreaBox_->isChecked() || reverseBox_->isChecked())
        disableRangeControls();
    else
        enableRangeControls();
}

void CCloningWnd::enableRangeControls()
{
    sourceStartLabel_->setEnabled(true);
    sourceStartField_->setEnabled(true);
    countLabel_->setEnabled(true);
    countField_->setEnabled(true);
    destinationStartLabel_->setEnabled(true);
    destinationStartField_->setEnabled(true);
}

void CCloningWnd::disableRangeControls()
{
    sourceStartLabel_->setEnabled(false);
    sourceStartField_->clear();
    sourceStartField_->setEnabled(false);
    destinationStartLabel_->setEnabled(false);
    countLabel_->setEnabled(false);
    countField_->clear();
    countField_->setEnabled(false);
    // Its text stays for when range mode comes back.
    destinationStartField_->setEnabled(false);
}

void CCloningWnd::backClicked()
{
    ClearInventory();
    host_.handlePanelMessage(WM_SHOW_HOME);  // destroys this panel
}

void CCloningWnd::nextClicked()
{
    // The previous operation's worker must be gone before the slots are filled again.
    OperationRun::finishLast();

    std::vector<DriveChoice> choices;
    choices.reserve(entries_.size());
    for (const SetupListEntry& entry : entries_)
        choices.push_back(driveChoiceOf(*entry.drive));

    CloneRequest request;
    request.entries = choices;
    request.sourceIndex = selectionOf(*sourceList_);
    request.destinationIndex = selectionOf(*destinationList_);
    request.mode = reverseBox_->isChecked()
                       ? AreaMode::Reverse
                       : (wholeAreaBox_->isChecked() ? AreaMode::WholeArea : AreaMode::Range);
    request.sourceStartText = sourceStartField_->text().toStdString();
    request.destinationStartText = destinationStartField_->text().toStdString();
    request.countText = countField_->text().toStdString();
    request.retryAttempts = retryAttempts_;

    const CloneStart start = setUpClone(request, host_.platform().devices(), host_.messageBoxes());
    if (!start.started)
        return;
    // Asked while the slots hold both devices open and nothing is written yet.
    const auto [source, destination] = mappedDevicesOf(host_.platform(), *entries_[*request.sourceIndex].drive,
                                                       *entries_[*request.destinationIndex].drive);
    MapSettings map = askToContinue(host_, mapHeaderOfSlots(source, destination, start.forwardCopy));
    host_.setForwardCopy(start.forwardCopy);
    host_.setOperation(OperationKind::Cloning, verifyBox_->isChecked());
    host_.setMapSettings(std::move(map));
    host_.handlePanelMessage(WM_COPY_START);  // destroys this panel
}

} // namespace orvel
