// The plain rules of the data pattern windows: path splitting, size texts,
// the save range of an empty buffer, which types take byte or word
// addressing.

#include "buffer/BufferRules.h"

#include <gtest/gtest.h>

using namespace bufferrules;

struct SplitCase
{
    const char* path;
    const char* drive;
    const char* folder;
    const char* name;
};

class SplitPathTest : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitPathTest, SplitsAtTheLastSeparator)
{
    const SplitCase& c = GetParam();
    const FileLocation location = SplitPath(QString::fromUtf8(c.path));
    EXPECT_EQ(location.drive, QString::fromUtf8(c.drive));
    EXPECT_EQ(location.folder, QString::fromUtf8(c.folder));
    EXPECT_EQ(location.name, QString::fromUtf8(c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SplitPathTest,
    ::testing::Values(SplitCase{"/home/op/jobs/a.hex", "/", "/home/op/jobs/", "a.hex"},
                      // Deeper than any fixed count of pieces.
                      SplitCase{"/a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q/r/s/t/u/v/w/x/y/z/A/B/C/D/E/F/G/H/I/J/K/L/M/N/O/P/x.s19",
                                "/", "/a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q/r/s/t/u/v/w/x/y/z/A/B/C/D/E/F/G/H/I/J/K/L/M/N/O/P/",
                                "x.s19"},
                      SplitCase{"/pattern.bin", "/", "/", "pattern.bin"},
                      // A backslash is part of a Linux file name.
                      SplitCase{"/data/odd\\name.hex", "/", "/data/", "odd\\name.hex"},
                      SplitCase{"rel/x.hex", "rel", "rel/", "x.hex"}));

TEST(BufferRulesTest, SizeTextsFollowRadixAndUnit)
{
    EXPECT_EQ(SizeText(4096, true, false), QStringLiteral("1000h bytes"));
    EXPECT_EQ(SizeText(4096, false, false), QStringLiteral("4096 bytes"));
    EXPECT_EQ(SizeText(928, true, true), QStringLiteral("3A0h fuses"));
    EXPECT_EQ(SizeText(928, false, true), QStringLiteral("928 fuses"));
}

TEST(BufferRulesTest, AnEmptyBufferOffersNoNegativeHighAddress)
{
    EXPECT_EQ(HighestBufferAddress(0), 0);
    EXPECT_EQ(HighestBufferAddress(65536), 65535);
}

TEST(BufferRulesTest, OnlyIntelAndMotorolaTakeAddressSize)
{
    for (qint32 code = 0; code < 18; ++code)
        EXPECT_EQ(TakesAddressSize(code), code == 1 || code == 3) << code;
    EXPECT_FALSE(TakesAddressSize(-1));
    for (qint32 code = 0; code < 18; ++code)
        EXPECT_EQ(LocksFillValue(code), code == 2 || code == 17) << code;
}
