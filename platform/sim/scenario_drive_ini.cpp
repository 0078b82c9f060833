#include "platform/sim/scenario_drive_ini.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <system_error>
#include <utility>

namespace orvel {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Decimal digits only: no sign, no blanks, no overflow.
std::optional<std::uint64_t> parseUnsigned(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A byte count, optionally with a binary unit: "1073741824", "1 GiB".
std::optional<std::uint64_t> parseSize(std::string_view text)
{
    static constexpr std::array<std::pair<std::string_view, std::uint64_t>, 4> kUnits{{
        {"KiB", 1ull << 10}, {"MiB", 1ull << 20}, {"GiB", 1ull << 30}, {"TiB", 1ull << 40}}};
    const std::size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
    const std::optional<std::uint64_t> number = parseUnsigned(text.substr(0, digits));
    const std::string_view unit = trim(text.substr(digits));
    if (!number)
        return std::nullopt;
    if (unit.empty())
        return number;
    for (const auto& [name, factor] : kUnits) {
        if (unit != name)
            continue;
        if (*number > std::numeric_limits<std::uint64_t>::max() / factor)
            return std::nullopt;
        return *number * factor;
    }
    return std::nullopt;
}

// Kernel-style: a letter, then letters, digits, '-' or '_'. A leading letter
// also keeps the name from being taken for a drive number.
bool isVolumeName(std::string_view name)
{
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto isNameChar = [&](char c) { return isLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '_'; };
    return !name.empty() && isLetter(name.front()) && std::all_of(name.begin(), name.end(), isNameChar);
}

// Splits at `separator`, trimming each piece and leaving out empty ones.
std::vector<std::string_view> splitList(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(separator), text.size());
        if (const std::string_view piece = trim(text.substr(0, end)); !piece.empty())
            pieces.push_back(piece);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return pieces;
}

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

class DriveIniParser {
public:
    DriveIniParser(const std::filesystem::path& file, ScenarioDrive& drive) : file_(file), drive_(drive) {}

    bool parse(std::string_view text)
    {
        if (text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        int lineNumber = 0;
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('\n'), text.size());
            std::string_view line = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            ++lineNumber;
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            if (!takeLine(lineNumber, trim(line)))
                return false;
        }
        return finish();
    }

    const std::string& error() const { return error_; }

private:
    bool fail(int line, const std::string& what)
    {
        error_ = file_.string() + ":" + std::to_string(line) + ": " + what;
        return false;
    }

    bool failFile(const std::string& what)
    {
        error_ = file_.string() + ": " + what;
        return false;
    }

    bool takeLine(int line, std::string_view content)
    {
        if (content.empty() || content.front() == '#' || content.front() == ';')
            return true;
        const std::size_t equals = content.find('=');
        if (equals == std::string_view::npos)
            return fail(line, "expected \"key = value\", found " + inQuotes(content));
        const std::string_view key = trim(content.substr(0, equals));
        const std::string_view value = trim(content.substr(equals + 1));
        if (const auto earlier = lines_.find(key); earlier != lines_.end())
            return fail(line, inQuotes(key) + " is given twice (first on line " + std::to_string(earlier->second) + ")");
        if (!applyKey(line, key, value))
            return false;
        lines_.emplace(std::string(key), line);
        return true;
    }

    bool applyKey(int line, std::string_view key, std::string_view value)
    {
        SimDriveSetup& setup = drive_.setup;
        if (key == "model" || key == "mediaType" || key == "status") {
            if (value.empty())
                return fail(line, inQuotes(key) + " needs a value");
            (key == "model" ? setup.model : key == "mediaType" ? setup.mediaType : setup.status) = value;
        } else if (key == "serial") {
            setup.serial = value;
        } else if (key == "size") {
            const std::optional<std::uint64_t> size = parseSize(value);
            if (!size || *size == 0)
                return fail(line, "size " + inQuotes(value)
                                      + " is not a byte count (digits, optionally followed by KiB, MiB, GiB or TiB)");
            setup.sizeBytes = *size;
        } else if (key == "sectorSize") {
            if (value != "512" && value != "4096")
                return fail(line, "sectorSize " + inQuotes(value) + " must be 512 or 4096");
            setup.sectorSize = value == "512" ? 512 : 4096;
        } else if (key == "interface") {
            if (value != "IDE" && value != "SCSI" && value != "USB")
                return fail(line, "interface " + inQuotes(value) + " must be IDE, SCSI or USB");
            setup.interfaceType = value;
        } else if (key == "badSectors") {
            return parseBadSectors(line, value);
        } else if (key == "volumes") {
            drive_.volumesLine = line;
            return parseVolumes(line, value);
        } else if (key == "image") {
            return takeImage(line, value);
        } else {
            return fail(line, "unknown key " + inQuotes(key));
        }
        return true;
    }

