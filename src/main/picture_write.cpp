#include "main/picture_write.hpp"

#include "main/file_jobs.hpp"
#include "output/announce_output.hpp"
#include "output/output_path.hpp"

namespace vedad {

void write_picture_now(PictureWrite& write)
{
    const Options& options = *write.options;
    make_output_directory(options);
    // A new name is found free by linking the picture to it.
    OutputPath output = make_page_output_path(options, write.operand, write.page, false);
    if (write.picture.bytes.empty()) fail_writing_output(options, output, write.failure);
    // Prints the "writing" line: for a new name once the picture is complete under it.
    const unsigned char* bytes = write.picture.bytes.data();
    const size_t size = write.picture.bytes.size();
    if (write.early != nullptr) write_picture(options, output, bytes, size, *write.early);
    else write_picture(options, output, bytes, size);
}

void write_in_turn(PictureWrite&& write)
{
    if (!writes_in_turns()) {
        write_picture_now(write);
        return;
    }
    hand_over_picture(std::move(write));
}

}  // namespace vedad
