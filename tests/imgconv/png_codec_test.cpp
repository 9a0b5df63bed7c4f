#include "imgconv/codecs/png_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "imgconv/codecs/jpeg_codec.h"
#include "tests/imgconv/codec_test_support.h"

namespace imgconv {
namespace {

using lanzhou::test::decodePng;
using lanzhou::test::deflate;
using lanzhou::test::encodePng;
using lanzhou::test::fillPattern;
using lanzhou::test::fixture;
using lanzhou::test::listFolder;
using lanzhou::test::load;
using lanzhou::test::Outcome;
using lanzhou::test::Picture;
using lanzhou::test::pixelsOf;
using lanzhou::test::pngChunk;
using lanzhou::test::pngHeader;
using lanzhou::test::ProgressCall;
using lanzhou::test::ProgressLog;
using lanzhou::test::readFile;
using lanzhou::test::rowCalls;
using lanzhou::test::ScopedEnv;
using lanzhou::test::writePng;

using PngCodecTest = lanzhou::test::CodecTest;

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names = listFolder(folder);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) {
                                   return n.size() < 4 || n.substr(n.size() - 4) != ".png";
                               }),
                names.end());
    return names;
}

// What the header of a PNG file says, read here byte by byte.
struct Header {
    bool signature = false;
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    int paletteEntries = 0;
};

Header headerOf(const std::string& bytes) {
    Header header;
    header.signature = bytes.compare(0, 8, "\x89PNG\r\n\x1a\n", 8) == 0;
    auto be32 = [&](std::size_t at) {
        return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
               (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
    };
    if (bytes.size() < 33) return header;
    header.width = be32(16);
    header.height = be32(20);
    header.bitDepth = uint8_t(bytes[24]);
    header.colourType = uint8_t(bytes[25]);
    for (std::size_t at = 8; at + 8 <= bytes.size();) {
        const uint32_t length = be32(at);
        if (bytes.compare(at + 4, 4, "PLTE") == 0) header.paletteEntries = int(length / 3);
        if (length > bytes.size()) break;
        at += 12 + length;
    }
    return header;
}

TEST_F(PngCodecTest, PngSuiteLoadsInTheLayoutOfItsColourTypeAndDepth) {
    const std::string folder = fixture("png/pngsuite");
    int loaded = 0, declined = 0, corrupt = 0;
    for (const std::string& name : filesIn(folder)) {
        const std::string path = folder + "/" + name;
        const Header header = headerOf(readFile(path));
        PixelImage image;
        const Outcome outcome = load<PngCodec>(path, image);
        if (name[0] == 'x') {
            // The suite's corrupt files: refused at open or failing in read.
            EXPECT_NE(outcome, Outcome::Loaded) << name;
            ++corrupt;
            continue;
        }
        if (header.bitDepth == 16) {
            EXPECT_EQ(outcome, Outcome::Declined) << name;
            ++declined;
            continue;
        }
        ASSERT_EQ(outcome, Outcome::Loaded) << name;
        ++loaded;
        EXPECT_EQ(uint32_t(image.width()), header.width) << name;
        EXPECT_EQ(uint32_t(image.height()), header.height) << name;
        struct Layout {
            int bits, paletteSize;
        };
        const std::map<int, Layout> layouts = {
            {0, {8, 0}}, {2, {24, 0}}, {3, {8, header.paletteEntries}}, {4, {8, 0}}, {6, {32, 0}}};
        const Layout want = layouts.at(header.colourType);
        EXPECT_EQ(image.bitsPerPixel(), want.bits) << name;
        EXPECT_EQ(image.paletteSize(), want.paletteSize) << name;
        EXPECT_EQ(image.palette().count(), uint32_t(want.paletteSize)) << name;
    }
    EXPECT_EQ(corrupt, 14);
    EXPECT_GT(declined, 20);
    EXPECT_GT(loaded, 120);
}

TEST_F(PngCodecTest, InterlacedFilesLoadAsTheirPlainTwins) {
    const std::string folder = fixture("png/pngsuite");
    int pairs = 0;
    for (const std::string& name : filesIn(folder)) {
        if (name.size() < 5 || name[3] != 'i') continue;
        std::string twin = name;
        twin[3] = 'n';
        if (!std::ifstream(folder + "/" + twin)) continue;
        PixelImage interlaced, plain;
        if (load<PngCodec>(folder + "/" + name, interlaced) != Outcome::Loaded)
            continue;  // 16 bits
        ASSERT_EQ(load<PngCodec>(folder + "/" + twin, plain), Outcome::Loaded) << twin;
        EXPECT_EQ(pixelsOf(interlaced), pixelsOf(plain)) << name;
        ++pairs;
    }
    EXPECT_GE(pairs, 25);
}

TEST_F(PngCodecTest, SmallSamplesBecomeOneBytePerPixel) {
    PixelImage twoColours;
    ASSERT_EQ(load<PngCodec>(fixture("png/pngsuite/basn3p01.png"), twoColours), Outcome::Loaded);
    const Picture stored = decodePng(fixture("png/pngsuite/basn3p01.png"));
    ASSERT_EQ(twoColours.paletteSize(), 2);
    std::vector<int> seen(256, 0);
    for (uint8_t index : pixelsOf(twoColours)) ++seen[index];
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_EQ(seen[0] + seen[1], 32 * 32) << "one index byte per pixel";
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(twoColours.paletteEntries()[i].red, stored.palette[3 * i]);
        EXPECT_EQ(twoColours.paletteEntries()[i].green, stored.palette[3 * i + 1]);
        EXPECT_EQ(twoColours.paletteEntries()[i].blue, stored.palette[3 * i + 2]);
    }

    // All sixteen levels of a 4-bit grey file, without gAMA.
    std::string row(1, '\0');  // filter type none
    for (int level = 0; level < 16; level += 2)
        row += static_cast<char>((level << 4) | (level + 1));
    PixelImage grey4;
    ASSERT_EQ(
        load<PngCodec>(write("grey4.png", pngHeader(16, 1, 4, 0) + pngChunk("IDAT", deflate(row)) +
                                              pngChunk("IEND", "")),
                       grey4),
        Outcome::Loaded);
    std::vector<uint8_t> levels;
    for (int level = 0; level < 16; ++level) levels.push_back(static_cast<uint8_t>(level * 17));
    EXPECT_EQ(pixelsOf(grey4), levels);
}

