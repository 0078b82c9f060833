#include "inventory/attribute_catalogue.h"

#include <array>
#include <string_view>

namespace orvel {

namespace {

// Names are kept exactly as operators know them from earlier versions of the
// panel, spelling slips ("Tota LBAs Written", "End to Enderror") included.
constexpr std::array<std::string_view, 256> makeCatalogue()
{
    std::array<std::string_view, 256> names{};
    names[1] = "Raw Read Error Rate";
    names[2] = "Throughput Performance";
    names[3] = "Spin Up Time";
    names[4] = "Start Stop Count";
    names[5] = "Reallocated Sectors Count";
    names[6] = "Read Channel Margin";
    names[7] = "Seek Error Rate";
    names[8] = "Seek Time Performance";
    names[9] = "Power On Hours POH";
    names[10] = "Spin Retry Count";
    names[11] = "Calibration Retry Count";
    names[12] = "Power Cycle Count";
    names[13] = "Soft Read Error Rate";
    names[183] = "SATA Downshift Error Count";
    names[184] = "End to Enderror";
    names[185] = "Head Stability";
    names[186] = "Induced Op Vibration Detection";
    names[187] = "Reported Uncorrectable Errors";
    names[188] = "Command Timeout";
    names[189] = "High Fly Writes";
    names[190] = "Airflow Temperature";
    names[191] = "G Sense Error Rate";
    names[192] = "Power off React Count";
    names[193] = "Load Cycle Count";
    names[194] = "Temperature";
    names[195] = "Hardware ECC Recovered";
    names[196] = "Reallocation Event Count";
    names[197] = "Current Pending Sector Count";
    names[198] = "Uncorrectable Sector Count";
    names[199] = "Ultra DMACRC Error Count";
    names[200] = "Write Error Rate";
    names[201] = "Off Track Soft Read Error Rate";
    names[202] = "Data Address Mark errors";
    names[203] = "Run Out Cancel";
    names[204] = "Soft ECC Correction";
    names[205] = "Thermal Asperity Rate TAR";
    names[206] = "Flying Height";
    names[207] = "Spin High Current";
    names[208] = "Spin Buzz";
    names[209] = "Offline Seek Performance";
    names[211] = "Vibration During Write";
    names[212] = "Shock During Write";
    names[220] = "Disk Shift";
    names[221] = "GSense Error Rate Alt";
    names[222] = "Loaded Hours";
    names[223] = "Load Unload Retry Count";
    names[224] = "Load Friction";
    names[225] = "Load Unload Cycle Count";
    names[226] = "Load In Time";
    names[227] = "Torque Amplification Count";
    names[228] = "Power Off Retract Cycle";
    names[230] = "GMR Head Amplitude";
    names[231] = "Drive Temperature";
    names[240] = "Transfer Error Rate";
    names[241] = "Tota LBAs Written";
    names[242] = "Total LBAs Read";
    names[250] = "Read Error Retry Rate";
    names[254] = "Free Fall Protection";
    return names;
}

constexpr std::array<std::string_view, 256> kAttributeNames = makeCatalogue();

} // namespace

std::string AttributeName(std::uint8_t attributeId)
{
    return std::string(kAttributeNames[attributeId]);
}

} // namespace orvel
