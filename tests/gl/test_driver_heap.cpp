// The heap as the window system leaves it for a software GL driver: a block
// the size of a shadow map comes from the heap, in a stretch marked for 2 MiB
// pages, rather than from a mapping of its own that faults in 4 KiB pages.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "tests/gl/gl_test_support.h"

namespace {

#if defined(__GLIBC__)
// The "VmFlags:" line of the mapping in /proc/self/smaps that holds address.
std::string mappingFlags(const void* address) {
    const auto at = static_cast<std::uintmax_t>(reinterpret_cast<std::uintptr_t>(address));
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        std::uintmax_t low = 0;
        std::uintmax_t high = 0;
        if (std::sscanf(line.c_str(), "%jx-%jx ", &low, &high) == 2) {  // a mapping's first line
            inside = low <= at && at < high;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line;
        }
    }
    return "";
}
#endif

TEST(DriverHeap, AShadowMapSizedBlockComesFromTheHugePageStretch) {
#if defined(__GLIBC__)
    const std::size_t mappedBefore = mallinfo2().hblkhd;
    void* block = std::malloc(std::size_t{64} << 20);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(mallinfo2().hblkhd, mappedBefore) << "bytes in mappings of their own";
    EXPECT_NE(mappingFlags(block).find(" hg"), std::string::npos) << "its mapping: " << mappingFlags(block);
    std::free(block);
#else
    GTEST_SKIP() << "a glibc heap only";
#endif
}

}  // namespace