TEST_F(PngCodecTest, PixelLayoutsMatchTheStoredSamples) {
    // Files without gAMA, so nothing is gamma corrected.
    const int width = 3, height = 2;
    const std::vector<uint8_t> rgba = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120,
                                       1,  2,  3,  4,  5,  6,  7,  8,  9,  10,  11,  12};
    PixelImage image;
    ASSERT_EQ(load<PngCodec>(write("rgba.png", encodePng(width, height, 6, rgba)), image),
              Outcome::Loaded);
    ASSERT_EQ(image.bitsPerPixel(), 32);
    const std::vector<uint8_t> argb = pixelsOf(image);
    for (int i = 0; i < width * height; ++i) {
        EXPECT_EQ(argb[4 * i], rgba[4 * i + 3]) << "alpha first";
        EXPECT_EQ(argb[4 * i + 1], rgba[4 * i]);
        EXPECT_EQ(argb[4 * i + 2], rgba[4 * i + 1]);
        EXPECT_EQ(argb[4 * i + 3], rgba[4 * i + 2]);
    }

    const std::vector<uint8_t> rgb = {10, 20, 30, 40, 50, 60, 70, 80, 90,
                                      1,  2,  3,  4,  5,  6,  7,  8,  9};
    ASSERT_EQ(load<PngCodec>(write("rgb.png", encodePng(width, height, 2, rgb)), image),
              Outcome::Loaded);
    EXPECT_EQ(pixelsOf(image), rgb);

    // Grey with alpha loads as grey: the alpha is dropped.
    const std::vector<uint8_t> greyAlpha = {10, 255, 20, 0, 30, 128, 40, 1, 50, 2, 60, 3};
    ASSERT_EQ(load<PngCodec>(write("ga.png", encodePng(width, height, 4, greyAlpha)), image),
              Outcome::Loaded);
    EXPECT_EQ(image.bitsPerPixel(), 8);
    EXPECT_EQ(image.paletteSize(), 0);
    EXPECT_EQ(pixelsOf(image), (std::vector<uint8_t>{10, 20, 30, 40, 50, 60}));

    // An image that already has the file's layout is filled as it is.
    PixelImage reused;
    ASSERT_EQ(reused.create(width, height, 8, 0), 1);
    unsigned char* before = reused.pixels();
    ASSERT_EQ(load<PngCodec>(dir_.file("ga.png"), reused), Outcome::Loaded);
    EXPECT_EQ(reused.pixels(), before);
    EXPECT_EQ(pixelsOf(reused), pixelsOf(image));
}

