#include "main/file_jobs.hpp"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
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
#include "output/output_path.hpp"
#include "output/write_file.hpp"

namespace vedad {

namespace {

constexpr int KEPT_FREE_MEMORY = 64 << 20;

// How many files past the one whose turn it is a thread may take: their pictures wait in
// memory, so that a thread done early goes on instead of waiting.
constexpr size_t FILES_AHEAD_PER_THREAD = 4;

// How many pictures of one file (pages of --split=) may wait for its turn: past that, its
// thread waits for the turn and writes each page as it is made, so that memory stays
// bounded by a few pages however long the input.
constexpr size_t PICTURES_KEPT_PER_FILE = 4;

// A stretch of a file's messages, and the picture written after them (none for the last).
struct Segment {
    std::unique_ptr<MessageBuffer> messages = std::make_unique<MessageBuffer>();
    std::unique_ptr<PictureWrite> write;
};

// A converted file, waiting for its turn: its messages and pictures, in the order the serial
// run tells and writes them.
struct DoneFile {
    size_t index = 0;
    std::vector<Segment> segments;
    bool failed = false;
    int unkept_messages = 0;  // the errno when no buffer could hold its messages
};

// What the threads share, under `mutex`.
struct FileJobs {
    const Options* options = nullptr;
    const Operands* operands = nullptr;
    size_t files_ahead = 0;
    std::mutex mutex;
    std::condition_variable turn_passed;
    size_t next = 0;       // the next operand a thread takes
    size_t turn = 0;       // the operand whose pictures and messages may go out now
    bool ended = false;    // a file failed, at `turn`: nothing after it goes out
    bool writing = false;  // a thread is writing the files whose turn has come
    std::map<size_t, std::unique_ptr<DoneFile>> done;  // converted, waiting for their turn
    std::vector<std::string> told;  // the messages told once so far, by the thread writing
};

// The file this thread converts, the run's, and whether the thread holds the turn to write
// (for the file it converts, once that file kept as many pictures as it may).
struct CurrentFile {
    DoneFile* file = nullptr;
    FileJobs* jobs = nullptr;
    bool holding = false;
};

thread_local CurrentFile current;

// Thrown on a thread waiting for its file's turn when a file before it failed: the run ends
// there, and nothing of this file goes out.
struct FileAbandoned {};

// Sends this thread's messages to a new stretch of the file's. False when no buffer can be made.
bool begin_segment(DoneFile& file)
{
    file.segments.emplace_back();
    if (gather_messages(file.segments.back().messages.get())) return true;
    file.segments.pop_back();
    return false;
}

// Writes a picture in its turn, telling at once what writing tells; false when it failed.
// This thread's messages go to standard error after.
bool write_telling_at_once(PictureWrite& write, std::vector<std::string>& told)
{
    MessageBuffer writing;
    const bool gathering = gather_messages(&writing);
    bool failed = false;
    try {
        write_picture_now(write);
    } catch (const FileFailed&) {
        failed = true;
    }
    if (gathering) {
        gather_messages(nullptr);
        release_messages(writing, told);
    }
    return !failed;
}

// Tells a done file's messages and writes its pictures, in turn. False when it failed.
bool write_done_file(DoneFile& file, FileJobs& jobs)
{
    if (file.unkept_messages != 0) {
        std::fprintf(stderr, "error: could not keep the messages of %s: %s\n", (*jobs.operands)[file.index],
                     std::strerror(file.unkept_messages));
        return false;
    }
    for (Segment& segment : file.segments) {
        release_messages(*segment.messages, jobs.told);
        if (segment.write != nullptr && !write_telling_at_once(*segment.write, jobs.told)) return false;
    }
    return !file.failed;
}

// Hands a converted file in, and writes every file whose turn has come, unless another
// thread is doing so (it then writes this one too when its turn comes).
void hand_in(FileJobs& jobs, std::unique_ptr<DoneFile> file)
{
    std::unique_lock lock(jobs.mutex);
    const size_t index = file->index;
    jobs.done.emplace(index, std::move(file));
    // A thread holding the turn for this file goes on to write it and those after it.
    if (jobs.writing && !current.holding) return;
    jobs.writing = true;
    current.holding = false;
    while (!jobs.ended) {
        const auto found = jobs.done.find(jobs.turn);
        if (found == jobs.done.end()) break;
        std::unique_ptr<DoneFile> due = std::move(found->second);
        jobs.done.erase(found);
        lock.unlock();
        const bool written = write_done_file(*due, jobs);
        due.reset();
        lock.lock();
        if (written) ++jobs.turn;
        else jobs.ended = true;
        jobs.turn_passed.notify_all();
    }
    // What ended the run no longer goes out: its files are dropped here, not at exit.
    if (jobs.ended) jobs.done.clear();
    jobs.writing = false;
    jobs.turn_passed.notify_all();  // a thread may wait for its turn with no writer about
}

// Waits until the current file's turn has come and no other thread writes, and takes the
// turn to write. Throws FileAbandoned when a file before it failed.
void take_turn()
{
    FileJobs& jobs = *current.jobs;
    std::unique_lock lock(jobs.mutex);
    jobs.turn_passed.wait(lock, [&] { return jobs.ended || (jobs.turn == current.file->index && !jobs.writing); });
    if (jobs.ended) throw FileAbandoned{};
    jobs.writing = true;
    current.holding = true;
}

// Writes, with their messages before them, the pictures the current file kept, holding its
// turn. The messages made meanwhile stay in the file's last stretch, after the pictures.
void write_kept_pictures()
{
    DoneFile& file = *current.file;
    std::vector<std::string>& told = current.jobs->told;
    MessageBuffer* last = file.segments.back().messages.get();
    while (file.segments.size() > 1) {
        Segment segment = std::move(file.segments.front());
        file.segments.erase(file.segments.begin());
        release_messages(*segment.messages, told);
        // What writing tells goes out at once, before the stretches after it.
        const bool written = write_telling_at_once(*segment.write, told);
        gather_messages(last);
        // The file ends here: what it wrote is gone from it, and its last stretch is empty.
        if (!written) throw FileFailed{};
    }
}

// Takes the next operand once it is near enough to the turn; false when none is left or the
// run has ended.
bool take_file(FileJobs& jobs, size_t& index)
{
    std::unique_lock lock(jobs.mutex);
    jobs.turn_passed.wait(lock, [&] { return jobs.ended || jobs.next < jobs.turn + jobs.files_ahead; });
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
        auto file = std::make_unique<DoneFile>();
        file->index = index;
        current = CurrentFile{file.get(), &jobs, false};
        if (!begin_segment(*file)) {
            // No room to hold its messages: the run ends at this file, with the reason.
            file->unkept_messages = errno == 0 ? ENOMEM : errno;
        } else {
            try {
                convert_file(*jobs.options, canvas, (*jobs.operands)[index]);
            } catch (const FileFailed&) {
                file->failed = true;
            } catch (const FileAbandoned&) {
                gather_messages(nullptr);
                break;
            }
            gather_messages(nullptr);
        }
        current.file = nullptr;
        // Nothing after a failed file goes out: the run ends at it, or at one before it.
        const bool failed = file->failed || file->unkept_messages != 0;
        hand_in(jobs, std::move(file));
        if (failed) break;
    }
    current = CurrentFile{};
    fail_by_throwing(false);
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
    return current.file != nullptr;
}

void hand_over_picture(PictureWrite&& write)
{
    DoneFile& file = *current.file;
    auto& kept = file.segments.back().write;
    kept = std::make_unique<PictureWrite>(std::move(write));
    // Its bytes go to disk now, where they can: only naming the picture waits for the turn.
    const std::string directory = claiming_directory(*kept->options, kept->operand);
    if (!directory.empty() && !kept->picture.bytes.empty()) {
        kept->early = std::make_unique<EarlyPicture>();
        if (!write_early(*kept->early, directory, kept->picture.bytes.data(), kept->picture.bytes.size())) {
            kept->early.reset();
        }
    }
    // The messages after it belong after it, in a stretch of their own. Without room to
    // gather them they go straight to standard error.
    gather_messages(nullptr);
    if (!begin_segment(file)) file.segments.emplace_back();
    if (!current.holding && file.segments.size() > PICTURES_KEPT_PER_FILE) take_turn();
    if (current.holding) write_kept_pictures();
}

int convert_files_in_jobs(const Options& options, const Operands& operands, int32_t threads)
{
    FileJobs jobs;
    jobs.options = &options;
    jobs.operands = &operands;
    jobs.files_ahead = FILES_AHEAD_PER_THREAD * static_cast<size_t>(threads);
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
