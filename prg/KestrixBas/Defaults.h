// The values of a new control, said once: the store starts with them (what
// a bare caller's instance holds), creating and loading a control fall back
// on them, and the options page puts them back.
#pragma once

namespace kestrix {

constexpr wchar_t kDefaultTargetEvents[] = L"ALL";
constexpr bool kDefaultDebugMode = true;
constexpr wchar_t kDebugFileSuffix[] = L".Dbg"; // after the control's Name
constexpr wchar_t kDefaultLinkName[] = L"Kestrix";
constexpr bool kDefaultFileDropMode = true;
// The Name of a control that no container names.
constexpr wchar_t kDefaultControlName[] = L"Kestrix";

} // namespace kestrix
