#include "HostFixture.h"
#include "Ansi.h"
#include "FormFile.h"
#include "UniqueHandle.h"

namespace kxtest {

const wchar_t kHostForm[] =
    LR"(Form Form1
    Caption = "Host"
    ClientWidth = 6000
    ClientHeight = 3600
    Begin Label Label1
        Caption = "ラベル"
        Left = 0
        Top = 3000
        Width = 2000
        Height = 255
    End
    Begin ListBox List1
        Left = 0
        Top = 0
        Width = 2400
        Height = 1200
        TabIndex = 0
    End
    Begin Control Ctl1 "KxTest.Ctl"
        Left = 2880
        Top = 240
        Width = 960
        Height = 720
        Bag caption = "Eins"
        Bag value = 11
    End
    Begin Control Ctl2(0) "KxTest.Ctl"
        Left = 2880
        Top = 1200
    End
    Begin Control Ctl2(1) "KxTest.Ctl"
        Left = 4080
        Top = 1200
        Bag value = 21
    End
    Begin CommandButton Command1
        Caption = "OK"
        Left = 0
        Top = 1440
        TabIndex = 1
    End
End
)";

void RegisterTestControl() {
    ASSERT_TRUE(RegisterDllOnce(L"KxTestCtl.dll")) << "KxTestCtl.dll could not be registered";
}

kxhost::Form& HostTest::Load(const std::wstring& text, kxhost::Mode mode, const std::wstring& source) {
    form_.reset();
    rt_ = std::make_unique<kxhost::Runtime>(mode, L"HostTest");
    rt_->SetUnhandledErrorPolicy([this](const kx::AutomationError& e) { unhandled_.push_back(e); });
    form_ = kxhost::Form::Create(*rt_, kxhost::ParseForm(text, source));
    return *form_;
}

void HostTest::TearDown() {
    form_.reset();
    rt_.reset();
}

kx::ComPtr<IDispatch> ExtenderFromSite(IOleObject* control) {
    kx::ComPtr<IOleClientSite> site;
    kx::ComPtr<IOleControlSite> controlSite;
    kx::ComPtr<IDispatch> extender;
    if (control && SUCCEEDED(control->GetClientSite(&site)) && site && SUCCEEDED(site.As(&controlSite)))
        controlSite->GetExtendedControl(&extender);
    return extender;
}

// ---- ScratchFolder ------------------------------------------------------------

ScratchFolder::ScratchFolder() {
    folder_ = L"HostScratch." + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(Path(fd.cFileName).c_str());
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(folder_.c_str());
}

std::wstring ScratchFolder::Path(const std::wstring& file) const { return folder_ + L"\\" + file; }

void ScratchFolder::Write(const std::wstring& file, const std::string& utf8) const {
    kx::UniqueFile f(CreateFileW(Path(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(f);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(f.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr));
}

std::string ScratchFolder::Read(const std::wstring& file) const {
    kx::UniqueFile f(CreateFileW(Path(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return "(unreadable)";
    std::string bytes(65536, '\0');
    DWORD read = 0;
    if (!ReadFile(f.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) return "(unreadable)";
    bytes.resize(read);
    return bytes;
}

int Dpi(int index) {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, index);
    ReleaseDC(nullptr, dc);
    return dpi;
}

} // namespace kxtest
