#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvel::test {

// What this process holds at one moment: the figures a leak makes grow.
struct ProcessResources {
    std::vector<std::string> openFiles;  // what each descriptor in /proc/self/fd points at
    std::size_t threads = 0;             // entries in /proc/self/task
    std::uint64_t heapBytes = 0;         // malloc'd and not yet freed, large mmapped blocks included
};

ProcessResources currentResources();

// Whether heapBytes means anything in this build. Under AddressSanitizer or
// ThreadSanitizer malloc is the sanitizer's own and the C library's figures
// stay still; LeakSanitizer covers leaks in the address-sanitized build.
bool heapIsMeasured();

// `now` holds no more descriptors or threads than `baseline`, and no more heap
// than `baseline` plus `heapSlackBytes` (where the heap is measured). The
// failure names the descriptors that were added.
::testing::AssertionResult holdsNoMoreThan(const ProcessResources& now, const ProcessResources& baseline,
                                           std::uint64_t heapSlackBytes);

} // namespace orvel::test
