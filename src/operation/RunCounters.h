#pragma once

// The counters of a run: devices passed, failed, remaining and to do, and the
// failed devices by failure category. The operation window shows them, and
// the job summary, the job record log and the automation monitor read them.
// A plain class: it knows the categories, not the windows.

#include <QString>
#include <array>
#include <span>

class RunCounters
{
public:
    qint32 lngNumPassed = 0;
    qint32 lngNumFailed = 0;
    qint32 lngNumLeft = 0;
    qint32 lngNumToDo = 0;
    // Failed devices by category, in the order the job summary prints them.
    qint32 lngNumFailedAlreadySecured = 0;
    qint32 lngNumFailedBadID = 0;
    qint32 lngNumFailedContinuity = 0;
    qint32 lngNumFailedErase = 0;
    qint32 lngNumFailedFunctionality = 0;
    qint32 lngNumFailedIllegalBit = 0;
    qint32 lngNumFailedNonBlank = 0;
    qint32 lngNumFailedOverCurrent = 0;
    qint32 lngNumFailedProgramming = 0;
    qint32 lngNumFailedSecurity = 0;
    qint32 lngNumFailedVerify = 0;
    qint32 lngNumFailedOther = 0;

    // One failure category: the engine's failure codes counted in it, its
    // counter, and the label the job summary and the job record log give it.
    // The last category ("other") takes every code of no other row.
    struct Category
    {
        std::span<const qint32> codes;
        qint32 RunCounters::*member;
        const char* label;
    };
    static constexpr int kCategoryCount = 12;
    static const std::array<Category, kCategoryCount>& Categories();
    // The category a failure code of the engine counts in; nullptr for the
    // codes that count in none. Every code of no list, negative codes and
    // codes above 80 included, counts as "other".
    static const Category* CategoryOf(qint32 failureCode);

    // At the start of a loop or a session: passed, failed and every category
    // to 0. The devices remaining and to do are the session's to set.
    void Reset();
    // A failed device with the engine's failure code: failed and its
    // category, if any. Counts stop at the largest Long instead of wrapping.
    void CountFailure(qint32 failureCode);
    void CountPass();
    // A site passed: one device fewer remains (the count may go below 0
    // when the session set none) and one more passed.
    void CountPassedSite();
    // A device stopped before the engine reported it: failed, as "other".
    void CountAbortedDevice();

    qint32 CategoryCount(int index) const { return this->*Categories().at(size_t(index)).member; }
    // The failed devices counted in a category: at most lngNumFailed.
    qint32 CategorisedFailures() const;

    // Passed devices in percent of the devices run; 0 when none ran.
    double Yield() const;
    // Devices run (passed and failed) per hour over the elapsed time; 0 when
    // no time has passed. At most the largest Long.
    qint32 DevicesPerHour(qint64 elapsedMilliseconds) const;
};
