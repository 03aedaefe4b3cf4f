// The wrap's driver-point cache: one build per driver data object, holders keeping their
// array after the cache moves on, failed builds, and many readers on several threads.

#include "vertexWrap/DriverPointCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using Points = std::vector<int>;
using Cache = DriverPointCache<int, Points>;

// Reads the points of driver `key`: every entry is the key, so a reader can tell a complete
// array of its own driver from anything else.
std::shared_ptr<const Points> read(Cache& cache, int key, std::atomic<int>& builds, bool succeed = true)
{
    return cache.get(
        key, [&](int held) { return held == key; },
        [&](Points& fresh) {
            ++builds;
            fresh.assign(512, key);
            return succeed;
        });
}

} // namespace

TEST(DriverPointCache, BuildsOncePerDriverDataAndHandsOutTheSameArray)
{
    Cache cache;
    std::atomic<int> builds{0};
    const auto first = read(cache, 7, builds);
    const auto second = read(cache, 7, builds);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(first->front(), 7);
}

TEST(DriverPointCache, NewDataOrAResetBuildsAgainWhileHoldersKeepTheirArray)
{
    Cache cache;
    std::atomic<int> builds{0};
    const auto old = read(cache, 1, builds);
    const auto moved = read(cache, 2, builds);
    EXPECT_EQ(builds, 2);
    ASSERT_TRUE(old && moved);
    EXPECT_EQ(old->back(), 1);
    EXPECT_EQ(moved->back(), 2);

    // The driver is about to change: even the same key is read again.
    cache.reset();
    const auto again = read(cache, 2, builds);
    EXPECT_EQ(builds, 3);
    EXPECT_NE(again.get(), moved.get());
    EXPECT_EQ(moved->size(), 512u);
}

TEST(DriverPointCache, FailedBuildHandsOutNothingAndKeepsWhatWasHeld)
{
    Cache cache;
    std::atomic<int> builds{0};
    const auto held = read(cache, 1, builds);
    EXPECT_FALSE(read(cache, 2, builds, false));
    EXPECT_EQ(read(cache, 1, builds).get(), held.get());
    EXPECT_EQ(builds, 2);
}

TEST(DriverPointCache, ConcurrentReadersEachGetACompleteArrayOfTheirDriver)
{
    Cache cache;
    std::atomic<int> builds{0};
    std::atomic<int> wrong{0};
    constexpr int kReaders = 8;
    constexpr int kRounds = 400;
    std::vector<std::thread> readers;
    for (int t = 0; t < kReaders; ++t) {
        readers.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                // Readers mostly share a driver, sometimes move the cache to another, and
                // one of them resets it now and then, as a dirtied driver does.
                const int key = (round / 50) + (t == 0 && round % 7 == 0 ? 100 : 0);
                if (t == 1 && round % 13 == 0)
                    cache.reset();
                const auto points = read(cache, key, builds);
                if (!points || points->size() != 512u || points->front() != key || points->back() != key)
                    ++wrong;
            }
        });
    }
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(wrong, 0);
}
