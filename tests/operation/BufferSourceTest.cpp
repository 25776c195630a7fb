// The buffer source record: where the data buffer's content came from.
#include "TestEnv.h"

#include "operation/CBufferSource.h"

#include <vector>

namespace {

struct Step
{
    qint16 event;
    const char* name;
    int day; // the date sent with the event: 2024-03-<day> 10:00
};

struct Transition
{
    const char* title;
    std::vector<Step> steps;
    qint16 state;
    qint16 type;
    const char* name;
    int day; // the date recorded afterwards
};

void PrintTo(const Transition& t, std::ostream* os)
{
    *os << t.title;
}

QDateTime Day(int day)
{
    return QDateTime(QDate(2024, 3, day), QTime(10, 0));
}

class BufferSourceTransitions : public ::testing::TestWithParam<Transition>
{
};

TEST_P(BufferSourceTransitions, FollowTheEvents)
{
    const Transition& t = GetParam();
    CBufferSource record;
    record.Update(QString(), QDateTime::currentDateTime(), CBufferSource::Cleared);
    for (const Step& s : t.steps)
        record.Update(QString::fromLatin1(s.name), Day(s.day), s.event);
    EXPECT_EQ(record.SourceState(), t.state) << t.title;
    EXPECT_EQ(record.SourceType(), t.type) << t.title;
    EXPECT_EQ(record.Name(), QString::fromLatin1(t.name)) << t.title;
    EXPECT_EQ(record.Date(), Day(t.day)) << t.title;
}

constexpr qint16 kFile = CBufferSource::LoadedFromFile;
constexpr qint16 kRead = CBufferSource::ReadFromDevice;
constexpr qint16 kEdit = CBufferSource::EditedByOperator;

INSTANTIATE_TEST_SUITE_P(
    Table, BufferSourceTransitions,
    ::testing::Values(
        Transition{"file", {{kFile, "a.hex", 1}}, 1, 1, "a.hex", 1},
        Transition{"file then edit keeps the file's date", {{kFile, "a.hex", 1}, {kEdit, "User Input", 2}}, 2, 1, "a.hex*", 1},
        Transition{"a second edit changes nothing",
                   {{kFile, "a.hex", 1}, {kEdit, "User Input", 2}, {kEdit, "User Input", 3}}, 2, 1, "a.hex*", 1},
        Transition{"modified file then another file",
                   {{kFile, "a.hex", 1}, {kEdit, "User Input", 2}, {kFile, "b.hex", 4}}, 1, 1, "b.hex", 4},
        Transition{"file then read", {{kFile, "a.hex", 1}, {kRead, "<Device Content>", 2}}, 3, 2, "<Device Content>", 2},
        Transition{"read twice keeps the name, renews the date",
                   {{kRead, "<Device Content>", 1}, {kRead, "other", 5}}, 3, 2, "<Device Content>", 5},
        Transition{"read then edit", {{kRead, "<Device Content>", 1}, {kEdit, "User Input", 6}}, 4, 2,
                   "<Device Content>*", 6},
        Transition{"edited device content, edit again",
                   {{kRead, "<Device Content>", 1}, {kEdit, "User Input", 6}, {kEdit, "User Input", 7}}, 4, 2,
                   "<Device Content>*", 6},
        Transition{"edited device content, read again",
                   {{kRead, "<Device Content>", 1}, {kEdit, "User Input", 6}, {kRead, "<Device Content>", 8}}, 3, 2,
                   "<Device Content>", 8},
        Transition{"edited device content, file", {{kRead, "<Device Content>", 1}, {kEdit, "x", 6}, {kFile, "c.bin", 9}},
                   1, 1, "c.bin", 9},
        Transition{"edit of an empty buffer", {{kEdit, "User Input", 3}}, 5, 3, "User Input*", 3},
        Transition{"user input, edit again", {{kEdit, "User Input", 3}, {kEdit, "User Input", 4}}, 5, 3, "User Input*", 3},
        Transition{"user input, read", {{kEdit, "User Input", 3}, {kRead, "<Device Content>", 4}}, 3, 2,
                   "<Device Content>", 4},
        Transition{"user input, file", {{kEdit, "User Input", 3}, {kFile, "d.s19", 5}}, 1, 1, "d.s19", 5},
        Transition{"modified file, read", {{kFile, "a.hex", 1}, {kEdit, "x", 2}, {kRead, "<Device Content>", 3}}, 3, 2,
                   "<Device Content>", 3}));

TEST(BufferSource, ClearAndUnknownEventsEmptyTheRecord)
{
    for (qint16 event : {qint16(0), qint16(7), qint16(-1)}) {
        CBufferSource record;
        record.Update(QStringLiteral("a.hex"), Day(1), CBufferSource::LoadedFromFile);
        const QDateTime before = QDateTime::currentDateTime();
        record.Update(QStringLiteral("ignored"), Day(2), event);
        EXPECT_EQ(record.Name(), QStringLiteral("<Empty>")) << event;
        EXPECT_EQ(record.SourceType(), 0) << event;
        EXPECT_EQ(record.SourceState(), 0) << event;
        // A clear records its own time, not the one sent with it.
        EXPECT_GE(record.Date(), before) << event;
    }
}

TEST(BufferSource, DateTextIsTheGeneralDate)
{
    EXPECT_EQ(CBufferSource::GeneralDate(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 7))), "3/5/2024 2:05:07 PM");
    EXPECT_EQ(CBufferSource::GeneralDate(QDateTime(QDate(2024, 12, 25), QTime(0, 0))), "12/25/2024");
    EXPECT_EQ(CBufferSource::GeneralDate(QDateTime(QDate(1899, 12, 30), QTime(9, 30, 0))), "9:30:00 AM");

    CBufferSource record;
    record.Update(QStringLiteral("a.hex"), QDateTime(QDate(2024, 3, 5), QTime(14, 5, 7)), CBufferSource::LoadedFromFile);
    EXPECT_EQ(record.DateText(), "3/5/2024 2:05:07 PM");
}

} // namespace
