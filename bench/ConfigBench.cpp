#include <benchmark/benchmark.h>

#include "config/ConfigRecord.h"
#include "config/Crc.h"

// The record's CRC, computed at every save, write and information request.
static void RecordCrc(benchmark::State& state)
{
    const TCrc crc;
    ConfigRecord record = ConfigRecord::blank();
    for (int i = 0; i < CONFIG_IMAGE_SIZE; ++i)
        record.bytes[i] = static_cast<std::uint8_t>(i * 31);
    for (auto _ : state)
        benchmark::DoNotOptimize(ConfigCrc(crc, record));
    state.SetBytesProcessed(state.iterations() * (CONFIG_IMAGE_SIZE - 2));
}
BENCHMARK(RecordCrc);

static void CrcTable(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TCrc::MakeTable());
}
BENCHMARK(CrcTable);
