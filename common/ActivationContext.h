// A DLL's side-by-side assembly manifest (its RT_MANIFEST resource 2) as
// the thread's active activation context for this object's life: COM then
// finds the classes, ProgIDs and type library the manifest describes with
// nothing registered. Objects of this kind end in the reverse order of
// their start, as activations on a thread must.
#pragma once
#include <windows.h>
#include <string>

#include "NonCopyable.h"

namespace kx {

class ActivationContext : private NonCopyable {
public:
    // dllPath: the DLL's full path; the manifest's files are found in its folder.
    explicit ActivationContext(const std::wstring& dllPath);
    ~ActivationContext();
    // S_OK when the context was made and activated, else why not.
    HRESULT status() const { return status_; }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
    HRESULT status_ = E_FAIL;
};

} // namespace kx
