// The side-by-side assembly manifest of a server: the classes and the type
// library that its registration writes, for programs that use the server
// with nothing registered. ServerModule::Manifest builds it from the same
// tables as the registry rows, so the two cannot drift apart.
#pragma once
#include <windows.h>
#include <string>

namespace kx::ole {

// The manifest's keywords for a class's OLEMISC_ flags, comma-separated in
// the order of the flags' values ("insideout,activatewhenvisible,...").
std::wstring MiscStatusKeywords(DWORD miscStatus);
// The keywords for a type library's LIBFLAG_ flags ("CONTROL,HIDDEN").
std::wstring LibFlagKeywords(WORD libFlags);
// The processor architecture this code runs as: "x86" or "amd64".
const wchar_t* ProcessorArchitecture();
// Text escaped for an XML attribute value.
std::wstring XmlAttribute(const std::wstring& text);

} // namespace kx::ole
