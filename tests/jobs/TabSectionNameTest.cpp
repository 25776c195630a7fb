// The names a job file's tab sections are made from, and the test of a
// stored selection that says whether it holds anything to look for.
#include "operation/frmProgram.h"

#include <gtest/gtest.h>

namespace {

TEST(TabSectionNameTest, LettersOnlyKeepsTheAsciiLettersInOrder)
{
    const std::pair<QString, QString> cases[] = {
        {"&Program", "Program"},         {"PROGRA&M", "PROGRAM"}, {"Te&st 2", "Test"},
        {"My Action 12!", "MyAction"},   {"", ""},                {QString::fromUtf8("Läsen"), "Lsen"},
    };
    for (const auto& [caption, letters] : cases)
        EXPECT_EQ(frmProgram::LettersOnly(caption), letters) << caption.toStdString();
}

TEST(TabSectionNameTest, ViewableCharactersAreThoseFromExclamationToTilde)
{
    const std::pair<QString, bool> cases[] = {
        {"", false},    {"   ", false}, {" a", true},  {"\t\r\n", false},
        {"!", true},    {"~", true},    {QString(QChar(127)), false}, {QString::fromUtf8("é"), false},
    };
    for (const auto& [text, viewable] : cases)
        EXPECT_EQ(frmProgram::ContainsViewableCharacters(text), viewable) << text.toStdString();
}

} // namespace
