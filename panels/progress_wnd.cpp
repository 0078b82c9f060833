#include "panels/progress_wnd.h"

#include "controls/orvel_button.h"
#include "controls/x_static.h"
#include "engine/copy_job.h"
#include "engine/operation_slots.h"
#include "panels/control_id.h"
#include "panels/operation_run.h"
#include "panels/panel_host.h"
#include "panels/panel_focus.h"
#include "panels/panel_keys.h"
#include "panels/panel_look.h"
#include "panels/panel_messages.h"
#include "panels/progress_text.h"
#include "panels/transfer_rate.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPalette>
#include <QProgressBar>

namespace orvel {

namespace {

constexpr int kWindowFontHeight = 18;
constexpr int kLabelFontHeight = 16;

// Long enough to smooth a slow block or two, short enough to follow a disk
// that slows down towards its inner tracks.
constexpr std::int64_t kRateWindowTicks = 5;

const char* const kCancelQuestion = "Are you sure? Please press cancel button for cancelling the operation.";

QString operationName(OperationKind kind)
{
    switch (kind) {
    case OperationKind::Cloning:
        return QStringLiteral("Cloning");
    case OperationKind::Restore:
        return QStringLiteral("Restoring");
    case OperationKind::Imaging:
        break;
    }
    return QStringLiteral("Imaging");
}

// A restore's source is an image file, named by its path: the file's name
// alone fits the line and tells which image it is.
QString diskName(OperationKind kind)
{
    const QString name = QString::fromStdString(sourceName);
    return kind == OperationKind::Restore ? QFileInfo(name).fileName() : name;
}

CXStatic* makeText(QWidget& window, const QString& text, int id, bool largerFont, bool rightAligned)
{
    auto* label = new CXStatic(text, &window);
    setControlId(*label, id);
    label->SetWhiteBackground();
    label->textColour_ = kPanelBlack;
    // Given to every label; a CXStatic keeps drawing with its own font.
    label->setFont(QApplication::font());
    if (largerFont)
        label->SetFontHeight(kLabelFontHeight);
    if (rightAligned) {
        label->format_ = kLabelTextRight;
        label->setAlignment(Qt::AlignRight);
    }
    return label;
}

} // namespace

CProgressWnd::CProgressWnd(PanelHost& host, QWidget* parent)
    : QWidget(parent), host_(host), windowFont_(panelFont(kWindowFontHeight))
{
    // No painting of its own: the white background of every panel.
    QPalette white = palette();
    white.setColor(QPalette::Window, kPanelWhite);
    setPalette(white);
    setAutoFillBackground(true);

    createControls();

    // What the slots say is read before the worker exists.
    totalText_->setText(sourceDevice ? QString::number(sourceDevice->endSector) : QString());
    diskNameText_->setText(diskName(host_.operationKind()));
    operationText_->setText(operationName(host_.operationKind()));

    run_ = &OperationRun::start(host_, *this);
    connect(&clock_, &QTimer::timeout, this, &CProgressWnd::refreshClock);
    clock_.start(kProgressTimerMilliseconds);
    startTime_ = QDateTime::currentSecsSinceEpoch();
}

CProgressWnd::~CProgressWnd()
{
    if (run_)
        run_->windowClosing();
}

void CProgressWnd::createControls()
{
    progressBar_ = new QProgressBar(this);
    setControlId(*progressBar_, 0);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);

    diskLabel_ = makeText(*this, QStringLiteral("Disk Name :"), kDiskLabelId, true, false);
    diskNameText_ = makeText(*this, QString(), kUnnamedId, true, true);
    operationLabel_ = makeText(*this, QStringLiteral("Operation :"), kUnnamedId, true, false);
    operationText_ = makeText(*this, QString(), kUnnamedId, true, true);
    completedLabel_ = makeText(*this, QStringLiteral("Completed :"), 0, true, false);
    percentText_ = makeText(*this, QStringLiteral("0%"), 0, false, true);
    startLabel_ = makeText(*this, QStringLiteral("Start Time :"), 0, true, false);
    startText_ = makeText(*this, QString(), 0, false, true);
    elapsedLabel_ = makeText(*this, QStringLiteral("Elapsed Time :"), 0, true, false);
    elapsedText_ = makeText(*this, QString(), kElapsedTextId, false, true);
    totalLabel_ = makeText(*this, QStringLiteral("Total Sectors :"), 0, true, false);
    totalText_ = makeText(*this, QString(), 0, false, true);
    copiedLabel_ = makeText(*this, QStringLiteral("Copied Sectors :"), 0, true, false);
    copiedText_ = makeText(*this, QString(), 0, false, true);
    speedLabel_ = makeText(*this, QStringLiteral("Speed :"), 0, true, false);
    speedText_ = makeText(*this, QString(), kSpeedTextId, false, false);
    timeLeftLabel_ = makeText(*this, QStringLiteral("Time Left :"), 0, true, false);
    timeLeftText_ = makeText(*this, QString(), kTimeLeftTextId, false, true);

    cancelButton_ = new COrvelButton(QStringLiteral("Cancel"), this);
    setControlId(*cancelButton_, kCancelId);
    setUpPanelButton(*cancelButton_, windowFont_);
    connect(cancelButton_, &QPushButton::clicked, this, &CProgressWnd::cancelClicked);
    bindEscapeKey(*this, *cancelButton_);
    nameAfterLabel(*progressBar_, *completedLabel_);

