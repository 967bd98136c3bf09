// The type library as a container reads it back from the built OCX: the
// library, the dual interface _Kestrix with its 17 members in slot order
// (ids, argument names, passing, flags, help strings and topics), the event
// interface __Kestrix and the coclass. The strings come back through the
// ANSI code page, so this also checks they were stored in Shift-JIS.
#include "Ansi.h"
#include "KestrixFixture.h"
#include "UniqueHandle.h"

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace kxtest;

namespace {

const GUID kLibId = {0x5C2BF89F, 0x7E58, 0x43A7, {0xBB, 0x95, 0x8D, 0xF1, 0xDB, 0xF2, 0x87, 0x42}};
const GUID kDualIid = {0x459EEE11, 0x887B, 0x4B5E, {0x81, 0x33, 0x0D, 0xF0, 0xB8, 0xE8, 0xE8, 0xA2}};
const GUID kDual2Iid = {0xA9E46ED3, 0x9148, 0x402C, {0x9D, 0x92, 0xB3, 0x2D, 0x34, 0x92, 0x04, 0xBA}};
const GUID kEventsIid = {0xEE7E5239, 0x2028, 0x428C, {0xBF, 0xFD, 0xCC, 0x4C, 0xB2, 0x48, 0xF4, 0x73}};
const GUID kClsid = {0x9C3D95F7, 0x81D2, 0x4F8F, {0xBF, 0x6F, 0x29, 0x45, 0xC6, 0x67, 0xB5, 0x7D}};

const std::wstring kBlanks36(36, L' ');

// One parameter: its name ("" where the library gives none worth fixing),
// the type it refers to or holds, and whether it is by reference.
struct Param {
    std::wstring name;
    VARTYPE vt;
    bool byRef;
};
// One function of the interface, in slot order.
struct Func {
    std::wstring name;
    INVOKEKIND kind;
    MEMBERID id;
    std::vector<Param> params;
    VARTYPE result; // VT_EMPTY: none
    WORD flags;
    std::wstring help;
    DWORD context;
};

constexpr INVOKEKIND M = INVOKE_FUNC, G = INVOKE_PROPERTYGET, P = INVOKE_PROPERTYPUT;
constexpr WORD kHidden = FUNCFLAG_FHIDDEN, kNotBrowsable = FUNCFLAG_FNONBROWSABLE;
// Window handles, wParam and lParam: Long in the 32-bit library, LongPtr
// (a 64-bit integer) in the 64-bit one.
constexpr VARTYPE kPtr = sizeof(void*) == 8 ? VT_I8 : VT_I4;

const std::wstring kHelpTargetControls = L"ｲﾍﾞﾝﾄを取得するｺﾝﾄﾛｰﾙを設定  （例）Form1,Command1...";
const std::wstring kHelpTargetEvents = L"取得するｲﾍﾞﾝﾄを設定  （例）'12','22','309'...";
const std::wstring kHelpDebugMode =
    L"Trueの場合,EventStart ﾒｿｯﾄﾞﾞ実行後に取得したｲﾍﾞﾝﾄ情報等をｲﾐﾃﾞｨｴｲﾄｳｨﾝﾄﾞｳ、DebugFile "
    L"ﾌﾟﾛﾊﾟﾃｨに定義したﾌｧｲﾙに書込みます。";
const std::wstring kHelpFileDropMode = L"Trueの場合,TargetControls,TargetHandleのｵﾌﾞｼﾞｪｸﾄにﾌｧｲﾙのﾄﾞﾛｯﾌﾟを有効にする";
const std::wstring kHelpDebugFile = L"EventStart ﾒｿｯﾄﾞ実行後に取得したｲﾍﾞﾝﾄ情報等を書込むﾌｧｲﾙを設定します。";
const std::wstring kHelpTargetHandle =
    L"対象ﾊﾝﾄﾞﾙを設定することにより、対象ﾊﾝﾄﾞﾙのｲﾍﾞﾝﾄを取得してGetEvents ｲﾍﾞﾝﾄを発生させます。";
const std::wstring kHelpLinkName = L"ｱﾌﾟﾘｹｰｼｮﾝ間通信で使用する通信名";

const std::vector<Func> kSlots = {
    {L"gFn_ErrMsg",
     M,
     0x60030007,
     {{L"ml_ErrNo", VT_I4, true}, {L"ms_Description", VT_BSTR, true}, {L"ml_HelpContext", VT_I4, true}},
     VT_BOOL,
     kHidden,
     L"ｴﾗｰﾒｯｾｰｼﾞを表示",
     0},
    {L"TargetControls", G, 0x68030006, {}, VT_BSTR, 0, kHelpTargetControls, 4},
    {L"TargetControls", P, 0x68030006, {{L"", VT_BSTR, true}}, VT_EMPTY, 0, kHelpTargetControls, 4},
    {L"EventsStop",
     M,
     0x6003000f,
     {},
     VT_EMPTY,
     0,
     L"ｲﾍﾞﾝﾄ取得を停止" + kBlanks36 + L"GetEvents,FileDropｲﾍﾞﾝﾄを発生させない",
     7},
    {L"IsEventsStart",
     M,
     0x60030010,
     {},
     VT_BOOL,
     0,
     L"EventStartﾒｿｯﾄﾞを行うとTrueになり、EventStopﾒｿｯﾄﾞを行うとFalseになる",
     12},
    {L"EventsStart",
     M,
     0x60030011,
     {},
     VT_EMPTY,
     0,
     L"ｲﾍﾞﾝﾄ取得を開始" + kBlanks36 + L"GetEvents,FileDropｲﾍﾞﾝﾄを発生させる",
     6},
    {L"DoGetEvents",
     M,
     0x60030012,
     {{L"ml_CtlhWnd", kPtr, true}, {L"ml_Msg", VT_I4, true}, {L"ml_wParam", kPtr, true}, {L"ml_lParam", kPtr, true}},
     VT_BOOL,
     kHidden,
     L"GetEventsｲﾍﾞﾝﾄを発生させる",
     0},
    {L"TargetEvents", G, 0x68030005, {}, VT_BSTR, 0, kHelpTargetEvents, 5},
    {L"TargetEvents", P, 0x68030005, {{L"", VT_BSTR, true}}, VT_EMPTY, 0, kHelpTargetEvents, 5},
    {L"DebugMode", G, 0x68030004, {}, VT_BOOL, 0, kHelpDebugMode, 14},
    {L"DebugMode", P, 0x68030004, {{L"", VT_BOOL, true}}, VT_EMPTY, 0, kHelpDebugMode, 14},
    {L"FileDropMode", G, 0x68030003, {}, VT_BOOL, 0, kHelpFileDropMode, 24},
    {L"FileDropMode", P, 0x68030003, {{L"", VT_BOOL, true}}, VT_EMPTY, 0, kHelpFileDropMode, 24},
    {L"ShowAboutDlg", M, -552, {}, VT_EMPTY, kHidden, L"ﾊﾞｰｼﾞｮﾝ情報を表示する", 0},
    {L"DebugFile", G, 0x68030002, {}, VT_BSTR, 0, kHelpDebugFile, 14},
    {L"DebugFile", P, 0x68030002, {{L"", VT_BSTR, true}}, VT_EMPTY, 0, kHelpDebugFile, 14},
    {L"GetEventName",
     M,
     0x60030013,
     {{L"EventValue", VT_I4, true}},
     VT_BSTR,
     0,
     L"GetEvents で送られてくるEventValueをWindowsｲﾍﾞﾝﾄ名に変換します。\r\n",
     15},
    {L"hwnd", G, -515, {}, kPtr, 0, L"Kestrixｺﾝﾄﾛｰﾙのﾊﾝﾄﾞﾙ値", 3},
    {L"TargetHandle", G, 0x68030001, {}, kPtr, kNotBrowsable, kHelpTargetHandle, 16},
    {L"TargetHandle", P, 0x68030001, {{L"", kPtr, false}}, VT_EMPTY, kNotBrowsable, kHelpTargetHandle, 16},
    {L"HandleCheck", M, 0x60030014, {{L"hwnd", kPtr, true}}, VT_BOOL, 0, L"取得できるﾊﾝﾄﾞﾙ値かをﾁｪｯｸ", 18},
    {L"LinkSend",
     M,
     0x60030015,
     {{L"LinkName", VT_BSTR, true}, {L"LinkData", VT_BSTR, true}},
     VT_BOOL,
     0,
     L"LinkNameで設定された通信名で他のｱﾌﾟﾘｹｰｼｮﾝにﾃﾞｰﾀを送る",
     21},
    {L"LinkName", G, 0x68030000, {}, VT_BSTR, 0, kHelpLinkName, 23},
    {L"LinkName", P, 0x68030000, {{L"", VT_BSTR, false}}, VT_EMPTY, 0, kHelpLinkName, 23},
};

// _Kestrix2's own members, in the slots after _Kestrix's.
const std::wstring kHelpReturnValue = L"GetEvents ｲﾍﾞﾝﾄでCancelしたﾒｯｾｰｼﾞの戻り値";
const std::vector<Func> kSlots2 = {
    {L"ReturnValue", G, 0x68030007, {}, kPtr, kNotBrowsable, kHelpReturnValue, 25},
    {L"ReturnValue", P, 0x68030007, {{L"", kPtr, false}}, VT_EMPTY, kNotBrowsable, kHelpReturnValue, 25},
    {L"CallOriginal",
     M,
     0x60030016,
     {{L"EventValue", VT_I4, false}, {L"Parameter1", kPtr, false}, {L"Parameter2", kPtr, false}},
     kPtr,
     0,
     L"ﾒｯｾｰｼﾞを元のｳｨﾝﾄﾞｳﾌﾟﾛｼｰｼﾞｬに渡し、その戻り値を返す",
     26},
};

const std::vector<Func> kEvents = {
    {L"GetEvents",
     M,
     1,
     {{L"Control", VT_DISPATCH, true},
      {L"EventValue", VT_I4, true},
      {L"Parameter1", kPtr, true},
      {L"Parameter2", kPtr, true},
      {L"Cancel", VT_BOOL, true}},
     VT_EMPTY,
     0,
     L"EventStart ﾒｯｿﾄﾞ実行後にTargetControlsに定義されたｺﾝﾄﾛｰﾙに対してTargetEvents "
     L"に定義されたｲﾍﾞﾝﾄが発生した時に発生します",
     13},
    {L"LinkReceive",
     M,
     2,
     {{L"LinkData", VT_BSTR, true}},
     VT_EMPTY,
     0,
     L"他のアプリケーションにあるKestrixコントロールからLinkSend "
     L"メソッドを使って送られてきた時に発生するイベントです。",
     22},
    {L"FileDrop",
     M,
     3,
     {{L"Control", VT_DISPATCH, true}, {L"Files", VT_SAFEARRAY, true}, {L"FileCount", VT_I4, true}},
     VT_EMPTY,
     0,
     L"TargetControls,TargetHandleのｵﾌﾞｼﾞｪｸﾄにﾌｧｲﾙをﾄﾞﾛｯﾌﾟされた時に発生する",
     20},
};

std::wstring Take(BSTR& b) {
    std::wstring s = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
    SysFreeString(b);
    b = nullptr;
    return s;
}

std::string Show(const std::wstring& s) { return kx::ToAnsi(s); }

class Attr {
public:
    explicit Attr(ITypeInfo* ti) : ti_(ti) { ti_->GetTypeAttr(&a_); }
    ~Attr() {
        if (a_) ti_->ReleaseTypeAttr(a_);
    }
    const TYPEATTR* operator->() const { return a_; }
    explicit operator bool() const { return a_ != nullptr; }

private:
    ITypeInfo* ti_;
    TYPEATTR* a_ = nullptr;
};

// The type a parameter refers to (by reference) or holds (by value).
VARTYPE Target(const TYPEDESC& t, bool* byRef) {
    *byRef = t.vt == VT_PTR && t.lptdesc;
    const TYPEDESC& inner = *byRef ? *t.lptdesc : t;
    if (inner.vt == VT_PTR && inner.lptdesc && inner.lptdesc->vt == VT_USERDEFINED) return VT_DISPATCH; // IDispatch*
    return inner.vt;
}

// Compares the functions of ti, in slot (or index) order, with the table;
// by slot, the first is firstSlot (right after IDispatch's seven).
void ExpectFuncs(ITypeInfo* ti, const std::vector<Func>& want, bool bySlot, size_t firstSlot = 7) {
    Attr attr(ti);
    ASSERT_TRUE(attr);
    ASSERT_EQ(attr->cFuncs, want.size());
    std::vector<FUNCDESC*> funcs(attr->cFuncs);
    for (UINT i = 0; i < attr->cFuncs; ++i) ASSERT_HRESULT_SUCCEEDED(ti->GetFuncDesc(i, &funcs[i]));
    if (bySlot)
        std::stable_sort(funcs.begin(), funcs.end(), [](FUNCDESC* a, FUNCDESC* b) { return a->oVft < b->oVft; });
    for (size_t i = 0; i < want.size(); ++i) {
        const Func& w = want[i];
        const FUNCDESC* f = funcs[i];
        SCOPED_TRACE(testing::Message() << "slot " << i << " " << Show(w.name));
        if (bySlot) {
            // A pointer each.
            EXPECT_EQ(f->oVft, static_cast<SHORT>((firstSlot + i) * sizeof(void*)));
        }
        BSTR names[8] = {};
        UINT got = 0;
        ASSERT_HRESULT_SUCCEEDED(ti->GetNames(f->memid, names, 8, &got));
        std::vector<std::wstring> n;
        for (UINT k = 0; k < got; ++k) n.push_back(Take(names[k]));
        ASSERT_FALSE(n.empty());
        EXPECT_EQ(n[0], w.name);
        EXPECT_EQ(f->memid, w.id);
        EXPECT_EQ(f->invkind, w.kind);
        EXPECT_EQ(f->wFuncFlags, w.flags);
        const bool hasResult = w.result != VT_EMPTY;
        // The dual's vtable has the result as a last [out, retval] parameter.
        const SHORT params = f->cParams - (bySlot && hasResult ? 1 : 0);
        ASSERT_EQ(params, static_cast<SHORT>(w.params.size()));
        for (size_t k = 0; k < w.params.size(); ++k) {
            const ELEMDESC& e = f->lprgelemdescParam[k];
            bool byRef = false;
            EXPECT_EQ(Target(e.tdesc, &byRef), w.params[k].vt) << "parameter " << k;
            EXPECT_EQ(byRef, w.params[k].byRef) << "parameter " << k;
            if (!w.params[k].name.empty() && w.kind == M) {
                ASSERT_GT(n.size(), k + 1);
                EXPECT_EQ(n[k + 1], w.params[k].name);
            }
        }
        if (bySlot && hasResult) {
            const ELEMDESC& r = f->lprgelemdescParam[f->cParams - 1];
            EXPECT_TRUE(r.paramdesc.wParamFlags & PARAMFLAG_FRETVAL);
            bool byRef = false;
            EXPECT_EQ(Target(r.tdesc, &byRef), w.result);
        } else if (!bySlot) {
            EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_VOID);
        }
        BSTR help = nullptr;
        DWORD context = 0;
        ASSERT_HRESULT_SUCCEEDED(ti->GetDocumentation(f->memid, nullptr, &help, &context, nullptr));
        const std::wstring text = Take(help);
        EXPECT_EQ(text, w.help) << Show(text);
        EXPECT_EQ(context, w.context);
    }
    for (FUNCDESC* f : funcs) ti->ReleaseFuncDesc(f);
}

class TypeLibTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(OcxPath().c_str(), REGKIND_NONE, &lib_)); }
    // The type description of a GUID: of this kind and name, with these flags.
    kx::ComPtr<ITypeInfo> Described(const GUID& guid, TYPEKIND kind, WORD flags, const wchar_t* name) const {
        kx::ComPtr<ITypeInfo> ti;
        EXPECT_HRESULT_SUCCEEDED(lib_->GetTypeInfoOfGuid(guid, &ti));
        if (!ti) return ti;
        {
            Attr a(ti.Get());
            EXPECT_EQ(a->typekind, kind);
            EXPECT_EQ(a->wTypeFlags & flags, flags);
        }
        BSTR doc = nullptr;
        EXPECT_HRESULT_SUCCEEDED(ti->GetDocumentation(MEMBERID_NIL, &doc, nullptr, nullptr, nullptr));
        EXPECT_EQ(Take(doc), name);
        return ti;
    }
    // A hidden, non-extensible dual interface of this name and version 1.minor;
    // its vtable half, which holds the slots, in vtable.
    void ExpectHiddenDual(const GUID& iid, const wchar_t* name, WORD minor, kx::ComPtr<ITypeInfo>* vtable) const {
        const kx::ComPtr<ITypeInfo> disp = Described(
            iid, TKIND_DISPATCH, TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE, name);
        ASSERT_TRUE(disp);
        {
            Attr a(disp.Get());
            EXPECT_EQ(a->wMajorVerNum, 1);
            EXPECT_EQ(a->wMinorVerNum, minor);
        }
        HREFTYPE ref = 0;
        ASSERT_HRESULT_SUCCEEDED(disp->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref));
        ASSERT_HRESULT_SUCCEEDED(disp->GetRefTypeInfo(ref, vtable->ReleaseAndGetAddressOf()));
    }
    kx::ComPtr<ITypeLib> lib_;
};

} // namespace

