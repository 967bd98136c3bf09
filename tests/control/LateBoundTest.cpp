// Late-bound callers of every kind: VB code holding an Object passes a Long
// variable as VT_BYREF|VT_I4, a script passes every variable as
// VT_BYREF|VT_VARIANT and every literal by value. Each by-reference
// argument takes all three, and the caller's variable gets the result back.
// Raised errors reach IDispatch callers as DISP_E_EXCEPTION and callers of
// the dual interface through IErrorInfo.
#include "Kestrix32.h"
#include "KestrixFixture.h"
#include "Variant.h"

using namespace kxtest;
using kxhost::EventArgs;
using kxhost::Mode;

namespace {

// A variable of a script: a variant that a call may change.
struct ScriptVar {
    kx::Variant v;
    ScriptVar() = default;
    explicit ScriptVar(LONG l) {
        V_VT(v.get()) = VT_I4;
        V_I4(v.get()) = l;
    }
    explicit ScriptVar(const wchar_t* s) {
        V_VT(v.get()) = VT_BSTR;
        V_BSTR(v.get()) = SysAllocString(s);
    }
    VARIANTARG Ref() {
        VARIANTARG a;
        V_VT(&a) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&a) = v.get();
        return a;
    }
    std::wstring Text() const {
        std::wstring s;
        return v.toString(s) ? s : L"?";
    }
    LONG Long() const {
        LONG l = 0;
        return v.toLong(l) ? l : -12345;
    }
};

VARIANTARG ByValue(LONG l) {
    VARIANTARG a;
    V_VT(&a) = VT_I4;
    V_I4(&a) = l;
    return a;
}
VARIANTARG ByValueShort(SHORT s) {
    VARIANTARG a;
    V_VT(&a) = VT_I2;
    V_I2(&a) = s;
    return a;
}
VARIANTARG LongRef(LONG* l) {
    VARIANTARG a;
    V_VT(&a) = VT_BYREF | VT_I4;
    V_I4REF(&a) = l;
    return a;
}
VARIANTARG BstrRef(BSTR* b) {
    VARIANTARG a;
    V_VT(&a) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&a) = b;
    return a;
}

// One call as an automation client makes it: the name looked up, then
// Invoke with the arguments (given here in call order).
struct Call {
    HRESULT hr = E_FAIL;
    kx::Variant result;
    EXCEPINFO ei{};
    ~Call() {
        SysFreeString(ei.bstrDescription);
        SysFreeString(ei.bstrSource);
        SysFreeString(ei.bstrHelpFile);
    }
    std::wstring Description() const { return ei.bstrDescription ? ei.bstrDescription : L""; }
    std::wstring HelpFile() const { return ei.bstrHelpFile ? ei.bstrHelpFile : L""; }
};

void Invoke(Call& c, IDispatch* d, const wchar_t* name, std::vector<VARIANTARG> args, WORD flags = DISPATCH_METHOD) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    c.hr = d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(c.hr)) return;
    std::reverse(args.begin(), args.end());
    DISPPARAMS dp{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    UINT argErr = 0;
    c.hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, c.result.get(), &c.ei, &argErr);
}

class LateBoundTest : public KestrixTest {
protected:
    // The extender (what VB code holds) and the control itself (what a script holds).
    std::vector<IDispatch*> Callers() const { return {K().get(), Kx().ControlObject()}; }
};

} // namespace

TEST_F(LateBoundTest, ALongByReferenceTakesEveryKindOfArgument) {
    Load(L"        Bag debugmode = False\n");
    for (IDispatch* d : Callers()) {
        SCOPED_TRACE(d == K().get() ? "through the extender" : "on the control");
        LONG vbVariable = 563;
        ScriptVar number(563), text(L"563");
        const std::vector<std::vector<VARIANTARG>> ways = {
            {ByValue(563)}, {ByValueShort(563)}, {LongRef(&vbVariable)}, {number.Ref()}, {text.Ref()}};
        for (const auto& args : ways) {
            Call c;
            Invoke(c, d, L"GetEventName", args);
            ASSERT_HRESULT_SUCCEEDED(c.hr) << "argument type " << V_VT(&args[0]);
            ASSERT_EQ(c.result.vt(), VT_BSTR);
            EXPECT_STREQ(V_BSTR(c.result.get()), L"WM_DROPFILES");
        }
        EXPECT_EQ(vbVariable, 563);
        EXPECT_EQ(number.Long(), 563);
        EXPECT_EQ(text.Long(), 563);

        ScriptVar own(static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd(L"Text1"))));
        Call check;
        Invoke(check, d, L"HandleCheck", {own.Ref()});
        ASSERT_HRESULT_SUCCEEDED(check.hr);
        ASSERT_EQ(check.result.vt(), VT_BOOL);
        EXPECT_EQ(V_BOOL(check.result.get()), VARIANT_TRUE);

        // Not a number at all: a type mismatch, nothing called.
        ScriptVar word(L"abc");
        Call bad;
        Invoke(bad, d, L"GetEventName", {word.Ref()});
        EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
    }
}

