#pragma once

namespace vedad {

// Opens the null device on every standard descriptor closed at start, so that no file the
// run opens takes its place and receives what is meant for that stream.
void occupy_standard_descriptors();

// Whether standard output was closed when the run started: a picture sent there would go
// nowhere.
bool standard_output_was_closed();

// Sends everything later written to standard error to the null device.
void silence_standard_error();

}  // namespace vedad
