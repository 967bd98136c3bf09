// Saved forms in files (UTF-8, BOM or not, CR LF or LF) and in the exe's
// RCDATA resources.
#include "FormFileTestSupport.h"
#include "FormFileUtf8.h"
#include "UniqueHandle.h"
#include <cmath>

using namespace kxhost;
using namespace kxtest;

namespace {

class FormFileIo : public testing::Test {
protected:
    void SetUp() override {
        folder_ = L"FormFileIo." + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    void TearDown() override {
        for (const wchar_t* f : {L"a.frm", L"a.frm.saving"}) DeleteFileW(Path(f).c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring Path(const std::wstring& file) const { return folder_ + L"\\" + file; }

    void WriteBytes(const std::wstring& path, const std::string& bytes) {
        kx::UniqueFile f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(f);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    std::string ReadBytes(const std::wstring& path) {
        kx::UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        std::string bytes(4096, '\0');
        DWORD read = 0;
        if (!f || !ReadFile(f.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr))
            return "(unreadable)";
        bytes.resize(read);
        return bytes;
    }
    FormFileError LoadError(const std::wstring& path) {
        try {
            LoadFormFile(path);
        } catch (const FormFileError& e) {
            return e;
        }
        return FormFileError(L"(loaded)", -1, L"");
    }

    std::wstring folder_;
};

FormDesc SmallForm() {
    FormDesc f;
    f.name = L"Form1";
    f.props = {{L"Caption", std::wstring(L"日本")}};
    return f;
}

} // namespace

TEST_F(FormFileIo, SaveWritesUtf8WithoutBomWithCrLfAndReplacesTheOldFile) {
    WriteBytes(Path(L"a.frm"), "old text that is longer than the new form, to see it go entirely");
    SaveFormFile(SmallForm(), Path(L"a.frm"));
    EXPECT_EQ(ReadBytes(Path(L"a.frm")), u8"' Kestrix saved form\r\nForm Form1\r\n    Caption = \"日本\"\r\nEnd\r\n");
    EXPECT_EQ(GetFileAttributesW(Path(L"a.frm.saving").c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectSameForm(LoadFormFile(Path(L"a.frm")), SmallForm());
}

TEST_F(FormFileIo, LoadAcceptsBomAndBareLineFeeds) {
    WriteBytes(Path(L"a.frm"), "\xEF\xBB\xBF" + formfile::EncodeUtf8(kSampleForm));
    const FormDesc f = LoadFormFile(Path(L"a.frm"));
    ExpectSameForm(f, ParseForm(kSampleForm, L"sample"));
    EXPECT_EQ(f.controls.at(2).line, 20);
}

TEST_F(FormFileIo, ErrorsInAFileNameThePath) {
    WriteBytes(Path(L"a.frm"), "Form F\r\n  Left = x\r\nEnd\r\n");
    const FormFileError e = LoadError(Path(L"a.frm"));
    EXPECT_EQ(e.file(), Path(L"a.frm"));
    EXPECT_EQ(e.line(), 2);
}

TEST_F(FormFileIo, MissingFileOrFolder) {
    const FormFileError e = LoadError(Path(L"none.frm"));
    EXPECT_EQ(e.text(), Path(L"none.frm") + L"(0): cannot open the form file: the file does not exist");
    try {
        SaveFormFile(SmallForm(), Path(L"no folder\\a.frm"));
        FAIL() << "saved into a folder that does not exist";
    } catch (const FormFileError& s) {
        EXPECT_EQ(s.text(), Path(L"no folder\\a.frm") + L"(0): cannot write the form file: its folder does not exist");
    }
}

TEST_F(FormFileIo, FormTheTextCannotHoldFailsToSaveAndLeavesTheOldFile) {
    WriteBytes(Path(L"a.frm"), "old");
    FormDesc f = SmallForm();
    f.props.push_back({L"Ratio", std::nan("")});
    try {
        SaveFormFile(f, Path(L"a.frm"));
        FAIL() << "saved a NaN";
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.text(),
                  Path(L"a.frm") + L"(0): cannot save the form: property Ratio in form Form1 is not a finite number");
    }
    EXPECT_EQ(ReadBytes(Path(L"a.frm")), "old");
}

TEST_F(FormFileIo, InvalidUtf8NamesTheLineOfTheBadByte) {
    const struct {
        const char* bytes;
        int line;
        const wchar_t* message;
    } cases[] = {
        {"Form F\n\n X = \"\xC0\x80\"\nEnd\n", 3,
         L"expected a valid UTF-8 sequence at byte offset 14, found byte 0xC0"},
        {"Form F\n X = \"\xED\xA0\x80\"\n", 2, L"expected a valid UTF-8 sequence at byte offset 13, found byte 0xED"},
        {"Form F\n X = \"\xF4\x90\x80\x80\"\n", 2,
         L"expected a valid UTF-8 sequence at byte offset 13, found byte 0xF4"},
        {"Form F\n X = \"\xE3\x81", 2, L"expected a valid UTF-8 sequence at byte offset 13, found byte 0xE3"},
        {"Form F\n X = \"\xE0\x80\xAF\"\n", 2, L"expected a valid UTF-8 sequence at byte offset 13, found byte 0xE0"},
        {"Form F\n X = \"\xF0\x8F\xBF\xBF\"\n", 2,
         L"expected a valid UTF-8 sequence at byte offset 13, found byte 0xF0"},
        {"\x80"
         "Form F\n",
         1, L"expected a valid UTF-8 sequence at byte offset 0, found byte 0x80"},
        {"Form F\r\n\r\n\r\n\xFF", 4, L"expected a valid UTF-8 sequence at byte offset 12, found byte 0xFF"},
    };
    for (const auto& c : cases) {
        WriteBytes(Path(L"a.frm"), c.bytes);
        const FormFileError e = LoadError(Path(L"a.frm"));
        EXPECT_EQ(e.line(), c.line) << c.bytes;
        EXPECT_EQ(e.message(), std::wstring(L"invalid UTF-8: ") + c.message);
    }
}

TEST(FormFileResource, ProgramsCarryTheirFormsAsRcData) {
    const FormDesc f = LoadFormResource(GetModuleHandleW(nullptr), L"formfilesample");
    ExpectSameForm(f, ParseForm(kSampleForm, L"sample"));
    EXPECT_EQ(f.controls.at(1).line, 16);
    try {
        LoadFormResource(GetModuleHandleW(nullptr), L"NoSuchForm");
        FAIL() << "loaded a resource that does not exist";
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.text(),
                  L"resource NoSuchForm(0): expected an RCDATA resource of that name in the module, found none");
    }
}
