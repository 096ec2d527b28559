#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vedad {

// Where the run's messages go. In the serial run, and on the main thread, that is standard
// error itself. A thread that converts files alongside others gathers each file's messages
// in a buffer of their own instead, which is released in the order of the files, so that
// standard error reads as the serial run's does.
FILE* messages();

// A message the run tells once, with the first file that leads to it (which font draws, a
// fallback font that is missing). Each thread tells it once; of the buffers released, only
// the first that holds it shows it.
void tell_once(std::string_view text);

// One file's messages, gathered while it is converted on a thread of its own.
struct MessageBuffer {
    char* data = nullptr;
    size_t size = 0;
    FILE* stream = nullptr;
    // The messages told once: where they stand in the buffer, and their text.
    std::vector<std::pair<size_t, std::string>> once;

    MessageBuffer() = default;
    MessageBuffer(const MessageBuffer&) = delete;
    MessageBuffer& operator=(const MessageBuffer&) = delete;
    ~MessageBuffer();
};

// Sends this thread's messages to `buffer` from now on (standard error again when null).
// False when no buffer can be made.
bool gather_messages(MessageBuffer* buffer);

// Writes the buffer's messages to standard error, leaving out those told once that an
// earlier buffer showed; `told` keeps the texts shown so far. Only one thread at a time.
void release_messages(MessageBuffer& buffer, std::vector<std::string>& told);

}  // namespace vedad
