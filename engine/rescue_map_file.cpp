#include "engine/rescue_map.h"

#include "engine/rescue_map_identification.h"
#include "platform/durable_file.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

namespace orvel {

namespace {

constexpr std::string_view kLogExtension = ".log";
// Far above any real map (ten million bad areas take some 260 MB); a file
// larger than this is not one and is not read whole into memory.
constexpr std::uintmax_t kLargestMapFile = std::uintmax_t{1} << 30;
constexpr std::string_view kBlockStatuses = "?*/-+";
// ddrescue's status line also knows filling (F) and generating (G).
constexpr std::string_view kCurrentStatuses = "?*/-FG+";

std::string hex(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%08" PRIX64, value);
    return text;
}

std::string atLine(std::size_t number, const std::string& what)
{
    return "line " + std::to_string(number) + ": " + what;
}

// A position or size as ddrescue reads it: 0x... hexadecimal, 0... octal,
// otherwise decimal.
std::optional<std::uint64_t> mapNumber(std::string_view text)
{
    std::optional<std::uint64_t> value;
    if (text.starts_with("0x") || text.starts_with("0X"))
        value = numberIn(text.substr(2), 16);
    else if (text.size() > 1 && text.starts_with('0'))
        value = numberIn(text.substr(1), 8);
    else
        value = numberIn(text, 10);
    if (value && *value > kLargestMapPosition)
        return std::nullopt;
    return value;
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

std::optional<MapStatus> statusOf(std::string_view field, std::string_view allowed)
{
    if (field.size() != 1 || allowed.find(field[0]) == std::string_view::npos)
        return std::nullopt;
    return static_cast<MapStatus>(field[0]);
}

// Reads ddrescue's "current_pos current_status current_pass" line (older
// versions leave out the pass).
std::string readStatusLine(const std::vector<std::string_view>& fields, std::size_t number, std::uint64_t& currentPos)
{
    if (fields.size() < 2 || fields.size() > 3)
        return atLine(number, "not a status line (current_pos current_status current_pass)");
    const std::optional<std::uint64_t> pos = mapNumber(fields[0]);
    if (!pos)
        return atLine(number, "\"" + std::string(fields[0]) + "\" is not a position");
    if (fields[1].size() != 1 || kCurrentStatuses.find(fields[1][0]) == std::string_view::npos)
        return atLine(number, "\"" + std::string(fields[1]) + "\" is not a current status (one of " +
                                  std::string(kCurrentStatuses) + ")");
    if (fields.size() == 3 && !numberIn(fields[2]))
        return atLine(number, "\"" + std::string(fields[2]) + "\" is not a pass number");
    currentPos = *pos;
    return {};
}

// Takes in one "pos size status" line; `next` is where it must start.
std::string readBlock(RescueMap& map, const std::vector<std::string_view>& fields, std::size_t number,
                      std::uint64_t& next)
{
    if (fields.size() != 3)
        return atLine(number, "a block line must hold a position, a size and a status");
    const std::optional<std::uint64_t> pos = mapNumber(fields[0]);
    if (!pos)
        return atLine(number, "\"" + std::string(fields[0]) + "\" is not a position");
    const std::optional<std::uint64_t> size = mapNumber(fields[1]);
    if (!size || *size == 0)
        return atLine(number, "\"" + std::string(fields[1]) + "\" is not a size");
    const std::optional<MapStatus> status = statusOf(fields[2], kBlockStatuses);
    if (!status)
        return atLine(number, "\"" + std::string(fields[2]) + "\" is not a block status (one of " +
                                  std::string(kBlockStatuses) + ")");

    const std::string block = "the block at " + hex(*pos);
    const std::uint64_t sectorSize = map.header().source.sectorSize;
    if (*pos % sectorSize != 0 || *size % sectorSize != 0)
        return atLine(number, block + " is not in whole sectors of " + std::to_string(sectorSize) + " bytes");
    const bool first = next == map.domainBegin();
    if (*pos < next && first)
        return atLine(number, block + " starts before the copy's range, at " + hex(next));
    if (*pos < next)
        return atLine(number, block + " overlaps the one before, which ends at " + hex(next));
    if (*pos > next && first)
        return atLine(number,
                      "the blocks start at " + hex(*pos) + ", after the start of the copy's range at " + hex(next));
    if (*pos > next)
        return atLine(number, block + " leaves a gap after the one before, which ends at " + hex(next));
    if (*size > map.domainEnd() - *pos)
        return atLine(number, block + " runs past the end of the copy's range, at " + hex(map.domainEnd()));
    map.mark(*pos, *size, *status);
    next = *pos + *size;
    return {};
}

ParsedMap refused(std::string error)
{
    return ParsedMap{std::nullopt, std::move(error)};
}

} // namespace

std::string mapPathForLog(const std::string& logPath)
{
    if (logPath.ends_with(kLogExtension))
        return logPath.substr(0, logPath.size() - kLogExtension.size()) + ".map";
    return logPath + ".map";
}

std::string mapText(const RescueMap& map)
{
    std::string text = identificationText(map.header());
    const std::vector<MapExtent> extents = map.extents();
    text.reserve(text.size() + 128 + extents.size() * 26);
    char line[96];
    text += "# current_pos  current_status  current_pass\n";
    std::snprintf(line, sizeof line, "0x%08" PRIX64 "     %c               1\n", map.currentPos,
                  map.finished() ? '+' : '?');
    text += line;
    text += "#      pos        size  status\n";
    for (const MapExtent& extent : extents) {
        std::snprintf(line, sizeof line, "0x%08" PRIX64 "  0x%08" PRIX64 "  %c\n", extent.pos, extent.size,
                      static_cast<char>(extent.status));
        text += line;
    }
    return text;
}

ParsedMap parseMapText(std::string_view text)
{
    MapIdentification identification;
    std::optional<RescueMap> map;
    std::uint64_t next = 0;    // where the next block must start
    std::size_t lastLine = 0;  // of the status line or the last block
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const std::vector<std::string_view> fields = fieldsOf(line);
        if (fields.empty())
            continue;
        if (fields[0].starts_with('#')) {
            if (!map) {
                if (std::string error = readIdentificationLine(identification, line, number); !error.empty())
                    return refused(std::move(error));
            }
            continue;
        }
        lastLine = number;
        if (map) {
            if (std::string error = readBlock(*map, fields, number, next); !error.empty())
                return refused(std::move(error));
            continue;
        }

        std::uint64_t currentPos = 0;
        if (std::string error = readStatusLine(fields, number, currentPos); !error.empty())
            return refused(std::move(error));
        if (std::string error = checkIdentification(identification, number); !error.empty())
            return refused(std::move(error));
        map.emplace(identification.header);
        map->currentPos = currentPos;
        next = map->domainBegin();
    }

    if (!map)
        return refused(atLine(number + 1, "the map has no status line (current_pos current_status current_pass)"));
    if (next < map->domainEnd())
        return refused(atLine(lastLine, "no block maps the copy's range from " + hex(next) + " to its end at " +
                                            hex(map->domainEnd())));
    return ParsedMap{std::move(map), {}};
}

ParsedMap loadMap(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return refused("cannot read " + path + ": " + error.message());
    if (size > kLargestMapFile)
        return refused(path + " is too large to be a rescue map");
    std::ifstream file(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!file.is_open() || file.bad())
        return refused("cannot read " + path);
    return parseMapText(text);
}

bool saveMap(const RescueMap& map, const std::string& path)
{
    return replaceFileDurably(path, mapText(map));
}

} // namespace orvel
