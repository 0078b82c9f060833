#include "panels/restore_wnd.h"

#include "controls/orvel_button.h"
#include "controls/resource_lookup.h"
#include "controls/x_edit.h"
#include "controls/x_static.h"
#include "engine/operation_slots.h"
#include "engine/restore_setup.h"
#include "inventory/drive_choice.h"
#include "inventory/drive_inventory.h"
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
#include <QPainter>

#include <utility>

namespace orvel {

namespace {

constexpr int kPanelFontHeight = 16;
constexpr int kLabelFontHeight = 19;
// The labels reach to just before the field and the list, so that they keep
// their size on the wider faces.
constexpr int kLabelWidth = 148;
const QColor kBrowseFill(222, 220, 221);
const QString kNote = QStringLiteral("Note: Everything on the destination drive will be overwritten.");
constexpr int kNoteX = 10;
constexpr int kNoteAboveBottom = 100;

QString askForImageFile(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                        QStringLiteral("Image files (*.img);;All files (*)"));
}

} // namespace

CRestoreWnd::CRestoreWnd(PanelHost& host, QWidget* parent)
    : QWidget(parent), host_(host), picture_(loadBitmapResource(kRestorePictureId)), openDialog_(askForImageFile),
      panelFont_(panelFont(kPanelFontHeight))
{
    createControls();
    filler_ = std::make_unique<DriveListFiller>(
        host_, [this](const std::vector<SetupListEntry>& entries) { addEntries(entries); });
}

CRestoreWnd::~CRestoreWnd() = default;

bool CRestoreWnd::listsFilled() const
{
    return filler_->done();
}

void CRestoreWnd::setOpenDialog(OpenDialog dialog)
{
    openDialog_ = std::move(dialog);
}

void CRestoreWnd::createControls()
{
    imageLabel_ = makePanelLabel(*this, QStringLiteral("Image File :"), kImageLabelId, kLabelFontHeight);
    destinationLabel_ = makePanelLabel(*this, QStringLiteral("Destination Drive :"), kDestinationLabelId, kLabelFontHeight);

    pathField_ = new CXEdit(this);
    setControlId(*pathField_, kPathFieldId);
    setUpGreyField(*pathField_);
    // Only the dialog fills it: a typed path would skip its filter.
    pathField_->setReadOnly(true);

    browseButton_ = makePanelButton(*this, QStringLiteral("..."), kBrowseId);
    browseButton_->setDefault(true);
    browseButton_->customFill_ = true;
    browseButton_->fillColour_ = kBrowseFill;
    browseButton_->imageButton_ = true;
    browseButton_->imageId_ = 0;
    browseButton_->textColour_ = kPanelBlack;

    destinationList_ = makeDriveList(*this, kDestinationListId);
    verifyBox_ = makeVerifyBox(*this, QStringLiteral("Verify after writing"), kVerifyBoxId, true);

    backButton_ = makePanelButton(*this, QStringLiteral("Back"), kBackId);
    setUpPanelButton(*backButton_, panelFont_);
    nextButton_ = makePanelButton(*this, QStringLiteral("Next"), kNextId);
    setUpPanelButton(*nextButton_, panelFont_);

    connect(browseButton_, &QPushButton::clicked, this, &CRestoreWnd::browseClicked);
    connect(backButton_, &QPushButton::clicked, this, &CRestoreWnd::backClicked);
    connect(nextButton_, &QPushButton::clicked, this, &CRestoreWnd::nextClicked);
    bindNextAndBackKeys(*this, *nextButton_, *backButton_);

    nameAfterLabel(*pathField_, *imageLabel_);
    nameAfterLabel(*destinationList_, *destinationLabel_);
    browseButton_->setAccessibleName(QStringLiteral("Choose the image file"));

    layoutControls();
}

void CRestoreWnd::layoutControls()
{
    const int cx = width();
    const int cy = height();
    imageLabel_->setGeometry(50, 150, kLabelWidth, 20);
    destinationLabel_->setGeometry(50, 200, kLabelWidth, 20);
    pathField_->setGeometry(200, 150, 300, 20);
    browseButton_->setGeometry(520, 150, 30, 20);
    destinationList_->setGeometry(200, 200, 350, destinationList_->sizeHint().height());
    verifyBox_->setGeometry(200, 240, 160, 20);
    backButton_->setGeometry(cx - 110, cy - 60, 50, 25);
    nextButton_->setGeometry(cx - 55, cy - 60, 50, 25);
    // The buttons follow the corner, so the order is known only now.
    orderTabsByPlace(*this);
}

void CRestoreWnd::resizeEvent(QResizeEvent*)
{
    layoutControls();
}

void CRestoreWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kPanelWhite);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), picture_);
    painter.setFont(panelFont_);
    painter.setPen(kPanelBlack);
    painter.drawText(QPoint(kNoteX, height() - kNoteAboveBottom + painter.fontMetrics().ascent()), kNote);
}

void CRestoreWnd::addEntries(const std::vector<SetupListEntry>& entries)
{
    entries_ = entries;
    // Filling is no choice of the operator's; the list starts without one.
    const QSignalBlocker quiet(destinationList_);
    for (std::size_t n = 0; n < entries_.size(); ++n)
        destinationList_->addItem(QString::fromStdString(entries_[n].text), static_cast<qulonglong>(n));
    destinationList_->setCurrentIndex(-1);
}

void CRestoreWnd::browseClicked()
{
    const QString chosen = openDialog_(this);
    if (chosen.isEmpty())
        return;
    pathField_->setFont(QApplication::font());
    pathField_->setText(chosen);
    // Disabled, the field keeps the path from a click that would erase it.
    pathField_->setEnabled(false);
}

void CRestoreWnd::backClicked()
{
    ClearInventory();
    host_.handlePanelMessage(WM_SHOW_HOME);  // destroys this panel
}

void CRestoreWnd::nextClicked()
{
    // The previous operation's worker must be gone before the slots are filled again.
    OperationRun::finishLast();

    RestoreRequest request;
    request.imagePath = pathField_->text().toStdString();
    const int index = destinationList_->currentIndex();
    const DriveInfo* destination =
        index >= 0 && static_cast<std::size_t>(index) < entries_.size() ? entries_[static_cast<std::size_t>(index)].drive
                                                                         : nullptr;
    if (destination != nullptr)
        request.destination = driveChoiceOf(*destination);
    if (!setUpRestore(request, host_.platform().devices(), host_.messageBoxes()))
        return;
    destinationName = destination->caption;
    // An image is written from its first byte on, whichever loop a clone chose last.
    host_.setForwardCopy(true);
    host_.setOperation(OperationKind::Restore, verifyBox_->isChecked());
    host_.handlePanelMessage(WM_COPY_START);  // destroys this panel
}

} // namespace orvel
