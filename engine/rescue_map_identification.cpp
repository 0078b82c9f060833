#include "engine/rescue_map_identification.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

namespace orvel {

namespace {

constexpr std::string_view kTitle = "# Rescue map of Orvel Disk Image (the ddrescue map-file format)\n";

std::string atLine(std::size_t number, const std::string& what)
{
    return "line " + std::to_string(number) + ": " + what;
}

// Identification values run to the end of their line. A control character
// (a line break above all) or the escape character itself is written as %HH,
// so that no value can end its line early or pass for another line.
bool needsEscape(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '%';
}

std::string escaped(std::string_view value)
{
    std::string text;
    for (const char c : value) {
        if (needsEscape(c)) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            text += code;
        } else {
            text += c;
        }
    }
    return text;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> unescaped(std::string_view text)
{
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            value += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexDigit(text[i + 1]);
        const int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        value += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return value;
}

using Getter = std::string (*)(const MapHeader&);
using Setter = bool (*)(MapHeader&, const std::string&);

struct Field {
    std::string_view key;
    Getter get;
    Setter set;
    std::string_view expected;  // what a value that does not set must be
};

constexpr std::array<std::pair<MappedDevice::Kind, std::string_view>, 3> kKindNames{{
    {MappedDevice::Kind::Drive, "drive"},
    {MappedDevice::Kind::Volume, "volume"},
    {MappedDevice::Kind::ImageFile, "image file"},
}};

std::string kindName(MappedDevice::Kind kind)
{
    for (const auto& [known, name] : kKindNames)
        if (known == kind)
            return std::string(name);
    return {};
}

bool setKind(MappedDevice& device, const std::string& value)
{
    for (const auto& [kind, name] : kKindNames) {
        if (value == name) {
            device.kind = kind;
            return true;
        }
    }
    return false;
}

bool setText(std::string& text, const std::string& value)
{
    text = value;
    return true;
}

bool setDecimal(std::uint64_t& number, const std::string& value)
{
    const std::optional<std::uint64_t> parsed = numberIn(value);
    if (parsed)
        number = *parsed;
    return parsed.has_value();
}

bool setSectorSize(std::uint32_t& size, const std::string& value, std::uint64_t smallest)
{
    std::uint64_t parsed = 0;
    if (!setDecimal(parsed, value) || parsed < smallest || parsed > std::numeric_limits<std::uint32_t>::max())
        return false;
    size = static_cast<std::uint32_t>(parsed);
    return true;
}

constexpr std::string_view kDecimal = "a decimal number";
constexpr std::string_view kText = "text in which % starts a two-digit hexadecimal code";

// The order in which they are written; read in any order.
constexpr std::array<Field, kIdentificationFields> kFields{{
    {"source", [](const MapHeader& h) { return kindName(h.source.kind); },
     [](MapHeader& h, const std::string& v) { return setKind(h.source, v); }, "drive, volume or image file"},
    {"source model", [](const MapHeader& h) { return h.source.model; },
     [](MapHeader& h, const std::string& v) { return setText(h.source.model, v); }, kText},
    {"source serial", [](const MapHeader& h) { return h.source.serial; },
     [](MapHeader& h, const std::string& v) { return setText(h.source.serial, v); }, kText},
    {"source path", [](const MapHeader& h) { return h.source.path; },
     [](MapHeader& h, const std::string& v) { return setText(h.source.path, v); }, kText},
    {"source size", [](const MapHeader& h) { return std::to_string(h.source.sizeBytes); },
     [](MapHeader& h, const std::string& v) { return setDecimal(h.source.sizeBytes, v); }, kDecimal},
    // The map's positions are in its sectors: without a size there is no map.
    {"source sector size", [](const MapHeader& h) { return std::to_string(h.source.sectorSize); },
     [](MapHeader& h, const std::string& v) { return setSectorSize(h.source.sectorSize, v, 1); },
     "a sector size in bytes, above 0"},
    {"destination", [](const MapHeader& h) { return kindName(h.destination.kind); },
     [](MapHeader& h, const std::string& v) { return setKind(h.destination, v); }, "drive, volume or image file"},
    {"destination model", [](const MapHeader& h) { return h.destination.model; },
     [](MapHeader& h, const std::string& v) { return setText(h.destination.model, v); }, kText},
    {"destination serial", [](const MapHeader& h) { return h.destination.serial; },
     [](MapHeader& h, const std::string& v) { return setText(h.destination.serial, v); }, kText},
    {"destination path", [](const MapHeader& h) { return h.destination.path; },
     [](MapHeader& h, const std::string& v) { return setText(h.destination.path, v); }, kText},
    {"destination size", [](const MapHeader& h) { return std::to_string(h.destination.sizeBytes); },
     [](MapHeader& h, const std::string& v) { return setDecimal(h.destination.sizeBytes, v); }, kDecimal},
    {"destination sector size", [](const MapHeader& h) { return std::to_string(h.destination.sectorSize); },
     [](MapHeader& h, const std::string& v) { return setSectorSize(h.destination.sectorSize, v, 0); },
     "a sector size in bytes"},
    {"start sector", [](const MapHeader& h) { return std::to_string(h.startSector); },
     [](MapHeader& h, const std::string& v) { return setDecimal(h.startSector, v); }, kDecimal},
    {"sector count", [](const MapHeader& h) { return std::to_string(h.sectorCount); },
     [](MapHeader& h, const std::string& v) { return setDecimal(h.sectorCount, v); }, kDecimal},
    {"destination start sector", [](const MapHeader& h) { return std::to_string(h.destinationStartSector); },
     [](MapHeader& h, const std::string& v) { return setDecimal(h.destinationStartSector, v); }, kDecimal},
    {"direction", [](const MapHeader& h) { return std::string(h.forward ? "forward" : "reverse"); },
     [](MapHeader& h, const std::string& v) {
         h.forward = v == "forward";
         return v == "forward" || v == "reverse";
     },
     "forward or reverse"},
}};

std::size_t lineOf(const MapIdentification& identification, std::string_view key)
{
    for (std::size_t i = 0; i < kFields.size(); ++i)
        if (kFields[i].key == key)
            return identification.lines[i];
    return 0;
}

} // namespace

std::optional<std::uint64_t> numberIn(std::string_view text, int base)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::string identificationText(const MapHeader& header)
{
    std::string text(kTitle);
    for (const Field& field : kFields) {
        const std::string value = escaped(field.get(header));
        text += "# ";
        text += field.key;
        text += value.empty() ? ":" : ": ";
        text += value;
        text += '\n';
    }
    return text;
}

std::string readIdentificationLine(MapIdentification& identification, std::string_view line, std::size_t number)
{
    if (!line.starts_with("# "))
        return {};
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return {};
    const std::string_view key = line.substr(2, colon - 2);
    std::string_view value = line.substr(colon + 1);
    if (!value.empty() && !value.starts_with(' '))
        return {};
    if (!value.empty())
        value.remove_prefix(1);
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const Field& field = kFields[i];
        if (field.key != key)
            continue;
        if (identification.lines[i] != 0)
            return atLine(number, "\"" + std::string(key) + "\" is given again (first on line " +
                                      std::to_string(identification.lines[i]) + ")");
        const std::optional<std::string> text = unescaped(value);
        if (!text || !field.set(identification.header, *text))
            return atLine(number, "\"" + std::string(key) + "\" must be " + std::string(field.expected));
        identification.lines[i] = number;
        return {};
    }
    return {};
}

std::string checkIdentification(const MapIdentification& identification, std::size_t statusLine)
{
    std::string missing;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (identification.lines[i] == 0)
            missing += (missing.empty() ? "" : ", ") + std::string(kFields[i].key);
    }
    const bool nothingGiven = std::all_of(identification.lines.begin(), identification.lines.end(),
                                          [](std::size_t line) { return line == 0; });
    if (nothingGiven)
        return atLine(statusLine, "the map does not say what it maps (no \"# source: ...\" line before the status "
                                  "line); it is not a rescue map of this program");
    if (!missing.empty())
        return atLine(statusLine, "the identification before the status line lacks: " + missing);

    const MapHeader& header = identification.header;
    const std::uint64_t sectorSize = header.source.sectorSize;
    const std::uint64_t sectorLimit = kLargestMapPosition / sectorSize;
    if (header.startSector > sectorLimit || header.sectorCount > sectorLimit - header.startSector)
        return atLine(lineOf(identification, "sector count"),
                      "the range of sectors runs past the largest position a map holds");
    return {};
}

} // namespace orvel
