#include "main/file_jobs.hpp"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <sched.h>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <gd.h>
#include <malloc.h>

#include "base/ending_signals.hpp"
#include "base/fail.hpp"
#include "base/messages.hpp"
#include "canvas/canvas.hpp"
#include "main/convert_file.hpp"

namespace vedad {

namespace {

constexpr int KEPT_FREE_MEMORY = 64 << 20;

// What the threads share, under `mutex`.
struct FileJobs {
    const Options* options = nullptr;
    const Operands* operands = nullptr;
    std::mutex mutex;
    std::condition_variable turn_passed;
    size_t next = 0;       // the next operand a thread takes
    size_t turn = 0;       // the operand whose pictures and messages may go out now
    bool ended = false;    // a file failed, at `turn`: nothing after it goes out
    std::vector<std::string> told;  // the messages told once so far, for the thread at its turn
};

// The file this thread converts, and whether it holds the turn.
struct CurrentFile {
    FileJobs* jobs = nullptr;
    size_t index = 0;
    bool holding = false;
};

thread_local CurrentFile current;

// Thrown on a thread waiting to write when a file before its own failed: the run ends there.
struct FileAbandoned {};

// Waits for the turn of the current file; false when a file before it failed.
bool take_turn()
{
    FileJobs& jobs = *current.jobs;
    std::unique_lock lock(jobs.mutex);
    jobs.turn_passed.wait(lock, [&] { return jobs.ended || jobs.turn == current.index; });
    if (jobs.ended) return false;
    current.holding = true;
    return true;
}

// Tells the file's messages, then passes the turn on, or ends the run when the file failed.
void finish_turn(MessageBuffer& buffer, bool failed)
{
    FileJobs& jobs = *current.jobs;
    release_messages(buffer, jobs.told);
    {
        const std::lock_guard lock(jobs.mutex);
        if (failed) jobs.ended = true;
        else ++jobs.turn;
    }
    jobs.turn_passed.notify_all();
}

// Takes the next operand; false when none is left or the run has ended.
bool take_file(FileJobs& jobs, size_t& index)
{
    const std::lock_guard lock(jobs.mutex);
    if (jobs.ended || jobs.next >= jobs.operands->size()) return false;
    index = jobs.next++;
    return true;
}

void convert_files_of_thread(FileJobs& jobs)
{
    Canvas canvas;
    canvas_init(canvas, jobs.options->drawing);
    fail_by_throwing(true);
    size_t index = 0;
    while (take_file(jobs, index)) {
        current = CurrentFile{&jobs, index, false};
        MessageBuffer buffer;
        bool failed = !gather_messages(&buffer);
        if (failed) {
            // No room to hold its messages: the run ends at this file, with the reason.
            const int error = errno;
            gather_messages(nullptr);
            if (!take_turn()) break;
            std::fprintf(stderr, "error: could not keep the messages of %s: %s\n", (*jobs.operands)[index],
                         std::strerror(error));
            finish_turn(buffer, true);
            break;
        }
        try {
            convert_file(*jobs.options, canvas, (*jobs.operands)[index]);
        } catch (const FileFailed&) {
            failed = true;
        } catch (const FileAbandoned&) {
            break;
        }
        gather_messages(nullptr);
        if (!current.holding && !take_turn()) break;
        finish_turn(buffer, failed);
        if (failed) break;
    }
    gather_messages(nullptr);
    fail_by_throwing(false);
    current = CurrentFile{};
    if (canvas.image != nullptr) canvas_destroy(canvas);
}

}  // namespace

int32_t jobs_wanted(int32_t jobs)
{
    if (jobs > 0) return jobs;
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0) return std::max(CPU_COUNT(&cores), 1);
    return static_cast<int32_t>(std::max(std::thread::hardware_concurrency(), 1u));
}

bool writes_in_turns()
{
    return current.jobs != nullptr;
}

void wait_for_turn_to_write()
{
    if (current.jobs == nullptr || current.holding) return;
    if (!take_turn()) throw FileAbandoned{};
}

int convert_files_in_jobs(const Options& options, const Operands& operands, int32_t threads)
{
    FileJobs jobs;
    jobs.options = &options;
    jobs.operands = &operands;
    // libgd sets up its font cache on its first text call, which two threads must not make
    // at once; from then on its text calls take turns.
    gdFontCacheSetup();
    // Each file's canvas and picture are freed when it is written. Given back to the system,
    // the next file takes them again page by page, and the threads' page faults wait for one
    // another: 2,000 small files on two threads fault 170,000 times. Kept for the next file,
    // they fault about 1,000 times. Memory above this is still given back.
    mallopt(M_TRIM_THRESHOLD, KEPT_FREE_MEMORY);
    mallopt(M_MMAP_THRESHOLD, KEPT_FREE_MEMORY / 2);
    std::vector<std::thread> helpers;
    {
        // The ending signals reach the main thread only, so that a temporary file it holds
        // while they are held is never removed under it by another thread's handler.
        const EndingSignalsHeld held;
        for (int32_t i = 1; i < threads; ++i) {
            try {
                helpers.emplace_back(convert_files_of_thread, std::ref(jobs));
            } catch (const std::system_error&) {
                break;  // the threads made so far share the files
            }
        }
    }
    convert_files_of_thread(jobs);
    for (std::thread& helper : helpers) helper.join();
    return jobs.ended ? 1 : 0;
}

}  // namespace vedad
