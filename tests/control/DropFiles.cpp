#include "DropFiles.h"

#include <cstring>
#include <shlobj.h>

namespace kxtest {

kx::UniqueHglobal MakeDrop(const std::vector<std::string>& paths) {
    // A list always counts its first entry, even an empty one; a drop that
    // reports no files is a handle with no memory behind it.
    if (paths.empty()) return kx::UniqueHglobal(GlobalAlloc(GMEM_MOVEABLE, 0));
    size_t bytes = sizeof(DROPFILES) + 1; // the list ends with an empty path
    for (const std::string& p : paths) bytes += p.size() + 1;
    kx::UniqueHglobal mem(GlobalAlloc(GHND, bytes));
    if (!mem) return mem;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(mem.get()));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* at = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& p : paths) {
        std::memcpy(at, p.c_str(), p.size() + 1);
        at += p.size() + 1;
    }
    GlobalUnlock(mem.get());
    return mem;
}

} // namespace kxtest
