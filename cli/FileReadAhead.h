#pragma once
// Data set files read ahead of their turn on a thread of its own.
//
// Reading a small file costs the system more than the engine costs to characterise its water:
// here about 5 µs for opening, looking at, reading and closing a file of 300 bytes, against
// about 4 µs for the loader, the engine and the record together. On a machine with a second core
// a reader thread reads the files while the caller computes; a caller that finds its next file
// not yet taken by the reader reads that one itself, so that the two threads share the reading
// and neither waits for the other long.
//
// Each file is read once, with ReadDatasetFileBytes, and gives the bytes or the error it gives
// when it is read in its turn; the caller takes them in the order of the paths. A file whose turn
// comes without its bytes being asked for may have been read for nothing; its error is not raised.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class TFileReadAhead {
public:
    // Starts reading; `paths` outlives the reader.
    explicit TFileReadAhead(const std::vector<std::string>& paths);
    // Stops the reader after the file it is reading and waits for it.
    ~TFileReadAhead();
    TFileReadAhead(const TFileReadAhead&) = delete;
    TFileReadAhead& operator=(const TFileReadAhead&) = delete;

    // The bytes of paths[index], valid until Release(index); throws the error that reading it
    // gave (TFileError). Reads the file itself when the reader has not come to it yet.
    std::string_view Bytes(std::size_t index);
    // paths[index] is done with, whether its bytes were asked for or not; the files are done
    // with in order, each once.
    void Release(std::size_t index);

    // How many processors this process may run on: the reader is worth its thread from two.
    static int UsableProcessors();

private:
    // One file read ahead: its bytes in a buffer that the slot keeps from file to file, or its
    // error. FilledFor is the file's index + 1 once they are there.
    struct TSlot {
        std::vector<char> Buffer;
        std::string_view Bytes;
        std::exception_ptr Error;
        std::atomic<std::size_t> FilledFor{0};
    };

    void ReadFiles();
    void Fill(std::size_t index);
    TSlot& SlotOf(std::size_t index) { return FSlots[index % FSlotCount]; }

    const std::vector<std::string>& FPaths;
    const std::size_t FSlotCount;
    std::unique_ptr<TSlot[]> FSlots;

    // The first file neither thread has taken to read; a thread takes a file by moving it on.
    std::atomic<std::size_t> FNextUnread{0};
    std::atomic<std::size_t> FReleasedCount{0}; // files done with: their slots are free again

    std::mutex FMutex;
    std::condition_variable FWake;
    // The reader, with every slot full, waits until this many files are done with: a batch, so
    // that the caller does not wake it for every file.
    std::size_t FReaderWaitsFor = 0;
    std::atomic<bool> FReaderWaiting{false};
    std::atomic<bool> FCallerWaiting{false}; // for the file the reader is reading
    std::atomic<bool> FStop{false};

    std::thread FReader; // last: started once everything above is ready
};
