#include "TraceFile.h"
#include "SrwGuard.h"
#include "UniqueHandle.h"
#include <algorithm>
#include <memory>
#include <vector>

struct TraceFile::Entry {
    std::wstring key; // the full path in upper case
    kx::UniqueFile file;
    SRWLOCK writing = SRWLOCK_INIT;
    size_t users = 0;
};

namespace {

// The files open in the process. A plain table under a system lock: nothing
// of the thread library runs in the control's paths.
SRWLOCK g_TableLock = SRWLOCK_INIT;
std::vector<std::unique_ptr<TraceFile::Entry>> g_Table;

// Two spellings of one path name one file: the full path, case folded as
// the file system folds it.
std::wstring KeyOf(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    }
    full.resize(n < full.size() ? n : 0);
    if (full.empty()) full = path;
    CharUpperBuffW(&full[0], static_cast<DWORD>(full.size()));
    return full;
}

} // namespace

TraceFile& TraceFile::operator=(TraceFile&& o) noexcept {
    if (this != &o) {
        Close();
        entry_ = o.entry_;
        o.entry_ = nullptr;
    }
    return *this;
}

bool TraceFile::Open(const std::wstring& path) noexcept {
    Close();
    try {
        const std::wstring key = KeyOf(path);
        const kx::SrwGuard guard(g_TableLock);
        for (const auto& e : g_Table) {
            if (e->key == key) {
                ++e->users;
                entry_ = e.get();
                return true;
            }
        }
        // Appended by writing at its end: nobody else can write to it while it
        // is open (others may only read), and a handle opened for appending
        // only costs the system far more on every write.
        kx::UniqueFile f(CreateFileW(path.c_str(), FILE_WRITE_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) return false;
        LARGE_INTEGER none{};
        if (!SetFilePointerEx(f.get(), none, nullptr, FILE_END)) return false;
        auto entry = std::make_unique<Entry>();
        entry->key = key;
        entry->file = std::move(f);
        entry->users = 1;
        g_Table.push_back(std::move(entry));
        entry_ = g_Table.back().get();
        return true;
    } catch (...) {
        return false;
    }
}

void TraceFile::Close() noexcept {
    if (!entry_) return;
    const kx::SrwGuard guard(g_TableLock);
    Entry* const entry = entry_;
    entry_ = nullptr;
    if (--entry->users != 0) return;
    g_Table.erase(std::find_if(g_Table.begin(), g_Table.end(),
                               [entry](const std::unique_ptr<Entry>& e) { return e.get() == entry; }));
    // The last file closed leaves nothing of the table behind.
    if (g_Table.empty()) g_Table.shrink_to_fit();
}

bool TraceFile::Write(const char* bytes, size_t size) noexcept {
    if (!entry_) return false;
    const kx::SrwGuard guard(entry_->writing);
    DWORD written = 0;
    return WriteFile(entry_->file.get(), bytes, static_cast<DWORD>(size), &written, nullptr) && written == size;
}
