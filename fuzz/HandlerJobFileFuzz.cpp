// The automatic handler's job files: a file that loads saves to one that
// loads back to the same settings.

#include "FuzzSupport.h"

#include "H950HdlrJobFile.h"

#include <QMap>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::App();
    const QString path = fuzz::WriteInput(QStringLiteral("job.aqx"), data, size);
    QMap<int, QVariant> loaded;
    if (!H950HdlrJobFile::Load(path, [&](int id, const QVariant& v) { loaded[id] = v; }))
        return 0;
    const QString copy = fuzz::Folder().filePath(QStringLiteral("copy.aqx"));
    // A value with a line break cannot be written; the save says so.
    if (!H950HdlrJobFile::Save(copy, [&](int id) { return loaded.value(id); }))
        return 0;
    QMap<int, QVariant> again;
    fuzz::Check(H950HdlrJobFile::Load(copy, [&](int id, const QVariant& v) { again[id] = v; }),
                "a saved handler job is refused");
    for (auto it = loaded.cbegin(); it != loaded.cend(); ++it)
        fuzz::Check(again.value(it.key()).toString() == it.value().toString(),
                    "a saved handler job reads back otherwise");
    return 0;
}
