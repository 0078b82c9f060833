#include "panels/imaging_wnd.h"

#include "controls/orvel_button.h"
#include "controls/resource_lookup.h"
#include "controls/x_edit.h"
#include "controls/x_static.h"
#include "engine/map_plan.h"
#include "engine/operation_setup.h"
#include "engine/operation_slots.h"
#include "engine/setup_rules.h"
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
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

namespace orvel {

namespace {

constexpr int kPanelFontHeight = 18;
constexpr int kLabelFontHeight = 19;
// The labels reach to just before the list and the field, so that they keep
// their size on the wider faces.
constexpr int kLabelWidth = 148;
const QColor kBrowseFill(222, 220, 221);

QString askForImagePath(QWidget* parent)
{
    // Qt's save dialog asks before an existing file is chosen for replacing.
    return QFileDialog::getSaveFileName(parent, QString(), QStringLiteral(".img"), QStringLiteral("*.img"));
}

} // namespace

CImagingWnd::CImagingWnd(PanelHost& host, QWidget* parent)
    : QWidget(parent), host_(host), picture_(loadBitmapResource(kImagingPictureId)), saveDialog_(askForImagePath),
      panelFont_(panelFont(kPanelFontHeight))
{
    createControls();
    filler_ = std::make_unique<DriveListFiller>(
        host_, [this](const std::vector<SetupListEntry>& entries) { addEntries(entries); });
}

CImagingWnd::~CImagingWnd() = default;

bool CImagingWnd::listsFilled() const
{
    return filler_->done();
}

void CImagingWnd::setSaveDialog(SaveDialog dialog)
{
    saveDialog_ = std::move(dialog);
}

void CImagingWnd::createControls()
{
    sourceLabel_ = makePanelLabel(*this, QStringLiteral("Source Drive : "), kSourceLabelId, kLabelFontHeight);
    pathLabel_ = makePanelLabel(*this, QStringLiteral("Destination Path : "), kPathLabelId, kLabelFontHeight);

    sourceList_ = makeDriveList(*this, kSourceListId);

    pathField_ = new CXEdit(this);
    setControlId(*pathField_, kPathFieldId);
    setUpGreyField(*pathField_);

    browseButton_ = makePanelButton(*this, QStringLiteral("..."), kBrowseId);
    browseButton_->setDefault(true);
    browseButton_->customFill_ = true;
    browseButton_->fillColour_ = kBrowseFill;
    browseButton_->imageButton_ = true;
    browseButton_->imageId_ = 0;
    browseButton_->textColour_ = kPanelBlack;

    verifyBox_ = makeVerifyBox(*this, QStringLiteral("Verify after copying"), kVerifyBoxId, false);

    backButton_ = makePanelButton(*this, QStringLiteral("Back"), kBackId);
    setUpPanelButton(*backButton_, panelFont_);
    nextButton_ = makePanelButton(*this, QStringLiteral("Next"), kNextId);
    setUpPanelButton(*nextButton_, panelFont_);

    connect(browseButton_, &QPushButton::clicked, this, &CImagingWnd::browseClicked);
    connect(backButton_, &QPushButton::clicked, this, &CImagingWnd::backClicked);
    connect(nextButton_, &QPushButton::clicked, this, &CImagingWnd::nextClicked);
    bindNextAndBackKeys(*this, *nextButton_, *backButton_);
    connect(sourceList_, &QComboBox::currentIndexChanged, this, &CImagingWnd::sourceSelected);

    nameAfterLabel(*sourceList_, *sourceLabel_);
    nameAfterLabel(*pathField_, *pathLabel_);
    browseButton_->setAccessibleName(QStringLiteral("Choose the image file"));

    layoutControls();
}

void CImagingWnd::layoutControls()
{
    const int cx = width();
    const int cy = height();
    sourceLabel_->setGeometry(50, 150, kLabelWidth, 20);
    pathLabel_->setGeometry(50, 200, kLabelWidth, 20);
    sourceList_->setGeometry(200, 150, 350, sourceList_->sizeHint().height());
    pathField_->setGeometry(200, 200, 300, 20);
    browseButton_->setGeometry(520, 200, 30, 20);
    verifyBox_->setGeometry(200, 240, 160, 20);
    backButton_->setGeometry(cx - 110, cy - 60, 50, 25);
    nextButton_->setGeometry(cx - 55, cy - 60, 50, 25);
    // The buttons follow the corner, so the order is known only now.
    orderTabsByPlace(*this);
}

void CImagingWnd::resizeEvent(QResizeEvent*)
{
    layoutControls();
}

void CImagingWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kPanelWhite);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), picture_);
}