TEST_F(PngCodecTest, GammaIsCorrectedForTheScreen) {
    // A file gamma of 0.45 suits a 2.2 screen: samples stay as stored. A
    // linear file (gamma 1.0) is brightened; a file without gAMA stays.
    struct Case {
        const char* file;
        bool brighter;
    } cases[] = {{"g04n2c08.png", false}, {"g10n2c08.png", true}, {"f00n2c08.png", false}};
    for (const Case& c : cases) {
        const std::string path = fixture(std::string("png/pngsuite/") + c.file);
        PixelImage image;
        ASSERT_EQ(load<PngCodec>(path, image), Outcome::Loaded) << c.file;
        const Picture stored = decodePng(path);
        const std::vector<uint8_t> loaded = pixelsOf(image);
        ASSERT_EQ(loaded.size(), stored.pixels.size());
        int midTones = 0, brighter = 0, darker = 0, far = 0;
        for (std::size_t i = 0; i < loaded.size(); ++i) {
            if (stored.pixels[i] != 0 && stored.pixels[i] != 255) ++midTones;
            if (loaded[i] > stored.pixels[i]) ++brighter;
            if (loaded[i] < stored.pixels[i]) ++darker;
            if (std::abs(int(loaded[i]) - int(stored.pixels[i])) > 2) ++far;
        }
        ASSERT_GT(midTones, 100) << c.file;
        if (c.brighter) {
            EXPECT_EQ(brighter, midTones) << c.file;
            EXPECT_EQ(darker, 0) << c.file;
        } else {
            EXPECT_EQ(far, 0) << c.file;
        }
    }
}

TEST_F(PngCodecTest, ReadReportsEveryRowOfEveryPassAndOnceMoreAtTheEnd) {
    const std::vector<uint8_t> grey = {1, 2, 3, 4};
    ProgressLog log;
    PixelImage image;
    ASSERT_EQ(
        load<PngCodec>(write("plain.png", encodePng(2, 2, 0, grey)), image, ProgressLog::callback),
        Outcome::Loaded);
    EXPECT_EQ(log.calls(),
              (std::vector<ProgressCall>{{1, 50, 0, 0}, {1, 100, 1, 0}, {1, 100, 1, 0}}));

    ProgressLog interlacedLog;
    ASSERT_EQ(load<PngCodec>(write("adam7.png", encodePng(2, 2, 0, grey, {}, true)), image,
                             ProgressLog::callback),
              Outcome::Loaded);
    EXPECT_EQ(interlacedLog.calls(), rowCalls(1, 2, 7));
    EXPECT_EQ(pixelsOf(image), grey);
}

TEST_F(PngCodecTest, PaletteIndicesBeyondThePaletteReadAsBlackWhenConverted) {
    // libpng only warns about indices past the PLTE entries.
    const std::vector<uint8_t> indices = {0, 5, 0, 1};
    const std::vector<uint8_t> palette = {200, 100, 50, 10, 20, 30};
    PixelImage image;
    ASSERT_EQ(load<PngCodec>(write("beyond.png", encodePng(2, 2, 3, indices, palette)), image),
              Outcome::Loaded);
    EXPECT_EQ(image.paletteSize(), 2);
    PixelImage rgb;
    ASSERT_EQ(image.convertTo(rgb, 24, 0), 1);
    EXPECT_EQ(pixelsOf(rgb),
              (std::vector<uint8_t>{200, 100, 50, 0, 0, 0, 200, 100, 50, 10, 20, 30}));
}

TEST_F(PngCodecTest, AcceptanceGoesByContentNotByName) {
    PixelImage image;
    const std::string png = write("picture.jpg", readFile(fixture("png/pngsuite/basn2c08.png")));
    EXPECT_EQ(load<PngCodec>(png, image), Outcome::Loaded);
    JpegCodec jpeg;
    EXPECT_EQ(jpeg.open(png.c_str(), image, nullptr), 0);
    const std::string jpg = write("picture.png", readFile(fixture("jpeg/testorig.jpg")));
    EXPECT_EQ(load<PngCodec>(jpg, image), Outcome::Declined);
}

