// The engine's settings file as the Sealbook settings and the station state
// read it (engine.ini): any text reads, and no value decides what reading
// costs beyond the text's own size.

#include "FuzzSupport.h"

#include "SealbookSettings.h"
#include "StationState.h"
#include "simplan/PlainIni.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::App();
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const simplan::PlainIni ini = simplan::PlainIni::Parse(text);
    const SealbookSettings settings = SealbookSettings::Parse(ini);
    fuzz::Check(settings.passwordKey.size() <= qsizetype(size), "a value larger than its file");
    const QString path = fuzz::WriteInput(QStringLiteral("engine.ini"), data, size);
    StationState::Load(path);
    SealbookSettings::Load(path);
    return 0;
}
