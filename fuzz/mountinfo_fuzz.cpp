// The mount table parser. Input: the text of /proc/self/mountinfo.
#include "fuzz/fuzz_check.h"
#include "platform/linux/mountinfo.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using orvel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel;
    const std::string_view text(reinterpret_cast<const char*>(input), size);

    const std::vector<MountEntry> table = parseMountInfo(text);
    std::size_t wellFormed = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const std::optional<MountEntry> entry = parseMountInfoLine(line);
        if (!entry)
            continue;
        require(wellFormed < table.size(), "the table has an entry for every well-formed line");
        const MountEntry& listed = table[wellFormed++];
        require(listed.mountId == entry->mountId && listed.mountPoint == entry->mountPoint
                    && listed.source == entry->source,
                "the table keeps the lines' order");
        require(!entry->root.empty() && !entry->mountPoint.empty() && !entry->fileSystemType.empty()
                    && !entry->source.empty(),
                "a mount's path fields are never empty");
        require(entry->root.size() + entry->mountPoint.size() + entry->fileSystemType.size() + entry->source.size()
                    <= line.size(),
                "unescaped fields are no longer than the line");
    }
    require(wellFormed == table.size(), "the table holds only the well-formed lines");

    const std::string unescaped = unescapeMountField(text);
    require(unescaped.size() <= text.size(), "unescaping never lengthens a field");
    require(text.find('\\') != std::string_view::npos || unescaped == text, "a field without escapes is unchanged");

    if (const std::optional<std::size_t> next = nextMountToRemove(table, [](const MountEntry&) { return true; })) {
        require(*next < table.size(), "the mount to remove is in the table");
        require(!isOvermounted(table, table[*next]), "the mount to remove has nothing mounted over it");
    }
    return 0;
}
