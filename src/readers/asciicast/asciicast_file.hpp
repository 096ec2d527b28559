#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/rgb.hpp"
#include "base/theme.hpp"

namespace vedad {

// The longest line a recording may have: a recorder writes each read of the terminal as an
// event, a few KiB; a line is held whole while it is read, so it is bounded.
inline constexpr size_t RECORDING_LINE_LIMIT = size_t{8} << 20;
// The largest terminal a recording may ask for, each way.
inline constexpr int32_t RECORDING_SIZE_LIMIT = 65535;

// What the first line of an asciicast v2 recording says: the terminal's size and, when it
// has one, its colours.
struct RecordingHeader {
    int32_t columns = 0;
    int32_t rows = 0;
    std::optional<Rgb> foreground;
    std::optional<Rgb> background;
    std::optional<BasicColors> palette;  // eight colours given stand for the bright ones too
    double idle_time_limit = 0.0;  // seconds; 0 when the recording asks for none
};

// What happened at a time of the recording: output ('o'), input ('i'), a marker ('m') or a
// resize ('r'); kinds that are none of these are read and have no meaning here.
struct RecordingEvent {
    double time = 0.0;  // seconds from the start, never less than the event before
    char kind = 'o';
    std::string data;
    int32_t columns = 0;  // of a resize
    int32_t rows = 0;
};

// A recording read a line at a time, so that its length costs no memory.
struct RecordingReader {
    FILE* stream = nullptr;
    const char* name = "";  // as messages name it
    int64_t line = 0;       // of the last line read
    double last_time = 0.0;
    std::vector<char> buffer;  // bytes read and not yet taken
    size_t start = 0;
    size_t end = 0;
    std::string text;  // the last line read
};

RecordingReader make_recording_reader(FILE* stream, const char* name);

// Reads the header. Ends the run, naming the recording and the line, when the input is no
// asciicast v2 recording (a version 1 file included).
RecordingHeader read_recording_header(RecordingReader& reader);

// Reads the next event into `event`; false at the end of the recording. Blank lines are
// skipped. Ends the run, naming the line, at a line that is no event.
bool read_recording_event(RecordingReader& reader, RecordingEvent& event);

// Reads on to the end and returns the largest size the terminal takes, the header's or a
// resize's. Only resize lines are read as JSON: the others are checked when they are played.
void find_largest_size(RecordingReader& reader, int32_t& columns, int32_t& rows);

}  // namespace vedad
