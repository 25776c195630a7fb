#include "shell/StartUp.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct CommandLineCase
{
    const char* name;
    QString raw;
    QStringList tokens;
    QString jobFile, device, dataFile, logFile;
    bool vexal = false;
    bool generateDeviceList = false;
};

void PrintTo(const CommandLineCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase>
{
protected:
    void SetUp() override
    {
        gCmdLineLogFile.clear();
        ClearCommandLineFiles();
        gbGenerateDeviceList = false;
    }
};

TEST_P(CommandLineTest, TokensFlagsAndValues)
{
    const CommandLineCase& c = GetParam();
    ReadCommandLine(c.raw);
    ASSERT_EQ(gCmdLineTokenCount, c.tokens.size());
    for (int i = 0; i < c.tokens.size(); ++i)
        EXPECT_EQ(gCmdLineTokens[i], c.tokens[i]) << "token " << i;
    EXPECT_EQ(gCmdLineJobFile, c.jobFile);
    EXPECT_EQ(gCmdLineDevice, c.device);
    EXPECT_EQ(gCmdLineDataFile, c.dataFile);
    EXPECT_EQ(gCmdLineLogFile, c.logFile);
    EXPECT_EQ(gbVexalMode, c.vexal);
    EXPECT_EQ(gbGenerateDeviceList, c.generateDeviceList);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        CommandLineCase{"Empty", "", {}},
        CommandLineCase{"QuotedPathWithBlanks",
                        R"(-SK "/home/op/My Jobs/a b.sk" -device AT29C256)",
                        {"-SK", "/home/op/My Jobs/a b.sk", "-device", "AT29C256"},
                        "/home/op/My Jobs/a b.sk", "AT29C256"},
        CommandLineCase{"TwoBlanksGiveEmptyValue", "-device  AT29C256", {"-device", "", "AT29C256"}, "", ""},
        CommandLineCase{"LeadingBlankGivesEmptyFirstToken", " -log x.log", {"", "-log", "x.log"}, "", "", "", "x.log"},
        CommandLineCase{"TrailingBlankAddsNoToken", "-prog_file a.hex ", {"-prog_file", "a.hex"}, "", "", "a.hex"},
        CommandLineCase{"FirstOccurrenceWins", "-device A -device B", {"-device", "A", "-device", "B"}, "", "A"},
        CommandLineCase{"OptionAsLastToken", "-prog_file", {"-prog_file"}},
        CommandLineCase{"OtherLetterCaseNotRecognised", "-sk job.sk -Device X -vexal",
                        {"-sk", "job.sk", "-Device", "X", "-vexal"}},
        CommandLineCase{"VexalInsideAnotherToken", "-prog_file my-Vexal.hex",
                        {"-prog_file", "my-Vexal.hex"}, "", "", "my-Vexal.hex", "", true},
        CommandLineCase{"GenerateDeviceListAnywhere", "x-GenerateDeviceListy", {"x-GenerateDeviceListy"},
                        "", "", "", "", false, true},
        CommandLineCase{"UnclosedQuoteKeepsRestInOneToken", R"(-device "A B -log c)",
                        {"-device", "A B -log c"}, "", "A B -log c"},
        CommandLineCase{"QuotesRemovedEverywhere", R"(-log a"b"c)", {"-log", "abc"}, "", "", "", "abc"}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) { return std::string(info.param.name); });

TEST(CommandLineLimits, MoreThanTheTableKeepsTheFirstTokens)
{
    QStringList words;
    for (int i = 0; i < 150; ++i)
        words << QString::number(i);
    EXPECT_EQ(ParseCommandLine(words.join(' ')), kMaxCmdLineTokens);
    EXPECT_EQ(gCmdLineTokens[100], "100");
}

TEST(CommandLineLimits, OptionAsTheLastKeptTokenHasAnEmptyValue)
{
    QStringList words;
    for (int i = 0; i < 100; ++i)
        words << QString::number(i);
    words << "-device" << "X";
    ClearCommandLineFiles();
    ReadCommandLine(words.join(' '));
    EXPECT_EQ(FindCommandLineArg("-device"), 100);
    EXPECT_EQ(gCmdLineDevice, "");
}

TEST(CommandLineLimits, FindReturnsMinusOneWhenAbsent)
{
    ParseCommandLine("-a -b");
    EXPECT_EQ(FindCommandLineArg("-b"), 1);
    EXPECT_EQ(FindCommandLineArg("-c"), -1);
    EXPECT_EQ(FindCommandLineArg("-B"), -1);
}

TEST(CommandLineLimits, ClearLeavesTheLogFile)
{
    ReadCommandLine("-SK a -device b -prog_file c -log d");
    ClearCommandLineFiles();
    EXPECT_EQ(GetCmdLineDevice(), "");
    EXPECT_EQ(GetCmdLineDataFile(), "");
    EXPECT_EQ(gCmdLineJobFile, "");
    EXPECT_EQ(GetCmdLineLogFile(), "d");
}

} // namespace
