#include "imgconv/palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace imgconv {
namespace {

// Fills a palette with colours whose keys are the red values given.
void fillWithKeys(Palette& palette, const std::vector<uint8_t>& reds) {
    ASSERT_EQ(palette.allocate(static_cast<uint32_t>(reds.size())), 1);
    for (std::size_t k = 0; k < reds.size(); ++k) {
        PaletteEntry& e = palette.entries()[k];
        e = {reds[k], 0, 0, 255, paletteKey(reds[k], 0, 0)};
    }
}

TEST(PaletteLookup, FindsTheEntryWhoseNeighboursEncloseTheKey) {
    Palette palette;
    fillWithKeys(palette, {10, 20, 30, 40});
    const std::pair<uint8_t, uint8_t> cases[] = {{25, 1}, {40, 2}, {45, 3}, {10, 1}, {5, 0}};
    for (const auto& [key, index] : cases)
        EXPECT_EQ(palette.lookup(key, 0, 0), index) << "key " << int(key);
}

TEST(PaletteLookup, SmallPalettes) {
    Palette empty;
    EXPECT_EQ(empty.lookup(1, 2, 3), 0);

    Palette one;
    fillWithKeys(one, {100});
    EXPECT_EQ(one.lookup(0, 0, 0), 0);
    EXPECT_EQ(one.lookup(255, 255, 255), 0);

    Palette two;
    fillWithKeys(two, {100, 200});
    EXPECT_EQ(two.lookup(100, 0, 0), 0);
    EXPECT_EQ(two.lookup(101, 0, 0), 1);
    EXPECT_EQ(two.lookup(0, 0, 1), 1) << "blue weighs most";
}

TEST(PaletteBuild, KeepsDistinctColoursSortedByKey) {
    const uint8_t pixels[] = {0, 0, 200, 255, 0, 0, 0, 0, 200, 0, 255, 0};
    Palette palette;
    ASSERT_EQ(palette.build(pixels, 24, 0, 4, 1, 256), 1);
    ASSERT_EQ(palette.count(), 3u);
    const PaletteEntry* e = palette.entries();
    EXPECT_EQ((std::vector<int>{e[0].red, e[0].green, e[0].blue}), (std::vector<int>{248, 0, 0}));
    EXPECT_EQ((std::vector<int>{e[1].red, e[1].green, e[1].blue}), (std::vector<int>{0, 248, 0}));
    EXPECT_EQ((std::vector<int>{e[2].red, e[2].green, e[2].blue}), (std::vector<int>{0, 0, 200}));
    for (uint32_t k = 0; k < 3; ++k) EXPECT_EQ(e[k].alpha, 255);
    EXPECT_LT(e[0].key, e[1].key);
    EXPECT_LT(e[1].key, e[2].key);
}

TEST(PaletteBuild, CountsInFifteenBits) {
    // Colours that differ only in their low three bits are one colour.
    const uint8_t close[] = {64, 64, 64, 71, 70, 69};
    Palette palette;
    ASSERT_EQ(palette.build(close, 24, 0, 2, 1, 256), 1);
    EXPECT_EQ(palette.count(), 1u);

    std::vector<uint8_t> greys(256);
    for (int v = 0; v < 256; ++v) greys[v] = static_cast<uint8_t>(v);
    ASSERT_EQ(palette.build(greys.data(), 8, 0, 256, 1, 256), 1);
    EXPECT_EQ(palette.count(), 32u);

    // 32 bits: the alpha byte is not a colour.
    const uint8_t withAlpha[] = {0, 10, 20, 30, 255, 10, 20, 30};
    ASSERT_EQ(palette.build(withAlpha, 32, 0, 2, 1, 256), 1);
    EXPECT_EQ(palette.count(), 1u);

    EXPECT_EQ(palette.build(withAlpha, 12, 0, 2, 1, 256), 0);
    EXPECT_EQ(palette.count(), 0u);
}

TEST(PaletteBuild, TheMostFrequentColoursWin) {
    // Red three times, green twice, blue once; two colours allowed.
    const uint8_t pixels[] = {255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0, 255, 0};
    Palette palette;
    ASSERT_EQ(palette.build(pixels, 24, 0, 6, 1, 2), 1);
    ASSERT_EQ(palette.count(), 2u);
    EXPECT_EQ(palette.entries()[0].red, 248);
    EXPECT_EQ(palette.entries()[1].green, 248);
}

// The colour reduction as first written: a recursive quicksort by count over
// all 65,536 records, the last n records taken. Which colours of equal count
// survive the cut depends on it, so the library must leave the same order.
std::vector<uint32_t> referenceChoice(const std::vector<uint16_t>& words, uint32_t most) {
    std::vector<std::pair<uint32_t, uint32_t>> r(65536);  // code, count
    for (uint32_t i = 0; i < 65536; ++i) r[i] = {i, 0};
    for (uint16_t w : words) ++r[w].second;
    uint32_t distinct = 0;
    for (const auto& rec : r) distinct += rec.second != 0;

    struct Sorter {
        std::vector<std::pair<uint32_t, uint32_t>>& r;
        void sort(int lo, int hi) {
            for (;;) {
                const uint32_t pivot = r[(lo + hi) / 2].second;
                int i = lo, j = hi;
                do {
                    while (r[i].second < pivot && i < hi) ++i;
                    while (r[j].second > pivot && j > lo) --j;
                    if (i > j) break;
                    std::swap(r[i], r[j]);
                    ++i;
                    --j;
                } while (i <= j);
                if (lo < j) sort(lo, j);
                if (i < hi)
                    lo = i;
                else
                    return;
            }
        }
    } sorter{r};
    sorter.sort(0, 65535);

    std::vector<uint32_t> keys;
    for (uint32_t k = 0; k < std::min(distinct, most); ++k) {
        uint8_t red, green, blue;
        unpackRgb16(static_cast<uint16_t>(r[65535 - k].first), red, green, blue);
        keys.push_back(paletteKey(red, green, blue));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

TEST(PaletteBuild, TiesAtTheCutOffFollowTheQuicksort) {
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        // Few distinct counts over many colours: lots of ties at the cut.
        std::vector<uint16_t> words;
        const int colours = 50 + round * 40;
        for (int c = 0; c < colours; ++c) {
            const uint16_t word = static_cast<uint16_t>(random() & 0xFFFE);
            const int count = 1 + static_cast<int>(random() % 3);
            words.insert(words.end(), count, word);
        }
        std::shuffle(words.begin(), words.end(), random);
        const uint32_t most = 16 + static_cast<uint32_t>(round) * 10;

        Palette palette;
        ASSERT_EQ(palette.build(reinterpret_cast<const uint8_t*>(words.data()), 16, 0,
                                static_cast<int>(words.size()), 1, static_cast<int>(most)),
                  1);
        std::vector<uint32_t> keys;
        for (uint32_t k = 0; k < palette.count(); ++k) keys.push_back(palette.entries()[k].key);
        EXPECT_EQ(keys, referenceChoice(words, most)) << "round " << round;
    }
}

}  // namespace
}  // namespace imgconv