TEST_F(TypeLibTest, TheLibraryIsKestrix32Version135WithItsHelpStringAndFile) {
    TLIBATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(lib_->GetLibAttr(&attr));
    EXPECT_EQ(attr->guid, kLibId);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 35);
    EXPECT_EQ(attr->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    lib_->ReleaseTLibAttr(attr);
    BSTR name = nullptr, doc = nullptr, file = nullptr;
    ASSERT_HRESULT_SUCCEEDED(lib_->GetDocumentation(-1, &name, &doc, nullptr, &file));
    EXPECT_EQ(Take(name), L"Kestrix32");
    EXPECT_EQ(Take(doc), L"Kestrix (ｲﾍﾞﾝﾄを拡張するｺﾝﾄﾛｰﾙ)");
    EXPECT_EQ(Take(file), L"Kestrix.hlp");
    EXPECT_EQ(lib_->GetTypeInfoCount(), 4u);
}

TEST_F(TypeLibTest, KestrixIsAHiddenNonExtensibleDualInterfaceWithItsSeventeenMembersInSlotOrder) {
    kx::ComPtr<ITypeInfo> vtable;
    ExpectHiddenDual(kDualIid, L"_Kestrix", 34, &vtable);
    ASSERT_TRUE(vtable);
    ExpectFuncs(vtable.Get(), kSlots, /*bySlot=*/true);

    // 17 members: the properties' get and let share a name.
    std::vector<std::wstring> members;
    for (const Func& f : kSlots)
        if (members.empty() || members.back() != f.name) members.push_back(f.name);
    EXPECT_EQ(members.size(), 17u);
}

