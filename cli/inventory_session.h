#pragma once

#include "inventory/drive_inventory.h"

namespace orvel::cli {

// A command's own snapshot of the inventory: the lists start empty (each
// enumeration appends) and are emptied again when the command ends.
class InventorySession {
public:
    InventorySession() { ClearInventory(); }
    ~InventorySession() { ClearInventory(); }
    InventorySession(const InventorySession&) = delete;
    InventorySession& operator=(const InventorySession&) = delete;
};

} // namespace orvel::cli
