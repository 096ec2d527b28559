// Reads the input as an asciicast v2 recording, header and events, as a recording is read
// before it is played: it is read whole or refused on a line it has, and what it gives is
// sane (sizes in range, times from 0 that never go back).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/fail.hpp"
#include "fuzz_support.hpp"
#include "readers/asciicast/asciicast_file.hpp"

namespace {

bool is_side(int32_t side)
{
    return side >= 1 && side <= vedad::RECORDING_SIZE_LIMIT;
}

// Reads the recording, checking what it gives; false when it was refused.
bool read_recording(FILE* input, int64_t lines)
{
    vedad::RecordingReader reader = vedad::make_recording_reader(input, "fuzz");
    try {
        const vedad::RecordingHeader header = vedad::read_recording_header(reader);
        if (!is_side(header.columns) || !is_side(header.rows)) std::abort();
        if (!(header.idle_time_limit >= 0) || !std::isfinite(header.idle_time_limit)) std::abort();
        vedad::RecordingEvent event;
        double last = 0.0;
        while (vedad::read_recording_event(reader, event)) {
            if (!(event.time >= last) || !std::isfinite(event.time)) std::abort();
            if (event.kind == 'r' && (!is_side(event.columns) || !is_side(event.rows))) std::abort();
            last = event.time;
        }
    } catch (const vedad::FileFailed&) {
        if (reader.line < 1 || reader.line > lines) std::abort();
        return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    vedad_fuzz::initialize(argc, argv);
    // A refused recording ends its file, not the process, as on a thread of --jobs=.
    vedad::fail_by_throwing(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int64_t lines = 1;
    for (size_t i = 0; i < size; ++i) lines += data[i] == '\n' ? 1 : 0;
    FILE* input = vedad_fuzz::open_input(data, size);
    if (input == nullptr) return 0;
    read_recording(input, lines);
    std::fclose(input);
    return 0;
}
