// The vital product data pages a disk returns: the unit serial number page
// and the ATA information page. Input: the page's bytes as sysfs gives them.
#include "fuzz/fuzz_check.h"
#include "platform/linux/sysfs_vpd.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using orvel::fuzz::require;

namespace {

constexpr std::size_t kPageHeaderSize = 4;
constexpr std::size_t kAtaInformationPageSize = 60 + 512;
constexpr std::size_t kModelSize = 40;

bool isPadding(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; }

bool trimmedAndNonEmpty(const std::string& text)
{
    return !text.empty() && !isPadding(text.front()) && !isPadding(text.back());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel::sysfs;
    // A copy of the exact size, so that a read past the page's end is a heap
    // overflow AddressSanitizer reports.
    const std::vector<std::uint8_t> page(input, input + size);
    const std::string_view bytes(reinterpret_cast<const char*>(page.data()), page.size());

    if (const std::optional<std::string> serial = parseUnitSerialPage(page)) {
        require(page.size() >= kPageHeaderSize && page[1] == 0x80, "only a unit serial number page has a serial");
        const std::size_t declared = (static_cast<std::size_t>(page[2]) << 8) | page[3];
        require(serial->size() <= declared, "a serial stays within the page's declared length");
        require(bytes.substr(kPageHeaderSize).find(*serial) != std::string_view::npos,
                "a serial is taken from the page's bytes after its header");
        require(trimmedAndNonEmpty(*serial), "a serial is trimmed and not empty");
    }

    if (const std::optional<std::string> model = parseAtaInformationModel(page)) {
        require(page.size() >= kAtaInformationPageSize && page[1] == 0x89,
                "only a whole ATA information page has a model");
        require(model->size() <= kModelSize, "a model is at most 40 characters");
        require(trimmedAndNonEmpty(*model), "a model is trimmed and not empty");
    }
    return 0;
}
