#include "panels/drive_list_filler.h"

#include "inventory/drive_inventory.h"
#include "panels/panel_host.h"
#include "panels/posted_call.h"

#include <utility>

namespace orvel {

DriveListFiller::DriveListFiller(PanelHost& host, EntriesReady entriesReady, QObject* parent)
    : QObject(parent), host_(host), mainWindow_(host.mainWindow()), entriesReady_(std::move(entriesReady))
{
    // The operator must not use the panel while its lists are incomplete.
    if (mainWindow_)
        mainWindow_->setEnabled(false);

    Platform& platform = host_.platform();
    thread_ = std::thread([this, &platform] {
        EnumeratePhysicalDrives(platform, false);
        std::optional<InventoryNotice> notice = EnumerateVolumes(platform);
        // The lists are read and the panel filled on the GUI thread; the call
        // is dropped if this object is destroyed first.
        postCall(*this, [this, notice = std::move(notice)] { finish(notice); });
    });
}

DriveListFiller::~DriveListFiller()
{
    thread_.join();
    if (!done_)
        enableMainWindow();
}

void DriveListFiller::finish(const std::optional<InventoryNotice>& notice)
{
    if (notice)
        host_.messageBoxes().show({notice->text, notice->caption, MessageIcon::None, MessageButtons::Ok});
    done_ = true;
    entriesReady_(setupListEntries(physicalDrives, volumes));
    enableMainWindow();
}

void DriveListFiller::enableMainWindow()
{
    if (mainWindow_)
        mainWindow_->setEnabled(true);
}

} // namespace orvel
