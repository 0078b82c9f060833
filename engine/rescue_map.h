#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// What a stretch of the source is, with the characters of GNU ddrescue's
// map files, so that the tools made for those read ours.
enum class MapStatus : char {
    NonTried = '?',
    NonTrimmed = '*',
    NonScraped = '/',
    BadSector = '-',
    Finished = '+',
};

// One side of a mapped operation, as the map records it to recognise it
// later. A drive is known by its model, serial number, size and sector size
// (its number and kernel name change when a failing disk drops off the bus
// and comes back); a volume by those of its drive, its place there and its
// own size; an image file by its path.
struct MappedDevice {
    enum class Kind { Drive, Volume, ImageFile };
    Kind kind = Kind::Drive;
    std::string model;
    std::string serial;
    std::uint64_t sizeBytes = 0;
    std::uint32_t sectorSize = 0;
    std::string path;  // an image file's absolute path

    bool operator==(const MappedDevice&) const = default;
};

// What a map maps: both sides and the range of source sectors, in the
// source's sectors. The direction is recorded but not compared: a reverse
// run's map resumes forwards and the other way round.
struct MapHeader {
    MappedDevice source;
    MappedDevice destination;
    std::uint64_t startSector = 0;
    std::uint64_t sectorCount = 0;
    std::uint64_t destinationStartSector = 0;
    bool forward = true;
};

// One stretch of the map: bytes [pos, pos + size) of the source.
struct MapExtent {
    std::uint64_t pos = 0;
    std::uint64_t size = 0;
    MapStatus status = MapStatus::NonTried;

    bool operator==(const MapExtent&) const = default;
};

// The state of every byte of a copy's range, in bytes of the source: the
// domain [startSector, startSector + sectorCount) x the source's sector size,
// non-tried at first. Neighbouring stretches of one status are kept as one.
class RescueMap {
public:
    explicit RescueMap(MapHeader header);

    const MapHeader& header() const { return header_; }
    std::uint64_t domainBegin() const;
    std::uint64_t domainEnd() const;

    // Sets bytes [pos, pos + size), clipped to the domain.
    void mark(std::uint64_t pos, std::uint64_t size, MapStatus status);
    // The same in source sectors.
    void markSectors(std::uint64_t firstSector, std::uint64_t count, MapStatus status);

    // The stretches that overlap [pos, pos + size), clipped to it, in order.
    std::vector<MapExtent> extents(std::uint64_t pos, std::uint64_t size) const;
    // Every stretch of the domain, in order.
    std::vector<MapExtent> extents() const;
    // Whether every byte of [pos, pos + size) has `status` (true for no
    // bytes; false when any lies outside the domain).
    bool all(std::uint64_t pos, std::uint64_t size, MapStatus status) const;
    // Bytes of the domain with `status`.
    std::uint64_t bytesWith(MapStatus status) const;
    // No byte is left to try (bad sectors may remain).
    bool finished() const;

    // Where the operation is, for the map's status line.
    std::uint64_t currentPos = 0;

private:
    using Extents = std::map<std::uint64_t, MapExtent>;
    // Makes a stretch start at `pos` (inside the domain), splitting the one
    // that holds it; the stretch that starts there.
    Extents::iterator splitAt(std::uint64_t pos);

    MapHeader header_;
    Extents extents_;  // by pos; they tile the domain
    std::array<std::uint64_t, 5> bytes_{};  // bytes of each status, kept as stretches change
};

// The map's path for a log's: NAME.map for NAME.log (or for NAME (2).log,
// NAME (2).map).
std::string mapPathForLog(const std::string& logPath);

// The map file's text: comment lines that identify the operation (which the
// program reads back), ddrescue's status line ("0x... +" when finished, "?"
// while there is something left to try), then one "pos size status" line
// per stretch, in hexadecimal as ddrescue writes them.
//
// The identification is one "# key: value" line for every field of the
// header, empty ones included ("# source serial:"), each value running to
// the end of its line. A control character or "%" in a value is written as
// %HH (a model "A\nB" as "A%0AB"), so that a line break in a model, serial
// number or path cannot end its line early.
std::string mapText(const RescueMap& map);

struct ParsedMap {
    std::optional<RescueMap> map;
    std::string error;  // when there is no map: what is wrong, with the line number ("line 7: ...")
};

// Reads a map file's text. Refused: text that is not in this format, an
// identification that is missing or incomplete, stretches that overlap,
// leave a gap, or lie outside the range the identification gives, a range
// not covered whole, and stretches not in whole source sectors. ddrescue's
// own comment lines, blank lines and CR LF line ends are accepted: comments
// other than the identification's say nothing to the program.
ParsedMap parseMapText(std::string_view text);

// Reads the map file at `path`; an error names the file when it cannot be read.
ParsedMap loadMap(const std::string& path);

// Writes the map to a temporary file beside `path`, flushes it to stable
// storage and renames it over `path`, so that a crash leaves the old map or
// the new one, never a torn one. False when any step fails.
bool saveMap(const RescueMap& map, const std::string& path);

} // namespace orvel
