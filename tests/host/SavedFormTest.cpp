// Saved forms with ActiveX controls: property-bag keys in any case, values
// left out at their defaults, round trips through files, and bad input that
// names the file and the line without crashing.
#include "HostFixture.h"
#include "Ansi.h"
#include "FormFileTestSupport.h"
#include "FormFileUtf8.h"
#include "FormPropertyBag.h"
#include "FormProps.h"

using namespace kxhost;
using namespace kxtest;

namespace {

class SavedForm : public HostTest {
protected:
    FormFileError LoadError(const std::wstring& file) {
        try {
            const FormDesc d = LoadFormFile(scratch_.Path(file));
            rt_ = std::make_unique<Runtime>(Mode::Run, L"SavedForm");
            form_ = Form::Create(*rt_, d);
        } catch (const FormFileError& e) {
            return e;
        }
        ADD_FAILURE() << "the form loaded";
        return FormFileError(L"(loaded)", -1, L"");
    }
    std::wstring Text(const std::string& utf8) const { return formfile::DecodeUtf8(utf8.data(), utf8.size(), L"text"); }
    ScratchFolder scratch_;
};

const wchar_t kMixedCase[] =
    LR"(Form Mixed
    Begin Control A1 "KxTest.Ctl"
        Bag CAPTION = "Groß"
        Bag vAlUe = 12
    End
    Begin Control A2 "{B54E9F27-50A9-42EC-818F-47A8DAF6722B}"
        Bag Caption = 34
        Bag VALUE = "56"
    End
    Begin Control A3 "kxtest.ctl"
    End
End
)";

} // namespace

TEST_F(SavedForm, BagKeysMatchWithoutRegardToCaseAndValuesTakeTheTypeAsked) {
    Load(kMixedCase);
    EXPECT_EQ(Ctl(L"A1").Call(L"Caption").AsString(), L"Groß");
    EXPECT_EQ(Ctl(L"A1").Call(L"Value").AsLong(), 12);
    // A control made from its CLSID; a number read as text and text as a number.
    EXPECT_EQ(Ctl(L"A2").Call(L"Caption").AsString(), L"34");
    EXPECT_EQ(Ctl(L"A2").Call(L"Value").AsLong(), 56);
    // Nothing saved: the control's defaults, and it was loaded, not started fresh.
    EXPECT_EQ(Ctl(L"A3").Call(L"Caption").AsString(), L"KxTest");
    EXPECT_EQ(Ctl(L"A3").Call(L"Value").AsLong(), 0);
}

TEST(FormPropertyBagRead, OverwritesTheCallersValueWithoutFreeingIt) {
    // A control asks for a string with VT_BSTR and whatever pointer its
    // VARIANT happened to hold: here a live string, so a free would show as
    // the next string of that size being given the same memory.
    kx::ComPtr<FormPropertyBag> bag;
    ASSERT_HRESULT_SUCCEEDED(
        FormPropertyBag::Make(bag, std::vector<Property>{{L"caption", Value{std::wstring(L"Hi")}}}));
    BSTR held = SysAllocString(L"held by the caller");
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = held;
    ASSERT_HRESULT_SUCCEEDED(bag->Read(L"Caption", &v, nullptr));
    ASSERT_EQ(V_VT(&v), VT_BSTR);
    EXPECT_STREQ(V_BSTR(&v), L"Hi");
    BSTR next = SysAllocString(L"held by the caller");
    EXPECT_NE(next, held) << "Read freed the caller's string";
    EXPECT_STREQ(held, L"held by the caller");
    SysFreeString(next);
    SysFreeString(held);
    VariantClear(&v);
}

TEST_F(SavedForm, ValuesEqualToTheirDefaultsAreLeftOutAndKeysAreWrittenInLowerCase) {
    Load(kMixedCase);
    FormDesc d = form_->Describe();
    ASSERT_EQ(d.controls.size(), 3u);
    EXPECT_TRUE(d.controls[2].bag.empty());
    Ctl(L"A3").Let(L"Value", 5);
    Ctl(L"A1").Let(L"Caption", L"KxTest");
    d = form_->Describe();
    ExpectSameProps(d.controls[2].bag, {{L"value", LONG(5)}}, "A3");
    ExpectSameProps(d.controls[0].bag, {{L"value", LONG(12)}}, "A1");
    ExpectSameProps(d.controls[1].bag, {{L"caption", std::wstring(L"34")}, {L"value", LONG(56)}}, "A2");
    // The extent goes with the control, in HIMETRIC, beside its place in twips.
    EXPECT_EQ(PropLong(d.controls[2].props, L"ExtentX", -1), MulDiv(1215, 2540, 1440));
    EXPECT_EQ(PropLong(d.controls[2].props, L"Width", -1), 1215);
}

