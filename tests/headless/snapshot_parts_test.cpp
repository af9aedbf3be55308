// house-snapshot's parts that need no GL, in-process: the memory check, the
// averaging of a supersampled picture, and the PNG writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "snapshot/memory_check.h"
#include "png/png_writer.h"
#include "snapshot/supersample.h"
#include "support/pictures/picture.h"
#include "support/processes/scratch_directory.h"

namespace {

const unsigned long long kGiB = 1ULL << 30;
const unsigned long long kUnlimited = ~0ULL;
const long long kGiBSigned = 1LL << 30;

// 11 bytes a pixel, and room for the renderer: 600 MiB of address space,
// 128 MiB of it resident.
TEST(MemoryCheck, RefusesWhatTheProcessOrTheMachineCannotHold) {
    const struct {
        int side, supersample;
        MemoryRoom room;
        const char* refusal;  // what the message says, or "" for none
    } cases[] = {
        {500, 1, {kUnlimited, -1, -1}, ""},
        {500, 1, {kGiB, kGiBSigned, 0}, ""},
        {16384, 1, {kUnlimited, -1, -1}, ""},  // the machine's memory unknown
        {16384, 1, {3 * kGiB, -1, -1}, "needs about 3.3 GiB, and the process may use 3.0 GiB"},
        {16384, 1, {kUnlimited, 2 * kGiBSigned, kGiBSigned / 2},
         "needs about 2.9 GiB, and the machine has 2.5 GiB"},
        {16384, 1, {kUnlimited, 2 * kGiBSigned, kGiBSigned}, ""},
        {16384, 1, {kUnlimited, 2 * kGiBSigned, -1},
         "needs about 2.9 GiB, and the machine has 2.0 GiB"},
        {4096, 4, {kUnlimited, 2 * kGiBSigned, 0},
         "a 4096x4096 image drawn 4 times as wide and high: it needs about 2.9 GiB"},
        {2048, 4, {kUnlimited, 2 * kGiBSigned, 0}, ""},
    };
    for (const auto& c : cases) {
        const std::string refusal = memoryRefusal(c.side, c.side, c.supersample, c.room);
        SCOPED_TRACE(std::to_string(c.side) + " x" + std::to_string(c.supersample));
        if (*c.refusal == '\0') {
            EXPECT_EQ(refusal, "");
        } else {
            EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
            EXPECT_EQ(refusal.rfind("not enough memory for a ", 0), 0u) << refusal;
        }
    }
}

// Each pixel is the rounded mean of its block, channel by channel; a factor
// of 1 hands the picture back as it was.
TEST(Supersampling, AveragesEachBlockRounded) {
    // A 4x2 drawing of a 2x1 picture: blocks of 2x2.
    const std::vector<unsigned char> drawn = {
        0, 0, 0,   1, 10, 255,   200, 0, 9,  200, 0, 9,
        0, 0, 0,   0, 10, 255,   200, 0, 9,  201, 0, 10,
    };
    EXPECT_EQ(averageBlocks(drawn, 2, 1, 2),
              (std::vector<unsigned char>{0, 5, 128, 200, 0, 9}));
    EXPECT_EQ(averageBlocks(drawn, 4, 2, 1), drawn);
}

TEST(PngWriter, WritesWhatReadsBackAndNamesAFailedWrite) {
    ScratchDirectory scratch;
    const std::vector<unsigned char> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255,
                                            1, 2, 3, 250, 251, 252, 128, 128, 128};
    const std::string file = scratch.path("three-by-two.png");
    FILE* stream = std::fopen(file.c_str(), "wb");
    ASSERT_NE(stream, nullptr);
    std::string reason;
    EXPECT_TRUE(writePng(stream, 3, 2, rgb.data(), reason)) << reason;
    std::fclose(stream);
    EXPECT_EQ(readPng(file), Picture(3, 2, rgb));

    FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    std::setvbuf(full, nullptr, _IONBF, 0);
    EXPECT_FALSE(writePng(full, 3, 2, rgb.data(), reason));
    EXPECT_EQ(reason, "No space left on device");
    std::fclose(full);
}

}  // namespace