void CImagingWnd::addEntries(const std::vector<SetupListEntry>& entries)
{
    entries_ = entries;
    // Filling is no choice of the operator's; the list starts without one.
    const QSignalBlocker quiet(sourceList_);
    sourceList_->setFont(QApplication::font());
    for (std::size_t n = 0; n < entries_.size(); ++n)
        sourceList_->addItem(QString::fromStdString(entries_[n].text), static_cast<qulonglong>(n));
    sourceList_->setCurrentIndex(-1);
}

void CImagingWnd::sourceSelected(int index)
{
    if (index >= 0 && static_cast<std::size_t>(index) < entries_.size())
        sourceName = entries_[static_cast<std::size_t>(index)].drive->caption;
}

void CImagingWnd::browseClicked()
{
    const QString chosen = saveDialog_(this);
    if (chosen.isEmpty())
        return;
    const std::string path = withImageExtension(chosen.toStdString());
    const QFileInfo existing(QString::fromStdString(path));
    // The dialog asked about the name as chosen; with ".img" added it may name
    // another file, which must not be replaced without asking either.
    if (path != chosen.toStdString() && existing.exists()) {
        const MessageRequest question{path + " already exists.\nDo you want to replace it?", "Confirm",
                                      MessageIcon::Question, MessageButtons::YesNo};
        if (host_.messageBoxes().show(question) != MessageAnswer::Yes)
            return;
    }

    pathField_->setFont(QApplication::font());
    pathField_->setText(QString::fromStdString(path));
    pathField_->setEnabled(false);

    // Nothing is created yet (only after the operator confirms Next), so a
    // file that will be replaced still holds room that the image gets back.
    std::uint64_t freeBytes = host_.platform().devices().freeSpace(path).value_or(0);
    if (existing.isFile())
        freeBytes += static_cast<std::uint64_t>(existing.size());
    destinationFreeBytes_ = freeBytes;
}

void CImagingWnd::backClicked()
{
    ClearInventory();
    host_.handlePanelMessage(WM_SHOW_HOME);  // destroys this panel
}

MapSettings CImagingWnd::askToContinueImage(const DriveInfo& source, const std::string& imagePath)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(imagePath, error).lexically_normal();
    const MapHeader header = mapHeaderOfSlots(mappedDeviceOf(host_.platform(), source),
                                              mappedImageFile(error ? imagePath : absolute.string()), true);
    // Without its image there is nothing to continue.
    if (!std::filesystem::is_regular_file(imagePath, error))
        return {MapSettings::Run::First, RescueMap(header), {}};
    return askToContinue(host_, header);
}

void CImagingWnd::nextClicked()
{
    // The previous operation's worker must be gone before the slots are filled again.
    OperationRun::finishLast();

    ImagingRequest request;
    const int index = sourceList_->currentIndex();
    const DriveInfo* source = nullptr;
    if (index >= 0 && static_cast<std::size_t>(index) < entries_.size())
        source = entries_[static_cast<std::size_t>(index)].drive;
    if (source != nullptr)
        request.source = driveChoiceOf(*source);
    request.imagePath = pathField_->text().toStdString();
    request.destinationFreeBytes = destinationFreeBytes_;
    MapSettings map;
    if (source != nullptr)
        request.continueExisting = [this, source, &request, &map] {
            map = askToContinueImage(*source, request.imagePath);
            return map.run == MapSettings::Run::Resume;
        };
    if (!setUpImaging(request, host_.platform().devices(), host_.messageBoxes()))
        return;
    host_.setOperation(OperationKind::Imaging, verifyBox_->isChecked());
    host_.setMapSettings(std::move(map));
    host_.handlePanelMessage(WM_COPY_START);  // destroys this panel
}

} // namespace orvel
