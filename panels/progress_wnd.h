#pragma once

#include "panels/transfer_rate.h"

#include <QFont>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <vector>

class QProgressBar;

namespace orvel {

class COrvelButton;
class CXStatic;
class OperationRun;
class PanelHost;

// The panel shown while a clone, an imaging or a restore runs. Creating it
// starts the operation that the slots hold on a worker thread; it shows the
// source, the kind of operation, the percentage (of the verification once
// that has begun), the start and elapsed time and the sector counts, and
// offers Cancel. The worker's reports reach it on
// the GUI thread; at the end the worker sends the host home, which destroys
// this window.
class CProgressWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCancelId = 503;
    static constexpr int kElapsedTextId = 504;
    static constexpr int kDiskLabelId = 505;
    static constexpr int kSpeedTextId = 506;
    static constexpr int kTimeLeftTextId = 507;
    static constexpr int kUnnamedId = 65535;

    // Creates the controls, starts the worker and the one-second clock.
    CProgressWnd(PanelHost& host, QWidget* parent = nullptr);
    ~CProgressWnd() override;

    // The job's position has moved: shows the new percentage when it changed,
    // and "Verifying" once the worker reads the destination back.
    void refreshPercentage();
    // The clock's tick: start time, elapsed time, copied sectors, and the
    // speed and time left over the last few ticks.
    void refreshClock();
    // The copy is over: the clock stops and the percentage shows where the
    // job ended.
    void stopClock();
    // A second run (the retry of the bad sectors) starts in this window: its
    // percentage, start time and elapsed time start again from nothing.
    void restartProgress();

    // The operation's worker has done all its work.
    bool operationFinished() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void layoutControls();
    void cancelClicked();
    void refreshRate();

    PanelHost& host_;

    QProgressBar* progressBar_ = nullptr;
    CXStatic* completedLabel_ = nullptr;
    CXStatic* percentText_ = nullptr;
    CXStatic* startLabel_ = nullptr;
    CXStatic* startText_ = nullptr;
    CXStatic* elapsedLabel_ = nullptr;
    CXStatic* elapsedText_ = nullptr;
    CXStatic* totalLabel_ = nullptr;
    CXStatic* totalText_ = nullptr;
    CXStatic* copiedLabel_ = nullptr;
    CXStatic* copiedText_ = nullptr;
    CXStatic* diskLabel_ = nullptr;
    CXStatic* diskNameText_ = nullptr;
    CXStatic* operationLabel_ = nullptr;
    CXStatic* operationText_ = nullptr;
    CXStatic* speedLabel_ = nullptr;
    CXStatic* speedText_ = nullptr;
    CXStatic* timeLeftLabel_ = nullptr;
    CXStatic* timeLeftText_ = nullptr;
    COrvelButton* cancelButton_ = nullptr;

    QPointer<OperationRun> run_;
    std::int64_t startTime_ = 0;  // seconds since 1970-01-01 UTC
    std::int64_t elapsedSeconds_ = 0;
    int lastPercent_ = 0;
    bool verifying_ = false;
    QFont windowFont_;
    QTimer clock_;
    bool clockStopped_ = false;  // by the worker, at the end of a run
    // The job's position at the last few ticks, timed in ticks: the clock
    // stands still while Cancel's question pauses the worker, so a pause
    // does not pull the rate down.
    std::vector<RateSample> rateSamples_;
    std::int64_t ticks_ = 0;
};

} // namespace orvel
