// A server's registry rows as a WiX fragment, for a Windows Installer
// package that registers the server with rows of its own (no code of the
// server runs at install time, so the installer can roll back, repair and
// remove them exactly).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "Registration.h"

namespace kx::ole {

// A value the fragment holds as a placeholder: wixl takes only text of
// code page 1252, so the packaging puts the text in after the build.
struct WixText {
    std::wstring placeholder;
    std::wstring text;
};

// Rows that the 32-bit and the 64-bit package both write (a ProgID, the
// type library's version key): a component of their own, whose code both
// packages make alike from the rows, so that Windows Installer keeps the
// keys until the last package that wrote them goes.
struct WixSharedRows {
    std::wstring id;
    std::vector<RegistryRow> rows;
};

// The fragment is a ComponentGroup "ComRegistration" in the directory
// dirId: a component "ComRegistration" with `own`, and one of each shared
// group's id. A component's code and bitness are the preprocessor's
// $(var.<id>Guid) and $(var.Win64). In the rows' data "%MODULE%" becomes
// the path of the file fileId and "%HELPDIR%" the folder dirId.
HRESULT WixRegistryFragment(const std::vector<RegistryRow>& own, const std::vector<WixSharedRows>& shared,
                            const wchar_t* fileId, const wchar_t* dirId, std::wstring* xml,
                            std::vector<WixText>* texts);

} // namespace kx::ole