TEST_F(TypeLibTest, Kestrix2ExtendsKestrixWithReturnValueAndCallOriginalInTheSlotsAfterIts) {
    kx::ComPtr<ITypeInfo> vtable;
    ExpectHiddenDual(kDual2Iid, L"_Kestrix2", 35, &vtable);
    ASSERT_TRUE(vtable);
    ExpectFuncs(vtable.Get(), kSlots2, /*bySlot=*/true, 7 + kSlots.size());
    // Its base is the published _Kestrix.
    HREFTYPE ref = 0;
    ASSERT_HRESULT_SUCCEEDED(vtable->GetRefTypeOfImplType(0, &ref));
    kx::ComPtr<ITypeInfo> base;
    ASSERT_HRESULT_SUCCEEDED(vtable->GetRefTypeInfo(ref, &base));
    Attr b(base.Get());
    EXPECT_EQ(b->guid, kDualIid);
    EXPECT_EQ(b->wMinorVerNum, 34);
}

TEST_F(TypeLibTest, TheEventInterfaceHasGetEventsLinkReceiveAndFileDrop) {
    const kx::ComPtr<ITypeInfo> events = Described(kEventsIid, TKIND_DISPATCH, TYPEFLAG_FHIDDEN, L"__Kestrix");
    ASSERT_TRUE(events);
    ExpectFuncs(events.Get(), kEvents, /*bySlot=*/false);
}

