#pragma once

#include "panels/setup_list_entries.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace orvel {

class PanelHost;
struct InventoryNotice;

// The inventory thread of a set-up panel. Created on the GUI thread, it
// disables the main window, lists the drives and volumes on a thread of its
// own (serial numbers are not read), then back on the GUI thread hands the
// entries to the panel and enables the main window again. Destroying it
// waits for the thread; the entries are then never delivered.
class DriveListFiller : public QObject {
    Q_OBJECT

public:
    using EntriesReady = std::function<void(const std::vector<SetupListEntry>&)>;

    DriveListFiller(PanelHost& host, EntriesReady entriesReady, QObject* parent = nullptr);
    ~DriveListFiller() override;

    // The entries have been handed over.
    bool done() const { return done_; }

private:
    void finish(const std::optional<InventoryNotice>& notice);
    void enableMainWindow();

    PanelHost& host_;
    QPointer<QWidget> mainWindow_;
    EntriesReady entriesReady_;
    bool done_ = false;
    std::thread thread_;
};

} // namespace orvel
