// The algorithm database: any file opens or is refused with a result, and
// every device of one that opens is read or refused without a fault.

#include "FuzzSupport.h"

#include "AlgorithmDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::App();
    const QString path = fuzz::WriteInput(QStringLiteral("qxalg.db"), data, size);
    AlgorithmDatabase db;
    if (db.Open(path) != AlgorithmDatabase::Loaded)
        return 0;
    int read = 0;
    for (const DeviceSummary& device : db.DeviceIndex()) {
        db.FindDevice(device.name);
        if (++read == 64)
            break;
    }
    return 0;
}
