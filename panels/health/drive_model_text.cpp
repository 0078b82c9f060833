#include "panels/health/drive_model_text.h"

namespace orvel {

namespace {

constexpr char kBlank = ' ';
// Manufacturer names are short; a blank this far in ends the model number,
// and what follows it (" ATA Device", " 250GB") is not part of it.
constexpr std::size_t kModelNumberCutFrom = 8;

} // namespace

std::string driveManufacturer(std::string_view model)
{
    return std::string(model.substr(0, model.find(kBlank)));
}

std::string driveModelNumber(std::string_view model)
{
    std::string_view number = model.substr(0, model.find(kBlank, kModelNumberCutFrom));
    if (number.find(kBlank, 1) != std::string_view::npos)
        number = number.substr(number.rfind(kBlank) + 1);
    return std::string(number);
}

} // namespace orvel
