#include "Manifest.h"

#include <olectl.h>

namespace kx::ole {

namespace {

struct Keyword {
    DWORD flag;
    const wchar_t* name;
};

// The names activation contexts know: the OLEMISC_ names in lower case.
const Keyword kMiscStatus[] = {
    {OLEMISC_RECOMPOSEONRESIZE, L"recomposeonresize"},
    {OLEMISC_ONLYICONIC, L"onlyiconic"},
    {OLEMISC_INSERTNOTREPLACE, L"insertnotreplace"},
    {OLEMISC_STATIC, L"static"},
    {OLEMISC_CANTLINKINSIDE, L"cantlinkinside"},
    {OLEMISC_CANLINKBYOLE1, L"canlinkbyole1"},
    {OLEMISC_ISLINKOBJECT, L"islinkobject"},
    {OLEMISC_INSIDEOUT, L"insideout"},
    {OLEMISC_ACTIVATEWHENVISIBLE, L"activatewhenvisible"},
    {OLEMISC_RENDERINGISDEVICEINDEPENDENT, L"renderingisdeviceindependent"},
    {OLEMISC_INVISIBLEATRUNTIME, L"invisibleatruntime"},
    {OLEMISC_ALWAYSRUN, L"alwaysrun"},
    {OLEMISC_ACTSLIKEBUTTON, L"actslikebutton"},
    {OLEMISC_ACTSLIKELABEL, L"actslikelabel"},
    {OLEMISC_NOUIACTIVATE, L"nouiactivate"},
    {OLEMISC_ALIGNABLE, L"alignable"},
    {OLEMISC_SIMPLEFRAME, L"simpleframe"},
    {OLEMISC_SETCLIENTSITEFIRST, L"setclientsitefirst"},
    {OLEMISC_IMEMODE, L"imemode"},
    {OLEMISC_IGNOREACTIVATEWHENVISIBLE, L"ignoreactivatewhenvisible"},
    {OLEMISC_WANTSTOMENUMERGE, L"wantstomenumerge"},
    {OLEMISC_SUPPORTSMULTILEVELUNDO, L"supportsmultilevelundo"},
};

const Keyword kLibFlags[] = {
    {LIBFLAG_FRESTRICTED, L"RESTRICTED"},
    {LIBFLAG_FCONTROL, L"CONTROL"},
    {LIBFLAG_FHIDDEN, L"HIDDEN"},
    {LIBFLAG_FHASDISKIMAGE, L"HASDISKIMAGE"},
};

template <size_t N>
std::wstring Keywords(const Keyword (&table)[N], DWORD flags) {
    std::wstring out;
    for (const Keyword& k : table) {
        if (!(flags & k.flag)) continue;
        if (!out.empty()) out += L',';
        out += k.name;
    }
    return out;
}

} // namespace

std::wstring MiscStatusKeywords(DWORD miscStatus) { return Keywords(kMiscStatus, miscStatus); }

std::wstring LibFlagKeywords(WORD libFlags) { return Keywords(kLibFlags, libFlags); }

const wchar_t* ProcessorArchitecture() { return sizeof(void*) == 8 ? L"amd64" : L"x86"; }

std::wstring XmlAttribute(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"': out += L"&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace kx::ole
