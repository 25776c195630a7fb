// The command line: any text splits into at most the table's tokens without
// a double quote left in one; and arguments joined as the program joins its
// own (NUL-separated in the input) split back into the same arguments, less
// their double quotes.

#include "FuzzSupport.h"

#include "platform/AppInfo.h"
#include "shell/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ReadCommandLine(text);
    fuzz::Check(gCmdLineTokenCount >= 0, "a negative token count");
    for (int i = 0; i < std::min<int>(gCmdLineTokenCount, kMaxCmdLineTokens); ++i)
        fuzz::Check(!gCmdLineTokens[size_t(i)].contains(QLatin1Char('"')), "a token keeps a double quote");

    QStringList arguments = text.split(QChar(0));
    if (arguments.size() > kMaxCmdLineTokens)
        return 0;
    const qint16 count = ParseCommandLine(appinfo::RawCommandLine(QStringList{QStringLiteral("tarvo")} + arguments));
    fuzz::Check(count == arguments.size(), "the arguments split into another number of tokens");
    for (qsizetype i = 0; i < arguments.size(); ++i)
        fuzz::Check(gCmdLineTokens[size_t(i)] == QString(arguments[i]).remove(QLatin1Char('"')),
                    "an argument splits back otherwise");
    return 0;
}
