// The maker's name, home page and e-mail address shown by the version
// dialog: kept here and nowhere else. Until the project has addresses of
// its own these are its name and reserved example.org addresses.
#pragma once

namespace kestrix {

constexpr wchar_t kMakerName[] = L"Kestrix";
constexpr wchar_t kMakerHomePage[] = L"https://kestrix.example.org/";
constexpr wchar_t kMakerMail[] = L"kestrix@example.org";

} // namespace kestrix
