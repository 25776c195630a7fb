#include "RunCounters.h"

#include "engine/EngineCodes.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qint32 kLargestLong = std::numeric_limits<qint32>::max();

void Increment(qint32& counter)
{
    if (counter < kLargestLong)
        ++counter;
}

template <size_t N>
bool In(const qint32 (&codes)[N], qint32 code)
{
    return std::find(std::begin(codes), std::end(codes), code) != std::end(codes);
}

} // namespace

const std::array<RunCounters::Category, RunCounters::kCategoryCount>& RunCounters::Categories()
{
    using namespace FailureCode;
    static const std::array<Category, kCategoryCount> categories = {{
        {AlreadySecured, &RunCounters::lngNumFailedAlreadySecured, "Already secured     :"},
        {BadID, &RunCounters::lngNumFailedBadID, "Bad electronic IDs :"},
        {Continuity, &RunCounters::lngNumFailedContinuity, "Continuity failures :"},
        {Erase, &RunCounters::lngNumFailedErase, "Erase failures      :"},
        {Functionality, &RunCounters::lngNumFailedFunctionality, "Functional failures :"},
        {IllegalBit, &RunCounters::lngNumFailedIllegalBit, "Illegal bit failures:"},
        {NonBlank, &RunCounters::lngNumFailedNonBlank, "Non-blank failures  :"},
        {OverCurrent, &RunCounters::lngNumFailedOverCurrent, "Overcurrent failures:"},
        {Programming, &RunCounters::lngNumFailedProgramming, "Program failures    :"},
        {Security, &RunCounters::lngNumFailedSecurity, "Security failures   :"},
        {Verify, &RunCounters::lngNumFailedVerify, "Verify failures     :"},
        {{}, &RunCounters::lngNumFailedOther, "All other failures:"},
    }};
    return categories;
}

const RunCounters::Category* RunCounters::CategoryOf(qint32 code)
{
    if (In(FailureCode::NoCategory, code))
        return nullptr;
    const auto& categories = Categories();
    for (const Category& category : categories) {
        if (std::find(category.codes.begin(), category.codes.end(), code) != category.codes.end())
            return &category;
    }
    return &categories.back();
}

void RunCounters::Reset()
{
    lngNumPassed = 0;
    lngNumFailed = 0;
    for (const Category& category : Categories())
        this->*category.member = 0;
}

void RunCounters::CountFailure(qint32 failureCode)
{
    Increment(lngNumFailed);
    if (const Category* category = CategoryOf(failureCode))
        Increment(this->*category->member);
}

void RunCounters::CountPass()
{
    Increment(lngNumPassed);
}

void RunCounters::CountPassedSite()
{
    if (lngNumLeft > std::numeric_limits<qint32>::min())
        --lngNumLeft;
    Increment(lngNumPassed);
}

void RunCounters::CountAbortedDevice()
{
    Increment(lngNumFailed);
    Increment(lngNumFailedOther);
}

qint32 RunCounters::CategorisedFailures() const
{
    qint64 sum = 0;
    for (const Category& category : Categories())
        sum += this->*category.member;
    return qint32(std::min<qint64>(sum, kLargestLong));
}

double RunCounters::Yield() const
{
    const double run = double(lngNumPassed) + double(lngNumFailed);
    return run > 0 ? double(lngNumPassed) * 100.0 / run : 0.0;
}

qint32 RunCounters::DevicesPerHour(qint64 elapsedMilliseconds) const
{
    if (elapsedMilliseconds <= 0)
        return 0;
    const double run = double(std::max(lngNumPassed, 0)) + double(std::max(lngNumFailed, 0));
    const double perHour = run * 3600000.0 / double(elapsedMilliseconds);
    return perHour >= double(kLargestLong) ? kLargestLong : qint32(perHour);
}
