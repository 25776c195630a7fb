// The settings hive's text: any input is read or refused, and a hive that is
// read writes out to a text that reads back to the same text.

#include "FuzzSupport.h"

#include "platform/RegistryHive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString error;
    const auto root =
        reg::hive::Parse(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
    if (!root)
        return 0;
    const QByteArray text = reg::hive::Serialize(*root);
    const auto again = reg::hive::Parse(text, &error);
    fuzz::Check(again != nullptr, "a written hive is refused");
    fuzz::Check(reg::hive::Serialize(*again) == text, "a written hive reads back otherwise");
    return 0;
}
