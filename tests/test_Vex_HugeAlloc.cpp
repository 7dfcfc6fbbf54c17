#include "Vex_HugeAlloc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <numeric>

TEST(HugeAlloc, BlocksAreAlignedAndWholeAfterPrefault)
{
    for (std::size_t bytes : {std::size_t(1), std::size_t(2) << 20, (std::size_t(5) << 20) + 3}) {
        SCOPED_TRACE(bytes);
        for (bool prefault : {false, true}) {
            auto *p = static_cast<unsigned char *>(VexHugeAlloc(bytes, prefault));
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % (std::size_t(2) << 20), 0u);
            // Fresh memory reads as zero, also where the prefault thread got first.
            for (std::size_t i = 0; i < bytes; i += 4096)
                ASSERT_EQ(p[i], 0);
            std::memset(p, 0xA5, bytes);
            EXPECT_EQ(p[bytes - 1], 0xA5);
            VexHugeFree(p, bytes);
        }
    }
}

TEST(HugeAlloc, FreeingWhilePrefaultingNeitherHangsNorLosesData)
{
    // Blocks freed at once, while the thread may still fault them in, and
    // a block filled while it does: the thread must never change contents.
    for (int round = 0; round < 20; ++round) {
        void *gone = VexHugeAlloc(std::size_t(16) << 20, true);
        VexHugeFree(gone, std::size_t(16) << 20);
        const std::size_t n = (std::size_t(8) << 20) / sizeof(std::uint32_t);
        auto *p = static_cast<std::uint32_t *>(VexHugeAlloc(n * sizeof(std::uint32_t), true));
        std::iota(p, p + n, std::uint32_t(round));
        for (std::size_t i = 0; i < n; i += 997)
            ASSERT_EQ(p[i], std::uint32_t(round + i));
        VexHugeFree(p, n * sizeof(std::uint32_t));
    }
}

TEST(HugeAlloc, VectorGrowsAcrossTheHugeThreshold)
{
    TVexBigVector<std::uint64_t> v;
    const std::size_t n = 3 * TVexHugeAllocator<std::uint64_t>::kMinHuge / sizeof(std::uint64_t);
    for (std::size_t i = 0; i < n; ++i)
        v.push_back(i * 7);
    ASSERT_EQ(v.size(), n);
    for (std::size_t i = 0; i < n; ++i)
        ASSERT_EQ(v[i], i * 7);
    v.resize(10);
    v.shrink_to_fit();
    EXPECT_EQ(v[9], 63u);
}
