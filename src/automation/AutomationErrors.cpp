#include "AutomationErrors.h"

#include "platform/AutomationError.h"

#include <array>
#include <utility>

namespace automationerrors {

namespace {
const QString kPrefix = QStringLiteral("com.corvane.Tarvo.Error.");

const std::array<std::pair<qint32, const char*>, 8> kConstants{{
    {kInvalidParamName, "CJOBCONTROL_E_INVALIDPARAMNAME"},
    {kInvalidParamValue, "CJOBCONTROL_E_INVALIDPARAMVALUE"},
    {kUnsupportedParamName, "CJOBCONTROL_E_UNSUPPORTEDPARAMNAME"},
    {kUnsupportedParamValue, "CJOBCONTROL_E_UNSUPPORTEDPARAMVALUE"},
    {kAutoHandlerModeRequired, "CJOBCONTROL_E_AUTOHANDLERMODEREQUIRED"},
    {kFileNotFound, "CJOBCONTROL_E_FILENOTFOUND"},
    {kErrorLoadingFile, "CJOBCONTROL_E_ERRORLOADINGFILE"},
    {kErrorSavingFile, "CJOBCONTROL_E_ERRORSAVINGFILE"},
}};
} // namespace

QString CodeText(qint32 code)
{
    // Failure codes read as the unsigned hex clients know; others as numbers.
    if (code < 0)
        return QStringLiteral("0x") + QString::number(quint32(code), 16).toUpper().rightJustified(8, QLatin1Char('0'));
    return QString::number(code);
}

BusError ForCode(qint32 code, const QString& source, const QString& text)
{
    QString name = QStringLiteral("JobParameter");
    for (const auto& [value, constant] : kConstants) {
        if (value == code)
            name = QString::fromLatin1(constant);
    }
    return {kPrefix + name, CodeText(code) + QLatin1Char(' ') + source + QStringLiteral(": ") + text};
}

BusError ForJobParameter(qint32 n, const QString& source, const QString& text)
{
    const qint32 code = qint32(quint32(kJobParamBase) + quint32(n));
    if (n >= 1 && n <= 4)
        return ForCode(code, source, text);
    return {kPrefix + QStringLiteral("JobParameter"), CodeText(code) + QLatin1Char(' ') + source + QStringLiteral(": ") + text};
}

BusError ForAutomation(const AutomationError& error)
{
    return {kPrefix + QStringLiteral("Automation"),
            CodeText(error.Number()) + QLatin1Char(' ') + error.Source() + QStringLiteral(": ") + error.Description()};
}

BusError Named(const QString& name, const QString& text)
{
    return {kPrefix + name, text};
}

} // namespace automationerrors