// A grey PNG of the declared size whose image data is a few bytes.
std::string declaring(uint32_t width, uint32_t height) {
    return pngHeader(width, height, 8, 0) + pngChunk("IDAT", deflate(std::string(64, '\0'))) +
           pngChunk("IEND", "");
}

TEST_F(PngCodecTest, MalformedFilesAreRefusedOrFailCleanly) {
    const std::string sound = readFile(fixture("png/pngsuite/basn2c08.png"));
    const std::size_t idat = sound.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    struct Case {
        const char* name;
        std::string bytes;
        int result;  // as `load` gives it; 2: accepted by open, not read
    } cases[] = {
        {"empty", "", 0},
        {"signature only", sound.substr(0, 8), 0},
        {"header cut short", sound.substr(0, 20), 0},
        {"cut inside the image data", sound.substr(0, idat + 40), -1},
        {"cut before the end chunk", sound.substr(0, sound.size() - 12), -1},
        {"a JPEG file", readFile(fixture("jpeg/testorig.jpg")), 0},
        // Text is skipped unread, beyond the chunk allocation limit too.
        {"a 20 MB text chunk",
         sound.substr(0, 33) +
             pngChunk("tEXt", "Comment" + std::string(1, '\0') + std::string(20 << 20, 'x')) +
             sound.substr(33),
         1},
        {"16384 x 16384", declaring(16384, 16384), 2},
        {"16384 x 16385", declaring(16384, 16385), 0},
        {"30000 x 30000", declaring(30000, 30000), 0},
        {"2000000 x 1", declaring(2000000, 1), 0},
        {"0 x 5", declaring(0, 5), 0},
        {"palette without PLTE",
         pngHeader(4, 4, 8, 3) + pngChunk("IDAT", deflate(std::string(20, '\0'))) +
             pngChunk("IEND", ""),
         0},
    };
    for (const Case& c : cases) {
        const std::string path = write("case.png", c.bytes);
        ProgressLog log;
        PixelImage image;
        PngCodec codec;
        const int opened = codec.open(path.c_str(), image, ProgressLog::callback);
        EXPECT_EQ(temporaryFiles(), 0) << c.name << ": nothing made";
        if (c.result == 2) {
            EXPECT_EQ(opened, 1) << c.name;
            continue;
        }
        if (opened == 0) {
            EXPECT_EQ(c.result, 0) << c.name;
            continue;
        }
        const int read = codec.read();
        EXPECT_EQ(read == 1 ? 1 : -1, c.result) << c.name;
        if (read == 0) {
            ASSERT_FALSE(log.calls().empty());
            EXPECT_EQ(log.calls().back(), (ProgressCall{1, 100, 31, 0})) << c.name;
        }
    }
}

TEST_F(PngCodecTest, LibpngCrashersAreRefusedOrLoaded) {
    const std::string folder = fixture("png/libpng-crashers");
    int files = 0;
    for (const std::string& name : filesIn(folder)) {
        PixelImage image;
        // A declined file makes no image, and no outcome leaves a file but the
        // image's own pixels.
        if (load<PngCodec>(folder + "/" + name, image) == Outcome::Declined) {
            EXPECT_EQ(image.pixels(), nullptr) << name;
        }
        EXPECT_EQ(temporaryFiles(), image.pixels() != nullptr ? 1 : 0) << name;
        ++files;
    }
    EXPECT_EQ(files, 23);
}

// Writing -----------------------------------------------------------------

TEST_F(PngCodecTest, RgbOutputIsInterlacedEightBitRgbWithoutPalette) {
    struct Case {
        int bits, paletteSize;
    } sources[] = {{24, 0}, {32, 0}, {16, 0}, {8, 0}, {8, 9}};
    for (const Case& source : sources) {
        PixelImage image, expected;
        fillPattern(image, 13, 11, source.bits, source.paletteSize);
        ASSERT_EQ(image.convertTo(expected, 24, 0), 1);
        const std::vector<uint8_t> before = pixelsOf(image);
        const std::string path = output("rgb.png");
        ASSERT_EQ(writePng(path, image, 24), 1) << source.bits;
        const Picture written = decodePng(path);
        ASSERT_TRUE(written.ok);
        EXPECT_EQ(written.width, 13);
        EXPECT_EQ(written.height, 11);
        EXPECT_EQ(written.bitDepth, 8);
        EXPECT_EQ(written.colourType, 2);
        EXPECT_EQ(written.interlace, 1) << "Adam7";
        EXPECT_FALSE(written.hasPalette);
        EXPECT_EQ(written.pixels, pixelsOf(expected)) << source.bits << " " << source.paletteSize;
        EXPECT_EQ(pixelsOf(image), before) << "the caller's image is not changed";
    }
}