TEST_F(SavedForm, AFormSavedAndLoadedAgainHasTheSameControlsAndProperties) {
    Load();
    Ctl(L"Ctl1").Let(L"Caption", L"改行\r\n\"引用\"");
    Ctl(L"Ctl2", 0).Let(L"Value", -7);
    Ctl(L"Ctl2", 1).Let(L"Left", 4200);
    const FormDesc first = form_->Describe();
    SaveFormFile(first, scratch_.Path(L"round.frm"));

    const FormDesc reread = LoadFormFile(scratch_.Path(L"round.frm"));
    ExpectSameForm(reread, first);
    Load(WriteForm(reread), Mode::Run, scratch_.Path(L"round.frm"));
    ExpectSameForm(form_->Describe(), first);
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"Caption").AsString(), L"改行\r\n\"引用\"");
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"Value").AsLong(), 11);
    EXPECT_EQ(Ctl(L"Ctl2", 0).Call(L"Value").AsLong(), -7);
    EXPECT_EQ(Ctl(L"Ctl2", 1).Call(L"Value").AsLong(), 21);
    EXPECT_EQ(Ctl(L"Ctl2", 1).Call(L"Left").AsLong(), 4200);
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"Width").AsLong(), 960);

    // Saving again writes the very same text.
    SaveFormFile(form_->Describe(), scratch_.Path(L"again.frm"));
    EXPECT_EQ(scratch_.Read(L"again.frm"), scratch_.Read(L"round.frm"));
    EXPECT_NE(Text(scratch_.Read(L"round.frm")).find(L"Bag caption = \"改行\" & vbCrLf & \"\"\"引用\"\"\""),
              std::wstring::npos);
}

TEST_F(SavedForm, BadFilesNameTheFileAndTheLineAndLeaveNothingBehind) {
    struct Case {
        const char* text;
        int line;
        const wchar_t* says;
    };
    const Case cases[] = {
        // Cut off inside a control.
        {"Form F\n    Begin Control C1 \"KxTest.Ctl\"\n        Bag value = 1\n", 3, L"unexpected end of the text"},
        // Malformed value.
        {"Form F\n    Begin Control C1 \"KxTest.Ctl\"\n        Bag value = 1 2\n    End\nEnd\n", 3, L"value"},
        // Nobody registered this one.
        {"Form F\n    Begin ListBox L1\n    End\n    Begin Control C1 \"Kx.Nowhere\"\n    End\nEnd\n", 4,
         L"not registered"},
        {"Form F\n\n    Begin Control C1 \"{00000000-1111-2222-3333-444444444444}\"\n    End\nEnd\n", 3,
         L"{00000000-1111-2222-3333-444444444444}"},
        // The control itself refuses what the bag holds.
        {"Form F\n    Begin Control Good \"KxTest.Ctl\"\n    End\n    Begin Control C1 \"KxTest.Ctl\"\n        Bag "
         "value = \"viele\"\n    End\nEnd\n",
         4, L"C1 could not read its properties"},
        // An unknown kind of control.
        {"Form F\n    Begin Control Good \"KxTest.Ctl\"\n    End\n    Begin Slider S1\n    End\nEnd\n", 4, L"Slider"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        scratch_.Write(L"bad.frm", c.text);
        const FormFileError e = LoadError(L"bad.frm");
        EXPECT_EQ(e.file(), scratch_.Path(L"bad.frm"));
        EXPECT_EQ(e.line(), c.line);
        EXPECT_NE(e.message().find(c.says), std::wstring::npos) << kx::ToAnsi(e.message());
        EXPECT_EQ(e.text().find(scratch_.Path(L"bad.frm") + L"(" + std::to_wstring(c.line) + L"): "), 0u);
        // The half-made form went away with its window and controls.
        if (rt_) {
            EXPECT_TRUE(rt_->Forms().empty());
        }
        form_.reset();
        rt_.reset();
    }
}

TEST_F(SavedForm, AFormBuiltInCodeNamesItselfInErrors) {
    FormDesc d;
    d.name = L"Coded";
    ControlDesc c;
    c.kind = L"Control";
    c.name = L"X";
    c.progId = L"Kx.Nowhere";
    c.line = 0;
    d.controls.push_back(c);
    rt_ = std::make_unique<Runtime>(Mode::Run);
    try {
        Form::Create(*rt_, d);
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.file(), L"Coded");
        EXPECT_NE(e.message().find(L"Kx.Nowhere"), std::wstring::npos);
    }
}
