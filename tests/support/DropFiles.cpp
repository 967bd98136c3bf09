#include "DropFiles.h"

#include <cstring>
#include <shlobj.h>

namespace kxtest {

namespace {

template <class Char>
kx::UniqueHglobal BuildDrop(const std::vector<std::basic_string<Char>>& paths, BOOL wide) {
    // A list always counts its first entry, even an empty one; a drop that
    // reports no files is a handle with no memory behind it.
    if (paths.empty()) return kx::UniqueHglobal(GlobalAlloc(GMEM_MOVEABLE, 0));
    size_t chars = 1; // the list ends with an empty path
    for (const auto& p : paths) chars += p.size() + 1;
    kx::UniqueHglobal mem(GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(Char)));
    if (!mem) return mem;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(mem.get()));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = wide;
    Char* at = reinterpret_cast<Char*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
    for (const auto& p : paths) {
        std::memcpy(at, p.c_str(), (p.size() + 1) * sizeof(Char));
        at += p.size() + 1;
    }
    GlobalUnlock(mem.get());
    return mem;
}

} // namespace

kx::UniqueHglobal MakeDrop(const std::vector<std::string>& paths) { return BuildDrop(paths, FALSE); }

kx::UniqueHglobal MakeDrop(const std::vector<std::wstring>& paths) { return BuildDrop(paths, TRUE); }

} // namespace kxtest