TEST_F(PngCodecTest, RgbaOutputReordersTheCallersImage) {
    PixelImage image;
    fillPattern(image, 5, 4, 32);
    const std::vector<uint8_t> argb = pixelsOf(image);
    ASSERT_EQ(writePng(output("rgba.png"), image, 32), 1);
    const Picture written = decodePng(output("rgba.png"));
    EXPECT_EQ(written.colourType, 6);
    EXPECT_EQ(written.interlace, 1);
    EXPECT_FALSE(written.hasPalette);
    std::vector<uint8_t> rgba(argb.size());
    for (std::size_t i = 0; i < argb.size(); i += 4) {
        rgba[i] = argb[i + 1];
        rgba[i + 1] = argb[i + 2];
        rgba[i + 2] = argb[i + 3];
        rgba[i + 3] = argb[i];
    }
    EXPECT_EQ(written.pixels, rgba);
    EXPECT_EQ(pixelsOf(image), rgba) << "reordered in place";

    // Read back, the alpha comes first again.
    PixelImage loaded;
    ASSERT_EQ(load<PngCodec>(output("rgba.png"), loaded), Outcome::Loaded);
    EXPECT_EQ(pixelsOf(loaded), argb);
}

TEST_F(PngCodecTest, PaletteOutputWritesTheEntriesTheImageHolds) {
    // Three colours whose channels are multiples of 8, which the 15-bit
    // colour reduction keeps exactly.
    PixelImage threeColours;
    ASSERT_EQ(threeColours.create(6, 5, 24, 0), 1);
    const uint8_t colours[3][3] = {{248, 0, 0}, {0, 128, 64}, {16, 32, 48}};
    for (int i = 0; i < 30; ++i) std::memcpy(threeColours.pixels() + 3 * i, colours[i % 3], 3);
    PixelImage indexed;  // 5 entries, all used
    fillPattern(indexed, 6, 5, 8, 5);

    struct Case {
        PixelImage* image;
        int asked, entries;
    } cases[] = {
        {&indexed, 256, 5},       // copied with its own palette
        {&indexed, 5, 5},         // written as it is
        {&threeColours, 256, 3},  // as many as the picture has colours
        {&threeColours, 2, 2},
    };
    int n = 0;
    for (const Case& c : cases) {
        PixelImage expected;
        ASSERT_EQ(c.image->convertTo(expected, 8, c.asked), 1);
        const std::string path = output("palette" + std::to_string(n++) + ".png");
        ASSERT_EQ(writePng(path, *c.image, 8, c.asked), 1) << c.asked;
        const Picture written = decodePng(path);
        EXPECT_EQ(written.colourType, 3);
        EXPECT_EQ(written.bitDepth, 8);
        EXPECT_EQ(written.interlace, 1);
        ASSERT_EQ(written.palette.size(), std::size_t(3 * c.entries)) << c.asked;
        for (int i = 0; i < c.entries; ++i) {
            const PaletteEntry& entry = expected.paletteEntries()[i];
            EXPECT_EQ(written.palette[3 * i], entry.red);
            EXPECT_EQ(written.palette[3 * i + 1], entry.green);
            EXPECT_EQ(written.palette[3 * i + 2], entry.blue);
        }
        EXPECT_EQ(written.pixels, pixelsOf(expected));
    }
    for (const uint8_t* colour : colours) {
        const Picture all = decodePng(output("palette2.png"));
        bool found = false;
        for (int i = 0; i < 3; ++i) found |= std::memcmp(&all.palette[3 * i], colour, 3) == 0;
        EXPECT_TRUE(found);
    }

    // Fewer entries than the pixels use: libpng refuses to write indices
    // past the palette, and the write fails cleanly.
    EXPECT_EQ(writePng(output("short.png"), indexed, 8, 3), 0);
    EXPECT_EQ(listFolder(out_).size(), 4u);
}

