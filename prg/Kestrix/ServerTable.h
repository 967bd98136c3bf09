// The classes of Kestrix.OCX and how they are registered, said once: the
// server entry (Server.cpp) registers and serves them, and
// describe/DescribeServer.cpp writes the same as Kestrix.manifest and as a
// Windows Installer package's registry rows.
#pragma once
#include "ServerModule.h"

namespace kestrix {

const kx::ole::ServerModule& KestrixServer();

// The side-by-side assembly the OCX is, and the file it lies in.
constexpr wchar_t kAssemblyName[] = L"Kestrix";
constexpr wchar_t kServerFile[] = L"Kestrix.OCX";
// The package's File row of the OCX and the folder it is installed in.
constexpr wchar_t kServerFileId[] = L"Kestrix.OCX";
constexpr wchar_t kInstallFolderId[] = L"INSTALLDIR";

} // namespace kestrix