TEST_F(LateBoundTest, LinkSendLeavesKestrixInAnEmptyLinkNameVariable) {
    Load(L"        Bag debugmode = False\n        Bag linkname = \"LateBoundNobody\"\n");
    for (IDispatch* d : Callers()) {
        SCOPED_TRACE(d == K().get() ? "through the extender" : "on the control");
        ScriptVar empty, blanks(L"   "), named(L"LateBoundNowhere");
        for (ScriptVar* name : {&empty, &blanks, &named}) {
            Call c;
            Invoke(c, d, L"LinkSend", {name->Ref(), ByValue(0)}); // a literal for the data
            EXPECT_HRESULT_SUCCEEDED(c.hr);
        }
        EXPECT_EQ(empty.v.vt(), VT_BSTR);
        EXPECT_EQ(empty.Text(), L"Kestrix");
        EXPECT_EQ(blanks.Text(), L"Kestrix");
        EXPECT_EQ(named.Text(), L"LateBoundNowhere");

        // VB's String variable by reference.
        BSTR vbName = nullptr;
        BSTR vbData = SysAllocString(L"x");
        Call c;
        Invoke(c, d, L"LinkSend", {BstrRef(&vbName), BstrRef(&vbData)});
        EXPECT_HRESULT_SUCCEEDED(c.hr);
        EXPECT_STREQ(vbName, L"Kestrix");
        SysFreeString(vbName);
        SysFreeString(vbData);

        // Blank data is refused, and the name has been filled in all the same.
        ScriptVar again, blankData(L"  ");
        Call refused;
        Invoke(refused, d, L"LinkSend", {again.Ref(), blankData.Ref()});
        EXPECT_EQ(refused.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(static_cast<unsigned long>(refused.ei.scode), 0x800A0000ul + 10017);
        EXPECT_EQ(refused.Description(), L"LinkData は必須です");
        EXPECT_EQ(again.Text(), L"Kestrix");
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LateBoundTest, ErrMsgRaisesAtRunTimeAndTellsTheCallerTheTopic) {
    Load(L"        Bag debugmode = False\n");
    // An own error gets the library's help; a caught failure handed on below
    // 10000 keeps the text and topic it came with.
    struct Case {
        LONG number;
        const wchar_t* text;
        LONG context;
        const wchar_t* helpFile;
        LONG topic;
    };
    for (const Case& k :
         {Case{10009, L"説明", 100, L"Kestrix.hlp", 10}, Case{53, L"ファイルが見つかりません。", 7, L"", 7}}) {
        ScriptVar number(k.number), text(k.text), context(k.context);
        Call c;
        Invoke(c, K().get(), L"gFn_ErrMsg", {number.Ref(), text.Ref(), context.Ref()});
        EXPECT_EQ(c.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(static_cast<unsigned long>(c.ei.scode), 0x800A0000ul + static_cast<unsigned long>(k.number));
        EXPECT_EQ(c.Description(), k.text);
        EXPECT_EQ(c.HelpFile(), k.helpFile);
        EXPECT_EQ(c.ei.dwHelpContext, static_cast<DWORD>(k.topic));
        EXPECT_EQ(context.Long(), k.topic) << "the caller's variable learns the topic used";
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LateBoundTest, ErrMsgShowsTheBoxAtDesignTimeAndReturnsFalse) {
    Load(L"", Mode::Design);
    ScriptVar number(10017), text(L"LinkData は必須です"), context(LONG{0});
    Call c;
    Invoke(c, K().get(), L"gFn_ErrMsg", {number.Ref(), text.Ref(), context.Ref()});
    ASSERT_HRESULT_SUCCEEDED(c.hr);
    ASSERT_EQ(c.result.vt(), VT_BOOL);
    EXPECT_EQ(V_BOOL(c.result.get()), VARIANT_FALSE);
    EXPECT_EQ(context.Long(), 10);
    // Literals by value, as the engine passes them.
    Call byValue;
    kx::Variant desc;
    V_VT(desc.get()) = VT_BSTR;
    V_BSTR(desc.get()) = SysAllocString(L"範囲外");
    Invoke(byValue, K().get(), L"gFn_ErrMsg", {ByValue(9), *desc.get(), ByValue(0)});
    ASSERT_HRESULT_SUCCEEDED(byValue.hr);
    ASSERT_EQ(Boxes().size(), 2u);
    ExpectOwnBox(Boxes()[0], L"LinkData は必須です");
    ExpectOwnBox(Boxes()[1], L"範囲外");
}

TEST_F(LateBoundTest, DoGetEventsCalledByAScriptWritesTheHandlersChangesBack) {
    auto& f = Load(L"        Bag debugmode = False\n");
    LONG seenMsg = 0;
    f.On(L"Kestrix1", L"GetEvents", [&](EventArgs& a) {
        seenMsg = a.Long(1);
        a.SetLong(2, a.Long(2) * 2);
        a.SetBool(4, a.Long(3) < 0);
    });
    ScriptVar hwnd(static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd(L"Command1")))), msg(L"1032"), wp(21), lp(-1);
    Call c;
    Invoke(c, Kx().ControlObject(), L"DoGetEvents", {hwnd.Ref(), msg.Ref(), wp.Ref(), lp.Ref()});
    ASSERT_HRESULT_SUCCEEDED(c.hr);
    EXPECT_EQ(seenMsg, 1032);
    EXPECT_EQ(wp.Long(), 42);
    ASSERT_EQ(c.result.vt(), VT_BOOL);
    EXPECT_EQ(V_BOOL(c.result.get()), VARIANT_TRUE);

    // VB's Long variables, and literals (whose changes go nowhere).
    LONG h = 0, m = 1033, w = 5, l = 1;
    Call vb;
    Invoke(vb, K().get(), L"DoGetEvents", {LongRef(&h), LongRef(&m), LongRef(&w), LongRef(&l)});
    ASSERT_HRESULT_SUCCEEDED(vb.hr);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(V_BOOL(vb.result.get()), VARIANT_FALSE);
    Call literal;
    Invoke(literal, K().get(), L"DoGetEvents", {ByValue(0), ByValue(1034), ByValue(3), ByValue(-5)});
    ASSERT_HRESULT_SUCCEEDED(literal.hr);
    EXPECT_EQ(seenMsg, 1034);
    EXPECT_EQ(V_BOOL(literal.result.get()), VARIANT_TRUE);
}

// The engine's form of the call (variables of the declared types) is taken
// by the control itself; a failure must come back as it does through the
// type library, which takes the call when one argument is a literal.
TEST_F(LateBoundTest, DoGetEventsFailsAlikeWhetherTheControlOrTheTypeLibraryTakesTheCall) {
    Load(L"        Bag debugmode = False\n");
    LONG_PTR h = 0, w = 0, l = 0;
    VARIANTARG hwnd, nullMsg, wp, lp;
    kx::SetLongPtrRef(hwnd, &h);
    V_VT(&nullMsg) = VT_BYREF | VT_I4;
    V_I4REF(&nullMsg) = nullptr;
    kx::SetLongPtrRef(wp, &w);
    kx::SetLongPtrRef(lp, &l);
    for (IDispatch* d : Callers()) {
        SCOPED_TRACE(d == K().get() ? "through the extender" : "on the control");
        Call direct, typed;
        Invoke(direct, d, L"DoGetEvents", {hwnd, nullMsg, wp, lp});
        Invoke(typed, d, L"DoGetEvents", {ByValue(0), nullMsg, wp, lp});
        EXPECT_TRUE(FAILED(direct.hr));
        EXPECT_EQ(direct.hr, typed.hr);
        EXPECT_EQ(direct.ei.scode, typed.ei.scode);
        EXPECT_EQ(direct.Description(), typed.Description());
        EXPECT_EQ(direct.result.vt(), typed.result.vt());
    }
}

TEST_F(LateBoundTest, TheDualInterfaceReportsRaisedErrorsThroughErrorInfo) {
    Load(L"        Bag debugmode = False\n");
    kx::ComPtr<_Kestrix> dual;
    ASSERT_HRESULT_SUCCEEDED(
        Kx().ControlObject()->QueryInterface(IID__Kestrix, reinterpret_cast<void**>(dual.GetAddressOf())));
    kx::ComPtr<ISupportErrorInfo> support;
    ASSERT_HRESULT_SUCCEEDED(dual.As(&support));
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__Kestrix), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__Kestrix2), S_OK);

    BSTR value = SysAllocString(L"Text1");
    const HRESULT hr = dual->put_TargetControls(&value);
    SysFreeString(value);
    EXPECT_EQ(static_cast<unsigned long>(hr), 0x800A0000ul + 10005);
    kx::ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
    BSTR desc = nullptr, file = nullptr;
    DWORD context = 0;
    GUID raisedOn{};
    info->GetGUID(&raisedOn);
    EXPECT_EQ(raisedOn, IID__Kestrix); // the interface a 1.34 program called
    info->GetDescription(&desc);
    info->GetHelpFile(&file);
    info->GetHelpContext(&context);
    EXPECT_STREQ(desc, L"実行時にTargetControls ﾌﾟﾛﾊﾟﾃｨは設定できません");
    EXPECT_STREQ(file, L"Kestrix.hlp");
    EXPECT_EQ(context, 10u);
    SysFreeString(desc);
    SysFreeString(file);
}
