#include "base/messages.hpp"

#include <algorithm>
#include <cstdlib>

namespace vedad {

namespace {

thread_local MessageBuffer* gathering = nullptr;

}  // namespace

FILE* messages()
{
    return gathering == nullptr ? stderr : gathering->stream;
}

void tell_once(std::string_view text)
{
    if (gathering == nullptr) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        return;
    }
    std::fflush(gathering->stream);
    gathering->once.emplace_back(gathering->size, std::string(text));
}

MessageBuffer::~MessageBuffer()
{
    if (gathering == this) gathering = nullptr;
    if (stream != nullptr) std::fclose(stream);
    std::free(data);
}

bool gather_messages(MessageBuffer* buffer)
{
    if (buffer != nullptr && buffer->stream == nullptr) {
        buffer->stream = open_memstream(&buffer->data, &buffer->size);
        if (buffer->stream == nullptr) return false;
    }
    gathering = buffer;
    return true;
}

void release_messages(MessageBuffer& buffer, std::vector<std::string>& told)
{
    if (buffer.stream != nullptr) std::fflush(buffer.stream);
    size_t at = 0;
    for (const auto& [place, text] : buffer.once) {
        std::fwrite(buffer.data + at, 1, place - at, stderr);
        at = place;
        if (std::find(told.begin(), told.end(), text) != told.end()) continue;
        told.push_back(text);
        std::fwrite(text.data(), 1, text.size(), stderr);
    }
    if (buffer.size > at) std::fwrite(buffer.data + at, 1, buffer.size - at, stderr);
    std::fflush(stderr);
}

}  // namespace vedad