    bool parseBadSectors(int line, std::string_view value)
    {
        for (const std::string_view item : splitList(value, ',')) {
            const std::size_t dash = item.find('-');
            const std::optional<std::uint64_t> first = parseUnsigned(trim(item.substr(0, dash)));
            const std::optional<std::uint64_t> last =
                dash == std::string_view::npos ? first : parseUnsigned(trim(item.substr(dash + 1)));
            if (!first || !last || *last < *first || *last == std::numeric_limits<std::uint64_t>::max())
                return fail(line, "bad sector " + inQuotes(item) + " is not a sector number or a range a-b with a <= b");
            drive_.setup.badSectors.push_back({*first, *last - *first + 1});
        }
        return true;
    }

    bool parseVolumes(int line, std::string_view value)
    {
        for (const std::string_view item : splitList(value, ';')) {
            const std::vector<std::string_view> fields = splitList(item, ':');
            const std::optional<std::uint64_t> start = fields.size() == 3 ? parseUnsigned(fields[1]) : std::nullopt;
            const std::optional<std::uint64_t> count = fields.size() == 3 ? parseUnsigned(fields[2]) : std::nullopt;
            if (!start || !count || *count == 0)
                return fail(line, "volume " + inQuotes(item) + " is not name:startSector:sectorCount with a count above 0");
            if (!isVolumeName(fields[0]))
                return fail(line, "volume name " + inQuotes(fields[0])
                                      + " must start with a letter and hold only letters, digits, '-' and '_'");
            for (const SimVolumeSetup& other : drive_.setup.volumes) {
                if (other.name == fields[0])
                    return fail(line, "volume name " + inQuotes(fields[0]) + " is used twice");
            }
            drive_.setup.volumes.push_back({std::string(fields[0]), *start, *count, false});
        }
        return true;
    }

    bool takeImage(int line, std::string_view value)
    {
        if (value.empty())
            return fail(line, "\"image\" needs a value");
        const std::filesystem::path image = file_.parent_path() / std::filesystem::path(value);
        std::error_code error;
        if (!std::filesystem::is_regular_file(image, error))
            return fail(line, "image " + inQuotes(image.string()) + " is not a file");
        drive_.setup.imagePath = image;
        return true;
    }

    bool finish()
    {
        SimDriveSetup& setup = drive_.setup;
        if (!lines_.contains("model"))
            return failFile("the key \"model\" is missing");
        int sizeLine = 0;
        if (const auto size = lines_.find("size"); size != lines_.end()) {
            sizeLine = size->second;
        } else if (const auto image = lines_.find("image"); image != lines_.end()) {
            sizeLine = image->second;
            std::error_code error;
            setup.sizeBytes = std::filesystem::file_size(setup.imagePath, error);
            if (error || setup.sizeBytes == 0)
                return fail(sizeLine, "image " + inQuotes(setup.imagePath.string()) + " is empty; give the drive a size");
        } else {
            return failFile("the key \"size\" is missing (it may only be left out when an image is given)");
        }
        if (setup.sizeBytes % setup.sectorSize != 0)
            return fail(sizeLine, "size " + std::to_string(setup.sizeBytes) + " is not a whole number of "
                                      + std::to_string(setup.sectorSize) + "-byte sectors");
        if (!lines_.contains("mediaType") && setup.interfaceType == "USB")
            setup.mediaType = "Removable Media";

        const std::uint64_t sectors = setup.sizeBytes / setup.sectorSize;
        const std::string lastSector = std::to_string(sectors - 1);
        for (const SimSectorRange& bad : setup.badSectors) {
            if (bad.first + bad.count > sectors)
                return fail(lines_.at("badSectors"), "bad sector " + std::to_string(bad.first + bad.count - 1)
                                                         + " lies past the drive's last sector " + lastSector);
        }
        for (const SimVolumeSetup& volume : setup.volumes) {
            if (volume.sectorCount > sectors || volume.startSector > sectors - volume.sectorCount)
                return fail(drive_.volumesLine,
                            "volume " + inQuotes(volume.name) + " ends past the drive's last sector " + lastSector);
        }
        return true;
    }

    const std::filesystem::path& file_;
    ScenarioDrive& drive_;
    std::map<std::string, int, std::less<>> lines_;  // key -> the line that gave it
    std::string error_;
};

} // namespace

bool parseDriveIni(const std::filesystem::path& file, std::string_view text, ScenarioDrive& drive, std::string& error)
{
    drive = ScenarioDrive{};
    DriveIniParser parser(file, drive);
    if (parser.parse(text))
        return true;
    error = parser.error();
    return false;
}

} // namespace orvel
