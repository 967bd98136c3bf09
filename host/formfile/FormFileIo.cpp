// Saved forms in files and in RCDATA resources, as UTF-8.
#include "FormFile.h"
#include "ScopeExit.h"
#include "FormFileUtf8.h"
#include "FormFileWrite.h"
#include "UniqueHandle.h"

namespace kxhost {

using namespace formfile;

namespace {

constexpr LONGLONG kMaxFileBytes = 16 * 1024 * 1024; // far beyond any form; guards against reading a wrong file whole

std::wstring Reason(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return L"the file does not exist";
    case ERROR_PATH_NOT_FOUND:
        return L"its folder does not exist";
    case ERROR_ACCESS_DENIED:
        return L"access is denied";
    case ERROR_SHARING_VIOLATION:
        return L"another program holds it open";
    case ERROR_DISK_FULL:
        return L"the disk is full";
    default:
        return L"Windows error " + std::to_wstring(error);
    }
}

[[noreturn]] void Fail(const std::wstring& path, const wchar_t* doing) {
    const DWORD error = GetLastError();
    throw FormFileError(path, 0, std::wstring(doing) + L": " + Reason(error));
}

} // namespace

FormDesc LoadFormFile(const std::wstring& path) {
    kx::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail(path, L"cannot open the form file");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) Fail(path, L"cannot read the form file");
    if (size.QuadPart > kMaxFileBytes)
        throw FormFileError(
            path, 0, L"expected a form file of at most 16 MB, found " + std::to_wstring(size.QuadPart) + L" bytes");
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
        Fail(path, L"cannot read the form file");
    return ParseForm(DecodeUtf8(bytes.data(), bytes.size(), path), path);
}

// Writes beside the target and then replaces it, so a failed save never
// leaves a half-written form behind. A form the text cannot hold fails
// before the disk is touched, as a FormFileError like every other failure.
void SaveFormFile(const FormDesc& form, const std::wstring& path) {
    std::string bytes;
    try {
        bytes = EncodeUtf8(WriteForm(form));
    } catch (const Unwritable& e) {
        throw FormFileError(path, 0, L"cannot save the form: " + e.reason());
    }
    const std::wstring temp = path + L".saving";
    // A half-written temporary file goes unless the save went through.
    kx::ScopeExit removeTemp([&temp] { DeleteFileW(temp.c_str()); });
    {
        kx::UniqueFile file(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) Fail(path, L"cannot write the form file");
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size())
            Fail(path, L"cannot write the form file");
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail(path, L"cannot replace the form file");
    removeTemp.Dismiss();
}

FormDesc LoadFormResource(HMODULE module, const wchar_t* resourceName) {
    const std::wstring source = IS_INTRESOURCE(resourceName)
        ? L"resource #" + std::to_wstring(reinterpret_cast<ULONG_PTR>(resourceName))
        : L"resource " + std::wstring(resourceName);
    // Resources live as long as the module: there is nothing to free.
    HRSRC found = FindResourceW(module, resourceName, MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw FormFileError(source, 0, L"expected an RCDATA resource of that name in the module, found none");
    return ParseForm(DecodeUtf8(static_cast<const char*>(data), SizeofResource(module, found), source), source);
}

} // namespace kxhost
