#include "CommandLine.h"

#include "platform/AppInfo.h"

bool gbVexalMode = false;
bool gbGenerateDeviceList = false;
std::array<QString, kMaxCmdLineTokens> gCmdLineTokens;
qint16 gCmdLineTokenCount = 0;
QString gCmdLineJobFile;
QString gCmdLineDevice;
QString gCmdLineDataFile;
QString gCmdLineLogFile;

namespace {
QString g_rawCommandLine;
bool g_rawCommandLineSet = false;
} // namespace

QString RawCommandLineText()
{
    if (!g_rawCommandLineSet)
        return appinfo::RawCommandLine();
    return g_rawCommandLine;
}

void SetRawCommandLineText(const QString& text)
{
    g_rawCommandLine = text;
    g_rawCommandLineSet = true;
}

void ReadCommandLine(const QString& raw)
{
    gbVexalMode = raw.contains(QLatin1String("-Vexal"));
    gCmdLineTokenCount = ParseCommandLine(raw);
    if (raw.contains(QLatin1String("-GenerateDeviceList")))
        gbGenerateDeviceList = true;
    const struct { const char* option; QString* value; } options[] = {
        {"-SK", &gCmdLineJobFile},
        {"-device", &gCmdLineDevice},
        {"-prog_file", &gCmdLineDataFile},
        {"-log", &gCmdLineLogFile},
    };
    for (const auto& o : options) {
        const int i = FindCommandLineArg(QString::fromLatin1(o.option));
        // An option that is the last token has an empty value.
        if (i != -1)
            *o.value = i + 1 < gCmdLineTokenCount ? gCmdLineTokens[i + 1] : QString();
    }
}

qint16 ParseCommandLine(const QString& text)
{
    for (QString& t : gCmdLineTokens)
        t.clear();
    int count = 0;
    // Tokens beyond the table are dropped: the table keeps the first ones.
    auto add = [&count](const QString& token) {
        if (count < kMaxCmdLineTokens)
            gCmdLineTokens[count] = token;
        ++count;
    };
    int start = 0;
    bool inQuotes = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
        } else if (c == QLatin1Char(' ') && !inQuotes) {
            add(text.mid(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size())
        add(text.mid(start));
    count = qMin(count, kMaxCmdLineTokens);
    for (int i = 0; i < count; ++i)
        StripQuotes(gCmdLineTokens[i]);
    gCmdLineTokenCount = qint16(count);
    return gCmdLineTokenCount;
}

void StripQuotes(QString& s)
{
    s.remove(QLatin1Char('"'));
}

int FindCommandLineArg(const QString& switchText)
{
    for (int i = 0; i < gCmdLineTokenCount && i < kMaxCmdLineTokens; ++i) {
        if (gCmdLineTokens[i] == switchText)
            return i;
    }
    return -1;
}

void ClearCommandLineFiles()
{
    gCmdLineJobFile.clear();
    gCmdLineDevice.clear();
    gCmdLineDataFile.clear();
}

QString GetCmdLineDataFile() { return gCmdLineDataFile; }
void SetCmdLineDataFile(const QString& s) { gCmdLineDataFile = s; }
QString GetCmdLineLogFile() { return gCmdLineLogFile; }
void SetCmdLineLogFile(const QString& s) { gCmdLineLogFile = s; }
QString GetCmdLineDevice() { return gCmdLineDevice; }
void SetCmdLineDevice(const QString& s) { gCmdLineDevice = s; }
