#pragma once

#include <string>
#include <string_view>

namespace orvel {

// The drive list splits the system's model text ("ABC XY1000QZ-00RS ATA
// Device") into a manufacturer and a model number. Blanks are spaces.

// What stands before the first blank; the whole text when it has none.
std::string driveManufacturer(std::string_view model);

// The text cut at its first blank from position 8 on; of that, what follows
// the last blank if a blank stands after the first character. "ABC
// XY1000QZ-00RS ATA Device" gives "XY1000QZ-00RS", "Maker SSD 850 EVO 250GB"
// gives "SSD".
std::string driveModelNumber(std::string_view model);

} // namespace orvel