    layoutControls();
}

void CProgressWnd::layoutControls()
{
    const int cx = width();
    const int cy = height();
    progressBar_->setGeometry(50, 140, cx - 100, 20);
    diskLabel_->setGeometry(50, 55, 100, 20);
    diskNameText_->setGeometry(160, 55, cx - 210, 20);
    operationLabel_->setGeometry(50, 30, 100, 20);
    operationText_->setGeometry(160, 30, cx - 210, 20);
    completedLabel_->setGeometry(50, 120, 120, 20);
    percentText_->setGeometry(cx - 100, 120, 50, 20);
    // As wide as the labels under it: the row is free up to the time.
    startLabel_->setGeometry(50, 205, 120, 20);
    startText_->setGeometry(cx - 150, 205, 100, 20);
    elapsedLabel_->setGeometry(50, 230, 120, 20);
    elapsedText_->setGeometry(cx - 150, 230, 100, 20);
    totalLabel_->setGeometry(50, 255, 120, 20);
    totalText_->setGeometry(cx - 150, 255, 100, 20);
    copiedLabel_->setGeometry(50, 280, 120, 20);
    copiedText_->setGeometry(cx - 150, 280, 100, 20);
    // One row in the gap under the bar; the time left is as wide as
    // "reading bad sectors" needs and ends where the other values do.
    speedLabel_->setGeometry(50, 170, 70, 20);
    speedText_->setGeometry(125, 170, 110, 20);
    timeLeftLabel_->setGeometry(cx - 290, 170, 90, 20);
    timeLeftText_->setGeometry(cx - 200, 170, 150, 20);
    cancelButton_->setGeometry(cx - 55, cy - 60, 50, 25);
}

void CProgressWnd::resizeEvent(QResizeEvent*)
{
    layoutControls();
}

void CProgressWnd::refreshPercentage()
{
    if (!currentJob)
        return;
    // The worker starts the verification's count from nothing, so from here
    // on the percentage is the verification's.
    if (!verifying_ && currentJob->phase == JobPhase::Verifying) {
        verifying_ = true;
        operationText_->setText(QStringLiteral("Verifying"));
    }
    const int percent = progressPercent(currentJob->positionBytes, currentJob->endBytes);
    if (percent == lastPercent_)
        return;
    lastPercent_ = percent;
    // The text first, so that whoever watches the bar finds them agreeing.
    percentText_->setText(QStringLiteral("%1 %").arg(percent));
    progressBar_->setValue(percent);
}

void CProgressWnd::refreshClock()
{
    const std::int64_t now = QDateTime::currentSecsSinceEpoch();
    elapsedSeconds_ = now - startTime_;
    startText_->setText(QDateTime::fromSecsSinceEpoch(startTime_).toString(QStringLiteral("HH:mm:ss")));
    elapsedText_->setText(QString::fromStdString(elapsedText(elapsedSeconds_)));
    if (sourceDevice)
        copiedText_->setText(QString::number(sourceDevice->sectorsCopied.load()));
    refreshRate();
}

void CProgressWnd::refreshRate()
{
    if (!currentJob)
        return;
    const std::uint64_t position = currentJob->positionBytes;
    rateSamples_.push_back({ticks_++, position});
    while (rateSamples_.back().seconds - rateSamples_.front().seconds > kRateWindowTicks)
        rateSamples_.erase(rateSamples_.begin());
    const std::optional<double> rate = bytesPerSecond(rateSamples_);
    speedText_->setText(QString::fromStdString(speedText(rate)));
    timeLeftText_->setText(QString::fromStdString(
        timeLeftText(rate, position, currentJob->endBytes, currentJob->readingBadSectors)));
}

void CProgressWnd::stopClock()
{
    clock_.stop();
    clockStopped_ = true;
    // A job with nothing to copy reports no progress; its end is 100 %.
    refreshPercentage();
}

void CProgressWnd::restartProgress()
{
    verifying_ = false;
    operationText_->setText(operationName(host_.operationKind()));
    lastPercent_ = 0;
    percentText_->setText(QStringLiteral("0%"));
    progressBar_->setValue(0);
    startTime_ = QDateTime::currentSecsSinceEpoch();
    rateSamples_.clear();
    speedText_->clear();
    timeLeftText_->clear();
    clockStopped_ = false;
    clock_.start(kProgressTimerMilliseconds);
    // At once: the first run's times would otherwise stand for a second.
    refreshClock();
}

bool CProgressWnd::operationFinished() const
{
    return !run_ || run_->finished();
}

void CProgressWnd::cancelClicked()
{
    const QPointer<CProgressWnd> self(this);
    const QPointer<OperationRun> run = run_;
    if (run)
        run->pauseGate().pause();
    clock_.stop();

    const MessageAnswer answer =
        host_.messageBoxes().show({kCancelQuestion, "Confirm", MessageIcon::Question, MessageButtons::YesNo});

    // The copy may have ended while the question was open and the worker
    // gone home, closing this window (now or later); it then owns the slots
    // again and the answer comes too late.
    if (self && run && !run->wentHome()) {
        if (!clockStopped_)
            clock_.start(kProgressTimerMilliseconds);
        // Asked before the worker goes on, so that it sees the cancel at the
        // very check it was held at.
        if (answer == MessageAnswer::Yes && currentJob)
            currentJob->state = JobState::CancelRequested;
    }
    if (run)
        run->pauseGate().resume();
}

} // namespace orvel
