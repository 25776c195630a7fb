#include "platform/FileStamp.h"

#include <gtest/gtest.h>

namespace {
timespec At(time_t seconds, long nanoseconds)
{
    return {seconds, nanoseconds};
}

FileStamp Stamp(timespec modified, timespec changed, timespec readAt)
{
    struct stat st
    {};
    st.st_mtim = modified;
    st.st_ctim = changed;
    return FileStamp::Of(st, readAt);
}
} // namespace

// A stamp is trusted only when a later write could not keep the file's
// times: well past the clock tick of the file system that made them.
TEST(FileStampTest, OnlyATimeWellPastItsClockTickIsTrusted)
{
    const struct
    {
        const char* what;
        timespec modified, changed, readAt;
        bool trusted;
    } cases[] = {
        {"fine times, read in the same tick", At(100, 5'000'000), At(100, 5'000'000), At(100, 6'000'000), false},
        {"fine times, read 15 ms later", At(100, 5'000'000), At(100, 5'000'000), At(100, 20'000'000), false},
        {"fine times, read 30 ms later", At(100, 5'000'000), At(100, 5'000'000), At(100, 35'000'000), true},
        {"changed later than modified", At(90, 5'000'000), At(100, 5'000'000), At(100, 10'000'000), false},
        {"whole seconds, read a second later", At(100, 0), At(100, 0), At(101, 500'000'000), false},
        {"whole seconds, read three seconds later", At(100, 0), At(100, 0), At(103, 0), true},
        {"read before the times (another clock)", At(100, 5'000'000), At(100, 5'000'000), At(99, 0), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Stamp(c.modified, c.changed, c.readAt).trusted(), c.trusted) << c.what;

    EXPECT_FALSE(FileStamp().trusted()) << "no stamp";
    EXPECT_TRUE(FileStamp::Missing().trusted()) << "a missing file";
}
