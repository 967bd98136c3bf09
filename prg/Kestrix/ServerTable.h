// The classes of Kestrix.OCX and how they are registered, said once: the
// server entry (Server.cpp) registers and serves them, and the manifest
// writer (manifest/WriteManifest.cpp) writes the same as Kestrix.manifest.
#pragma once
#include "ServerModule.h"

namespace kestrix {

const kx::ole::ServerModule& KestrixServer();

// The side-by-side assembly the OCX is, and the file it lies in.
constexpr wchar_t kAssemblyName[] = L"Kestrix";
constexpr wchar_t kServerFile[] = L"Kestrix.OCX";

} // namespace kestrix
