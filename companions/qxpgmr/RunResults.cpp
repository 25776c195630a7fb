#include "RunResults.h"

#include <QList>

namespace RunResult {
namespace {

struct Entry
{
    qint32 code;
    const char* text;
};

// Failure codes of a device, by the category the station counts them in.
constexpr Entry kFailures[] = {
    {4, "Over-current on the device supply"},
    {59, "Power supply out of limits"},
    {80, "Over-current on the programming voltage"},
    {14, "Continuity failure"},
    {15, "Pin contact failure"},
    {16, "Device inserted the wrong way round"},
    {56, "Ground pin not connected"},
    {21, "Programming failure"},
    {22, "Erase failure"},
    {23, "Device ID mismatch"},
    {24, "Manufacturer ID mismatch"},
    {25, "No device ID read"},
    {26, "Device not blank"},
    {54, "Device not blank after erase"},
    {27, "Security failure"},
    {28, "Verify failure"},
    {50, "Verify failure at the margin voltage"},
    {37, "Illegal bit set"},
    {38, "Functional test failure"},
    {39, "Device already secured"},
    {7, "Socket empty"},
    {29, "Device check skipped"},
    {62, "Operation not completed"},
    {UnexpectedResponse, "Unexpected device response"},
};

// Results of a run that are not a device's failure.
constexpr Entry kResults[] = {
    {Passed, "Operation successful"},
    {Aborted, "Operation aborted"},
    {EngineError, "Programmer not responding"},
    {InvalidCommand, "Command not available for this device"},
    {NoDevice, "No device selected"},
    {InvalidSite, "No such site"},
};

template <size_t N> const char* Find(const Entry (&table)[N], qint32 code)
{
    for (const Entry& e : table) {
        if (e.code == code)
            return e.text;
    }
    return nullptr;
}

} // namespace

QString FailureText(qint32 code)
{
    if (const char* text = Find(kFailures, code))
        return QString::fromLatin1(text);
    return QStringLiteral("Failure code %1").arg(code);
}

QString ResultText(qint32 result)
{
    if (const char* text = Find(kResults, result))
        return QString::fromLatin1(text);
    if (const char* text = Find(kFailures, result))
        return QString::fromLatin1(text);
    return QStringLiteral("Result %1").arg(result);
}

bool IsStop(qint32 result)
{
    return result == Aborted || result == EngineError;
}

const QList<qint32>& FailureCodes()
{
    static const QList<qint32> codes = [] {
        QList<qint32> list;
        for (const Entry& e : kFailures)
            list.append(e.code);
        return list;
    }();
    return codes;
}

} // namespace RunResult