TEST_F(PngCodecTest, UnsupportedLayoutsAndEmptyImagesMakeNoFile) {
    PixelImage image, empty;
    fillPattern(image, 4, 4, 24);
    struct Case {
        PixelImage* image;
        int bits, paletteSize;
    } cases[] = {{&image, 16, 0}, {&image, 8, 0}, {&image, 8, 257}, {&image, 8, -1},
                 {&image, 12, 0}, {&image, 0, 0}, {&empty, 24, 0},  {&empty, 8, 16}};
    for (const Case& c : cases) {
        PngCodec codec;
        EXPECT_EQ(
            codec.openForWrite(output("bad.png").c_str(), *c.image, c.bits, c.paletteSize, nullptr),
            0)
            << c.bits << " " << c.paletteSize;
        EXPECT_EQ(codec.write(), 0);
    }
    PngCodec codec;
    EXPECT_EQ(codec.openForWrite(nullptr, image, 24, 0, nullptr), 0);
    EXPECT_EQ(codec.write(), 0) << "not open for writing";
    EXPECT_EQ(codec.openForWrite(output("no/folder/x.png").c_str(), image, 24, 0, nullptr), 0);
    EXPECT_TRUE(listFolder(out_).empty());
}

TEST_F(PngCodecTest, WriteReportsSevenPassesAndOnceMoreAtTheEnd) {
    PixelImage image;
    fillPattern(image, 3, 2, 24);
    ProgressLog log;
    ASSERT_EQ(writePng(output("two.png"), image, 24, 0, ProgressLog::callback), 1);
    EXPECT_EQ(log.calls(), rowCalls(0, 2, 7));

    // RGBA output first reports the reordering of each row.
    PixelImage argb;
    fillPattern(argb, 3, 2, 32);
    ProgressLog rgbaLog;
    ASSERT_EQ(writePng(output("two-rgba.png"), argb, 32, 0, ProgressLog::callback), 1);
    std::vector<ProgressCall> expected = {{0, 50, 0, 0}, {0, 100, 1, 0}};
    for (const ProgressCall& call : rowCalls(0, 2, 7)) expected.push_back(call);
    EXPECT_EQ(rgbaLog.calls(), expected);
}

TEST_F(PngCodecTest, FailedWriteReportsTheEnd) {
    PixelImage image;
    fillPattern(image, 3, 2, 32);
    ProgressLog log;
    PngCodec codec;
    ASSERT_EQ(codec.openForWrite(output("two.png").c_str(), image, 24, 0, ProgressLog::callback),
              1);
    {
        ScopedEnv noTemporaryFolder("TMPDIR", "/nonexistent-folder");
        EXPECT_EQ(codec.write(), 0) << "the conversion to 24 bits has nowhere to go";
    }
    EXPECT_EQ(log.calls(), (std::vector<ProgressCall>{{0, 100, 1, 0}}));
    EXPECT_TRUE(listFolder(out_).empty());
}

TEST_F(PngCodecTest, ReadAndWriteGoOneAtATime) {
    PixelImage image, source;
    fillPattern(source, 3, 2, 24);
    PngCodec codec;
    ASSERT_EQ(codec.open(fixture("png/pngsuite/basn2c08.png").c_str(), image, nullptr), 1);
    ASSERT_EQ(codec.openForWrite(output("x.png").c_str(), source, 24, 0, nullptr), 1);
    EXPECT_EQ(codec.read(), 0) << "opening for writing closed the read";
    ASSERT_EQ(codec.openForWrite(output("x.png").c_str(), source, 24, 0, nullptr), 1);
    ASSERT_EQ(codec.open(fixture("png/pngsuite/basn2c08.png").c_str(), image, nullptr), 1);
    EXPECT_EQ(codec.write(), 0) << "opening for reading closed the write";
    EXPECT_TRUE(listFolder(out_).empty());
    EXPECT_EQ(codec.open(fixture("png/pngsuite/basn2c08.png").c_str(), image, nullptr), 1);
    EXPECT_EQ(codec.read(), 1);
}

}  // namespace
}  // namespace imgconv
