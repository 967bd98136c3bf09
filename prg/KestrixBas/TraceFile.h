// A trace file as the sessions of a process write it: opened once per path,
// so that sessions on several threads naming the same file share the one
// handle and its end, and each line goes in whole as one write.
#pragma once
#include <windows.h>
#include <string>

class TraceFile {
public:
    TraceFile() = default;
    ~TraceFile() { Close(); }
    TraceFile(TraceFile&& o) noexcept : entry_(o.entry_) { o.entry_ = nullptr; }
    TraceFile& operator=(TraceFile&& o) noexcept;
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Opens the file for appending (others may only read it while it is
    // open), or joins the session that already has it open. False when it
    // cannot be opened; this one is then closed.
    bool Open(const std::wstring& path) noexcept;
    void Close() noexcept;
    // Writes the bytes at the file's end as one write; false when they were
    // not all written.
    bool Write(const char* bytes, size_t size) noexcept;
    explicit operator bool() const { return entry_ != nullptr; }

    struct Entry;

private:
    Entry* entry_ = nullptr;
};
