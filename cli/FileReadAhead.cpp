#include "FileReadAhead.h"

#include "CalvaroUtils.h"

#include <algorithm>

#include <sched.h>

namespace {

// Files read ahead at most; each slot's buffer grows to the largest file it held (a data set
// file is a few hundred bytes, at most kMaxDatasetFileBytes).
constexpr std::size_t kSlots = 64;
// Slots freed at once before a reader that found them all full goes on.
constexpr std::size_t kBatch = 16;
// Looks at a file the reader is reading before the caller sleeps on it: a small file takes a few
// microseconds, less than going to sleep and being woken.
constexpr int kSpins = 2000;

} // namespace

TFileReadAhead::TFileReadAhead(const std::vector<std::string>& paths)
    : FPaths(paths), FSlotCount(std::max<std::size_t>(1, std::min(kSlots, paths.size()))),
      FSlots(std::make_unique<TSlot[]>(FSlotCount)), FReader([this] { ReadFiles(); }) {}

TFileReadAhead::~TFileReadAhead() {
    {
        std::lock_guard lock(FMutex);
        FStop.store(true);
    }
    FWake.notify_all();
    FReader.join();
}

void TFileReadAhead::Fill(std::size_t index) {
    TSlot& slot = SlotOf(index);
    slot.Error = nullptr;
    slot.Bytes = {};
    try {
        slot.Bytes = ReadDatasetFileBytes(FPaths[index], slot.Buffer);
    } catch (...) {
        slot.Error = std::current_exception();
    }
    slot.FilledFor.store(index + 1);
}

void TFileReadAhead::ReadFiles() {
    const std::size_t count = FPaths.size();
    for (;;) {
        std::size_t index = FNextUnread.load();
        if (index >= count) return;
        if (index >= FReleasedCount.load() + FSlotCount) {
            // Every slot is full: wait until a batch of them is free again.
            std::unique_lock lock(FMutex);
            FReaderWaitsFor = std::min(index + kBatch, count) - FSlotCount + 1;
            FReaderWaiting.store(true);
            FWake.wait(lock, [&] { return FStop.load() || FReleasedCount.load() >= FReaderWaitsFor; });
            FReaderWaiting.store(false);
            if (FStop.load()) return;
            continue;
        }
        if (FStop.load()) return;
        // The caller may have taken this file itself meanwhile.
        if (!FNextUnread.compare_exchange_strong(index, index + 1)) continue;
        Fill(index);
        if (FCallerWaiting.load()) {
            { std::lock_guard lock(FMutex); }
            FWake.notify_all();
        }
    }
}

std::string_view TFileReadAhead::Bytes(std::size_t index) {
    TSlot& slot = SlotOf(index);
    if (slot.FilledFor.load() != index + 1) {
        std::size_t unread = index;
        if (FNextUnread.compare_exchange_strong(unread, index + 1)) {
            // The reader has not come to it: read it here rather than wait. Its slot is free,
            // since every file before it is done with.
            Fill(index);
        } else {
            // The reader is reading it now.
            for (int spin = 0; spin < kSpins && slot.FilledFor.load() != index + 1; ++spin)
                std::this_thread::yield();
            if (slot.FilledFor.load() != index + 1) {
                std::unique_lock lock(FMutex);
                FCallerWaiting.store(true);
                FWake.wait(lock, [&] { return slot.FilledFor.load() == index + 1; });
                FCallerWaiting.store(false);
            }
        }
    }
    if (slot.Error) std::rethrow_exception(slot.Error);
    return slot.Bytes;
}

void TFileReadAhead::Release(std::size_t index) {
    FReleasedCount.store(index + 1);
    if (FReaderWaiting.load()) {
        bool wake = false;
        {
            std::lock_guard lock(FMutex);
            wake = index + 1 >= FReaderWaitsFor;
        }
        if (wake) FWake.notify_all();
    }
}

int TFileReadAhead::UsableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    return CPU_COUNT(&set);
}