TEST_F(TypeLibTest, TheClassIsAControlWithTheDualAndTheEventsAsDefaults) {
    const kx::ComPtr<ITypeInfo> cls =
        Described(kClsid, TKIND_COCLASS, TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE, L"Kestrix");
    ASSERT_TRUE(cls);
    Attr a(cls.Get());
    ASSERT_EQ(a->cImplTypes, 2);
    const struct {
        GUID iid;
        INT flags;
    } want[] = {
        {kDual2Iid, IMPLTYPEFLAG_FDEFAULT},
        {kEventsIid, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
    };
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        ASSERT_HRESULT_SUCCEEDED(cls->GetImplTypeFlags(i, &flags));
        EXPECT_EQ(flags, want[i].flags);
        HREFTYPE ref = 0;
        kx::ComPtr<ITypeInfo> ti;
        ASSERT_HRESULT_SUCCEEDED(cls->GetRefTypeOfImplType(i, &ref));
        ASSERT_HRESULT_SUCCEEDED(cls->GetRefTypeInfo(ref, &ti));
        Attr ia(ti.Get());
        EXPECT_EQ(ia->guid, want[i].iid);
    }
}

#ifndef _WIN64
// The 32-bit library is the one every 32-bit program and saved form was
// built against: byte for byte the published one (Kestrix32-x86.tlb beside
// this test), but for the stamp widl writes at every build ("Created by
// WIDL ... at <time>") and the two checksum bytes that follow it.
TEST(TypeLibBytes, The32BitLibraryIsThePublishedOneByteForByte) {
    std::ifstream in(kx::ToAnsi(ExeDir() + L"Kestrix32-x86.tlb"), std::ios::binary);
    const std::string published{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(published.empty()) << "Kestrix32-x86.tlb is missing";

    kx::UniqueModule ocx(LoadLibraryExW(OcxPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(ocx);
    HRSRC res = FindResourceW(ocx.get(), MAKEINTRESOURCEW(1), L"TYPELIB");
    ASSERT_NE(res, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(ocx.get(), res)));
    std::string built(data, SizeofResource(ocx.get(), res));
    ASSERT_EQ(built.size(), published.size());

    const std::string stamp = "Created by WIDL version ";
    const size_t at = published.find(stamp);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(built.find(stamp), at);
    constexpr size_t kStampAndChecksum = 64;
    std::string expected = published;
    expected.replace(at, kStampAndChecksum, kStampAndChecksum, '*');
    built.replace(at, kStampAndChecksum, kStampAndChecksum, '*');
    EXPECT_TRUE(built == expected) << "the 32-bit type library differs from the published one";
}
#endif
