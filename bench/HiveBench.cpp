// Reading a settings hive whose one key holds many values, or many subkeys:
// the text a start-up reads from the registry's file, parsed into the key
// tree, for 5,000, 20,000 and 80,000 entries. Reading should grow with the
// size of the file, not with its square.
//
// bench_hive [google benchmark flags]

#include "platform/RegistryHive.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray ManyValues(int count)
{
    QByteArray text = "Corvane registry hive 1\n\n[Software\\Corvane\\Tarvo\\Bulk]\n";
    for (int i = 0; i < count; ++i)
        text += "\"Value" + QByteArray::number(i) + "\"=sz:\"" + QByteArray::number(i) + "\"\n";
    return text;
}

QByteArray ManySubkeys(int count)
{
    QByteArray text = "Corvane registry hive 1\n";
    for (int i = 0; i < count; ++i)
        text += "\n[Software\\Corvane\\Tarvo\\Bulk\\Key" + QByteArray::number(i) + "]\n\"v\"=dword:00000001\n";
    return text;
}

void Parse(benchmark::State& state, const QByteArray& text)
{
    for (auto _ : state) {
        QString error;
        auto root = reg::hive::Parse(text, &error);
        if (!root)
            state.SkipWithError(qPrintable(error));
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

void BM_ParseManyValues(benchmark::State& state)
{
    Parse(state, ManyValues(int(state.range(0))));
}

void BM_ParseManySubkeys(benchmark::State& state)
{
    Parse(state, ManySubkeys(int(state.range(0))));
}

} // namespace

BENCHMARK(BM_ParseManyValues)->Arg(5000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseManySubkeys)->Arg(5000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
