// ParseForm: the block structure of a saved form, line by line.
//   file     = { line } with the form's block as its only content
//   form     = "Form" name NL { property | control } "End" NL
//   control  = "Begin" kind name [ "(" index ")" ] [ "ProgID" ] NL
//              { property | "Bag" key "=" value NL } "End" NL
//   property = name "=" value NL
// Blank lines and ' comments may appear anywhere. A word followed by "=" is
// always a property, so End, Begin and Bag remain usable as names.
#include "FormFile.h"
#include "Text.h"
#include "FormFileCursor.h"
#include "FormFileNames.h"
#include "FormFileValues.h"

namespace kxhost {

using namespace formfile;

namespace {

constexpr LONG kMaxIndex = 32767; // control arrays as VB numbers them

struct Seen {
    std::wstring folded;
    int line;
};

std::wstring Title(const ControlDesc& c) {
    std::wstring t = c.kind + L" " + c.name;
    if (c.index) t += L"(" + std::to_wstring(*c.index) + L")";
    return t;
}

class Parser {
public:
    explicit Parser(const std::wstring& source) : source_(source) {}

    FormDesc Run(const std::wstring& text) {
        size_t pos = !text.empty() && text[0] == 0xFEFF ? 1 : 0;
        int line = 0;
        while (pos < text.size()) {
            const size_t newline = text.find(L'\n', pos);
            const size_t stop = newline == std::wstring::npos ? text.size() : newline;
            size_t end = stop;
            if (end > pos && text[end - 1] == L'\r') --end;
            LineCursor in(source_, ++line, text.data() + pos, text.data() + end);
            if (!in.AtEnd()) Line(in);
            pos = stop + 1;
        }
        AtEndOfText(line == 0 ? 1 : line);
        return std::move(form_);
    }

private:
    enum class Stage { Header, Form, Control, Done };

    void Line(LineCursor& in) {
        const wchar_t* const start = in.pos();
        const std::wstring word = in.Word();
        const bool property = !word.empty() && in.Peek() == L'=';
        switch (stage_) {
        case Stage::Header:
            if (!IsKeyword(word, L"Form") || property) {
                if (IsKeyword(word, L"End") && in.AtEnd())
                    in.Fail(L"stray End before the header: expected \"Form <name>\"");
                in.advance(start);
                in.Fail(L"expected the header \"Form <name>\", found " + in.Found());
            }
            form_.name = in.Identifier(L"the form name after Form");
            in.ExpectEnd(L"Form " + form_.name);
            formLine_ = in.line();
            stage_ = Stage::Form;
            return;
        case Stage::Done:
            in.advance(start);
            if (IsKeyword(word, L"End") && !property)
                in.Fail(L"stray End: form " + form_.name + L" was already closed by the End at line " +
                        std::to_wstring(endLine_));
            in.Fail(L"expected nothing after the End that closes form " + form_.name + L" (line " +
                    std::to_wstring(endLine_) + L"), found " + in.Found());
        case Stage::Form:
        case Stage::Control:
            break;
        }
        if (word.empty()) in.Fail(L"expected a property, Begin, End or Bag, found " + in.Found());
        if (property) {
            in.Take(L'=');
            if (stage_ == Stage::Form) Add(in, word, L"property " + word, form_.props, formSeen_);
            else Add(in, word, L"property " + word, control().props, propSeen_);
        } else if (IsKeyword(word, L"End")) {
            in.ExpectEnd(L"End");
            if (stage_ == Stage::Control) {
                stage_ = Stage::Form;
            } else {
                endLine_ = in.line();
                stage_ = Stage::Done;
            }
        } else if (IsKeyword(word, L"Begin")) {
            if (stage_ == Stage::Control)
                in.Fail(L"expected End to close " + Open() + L" before the next Begin: controls do not nest");
            Begin(in);
        } else if (IsKeyword(word, L"Bag")) {
            Bag(in);
        } else {
            in.Fail(L"expected \"=\" after the property name " + word + L", found " + in.Found());
        }
    }

    void Begin(LineCursor& in) {
        ControlDesc c;
        c.line = in.line();
        c.kind = in.Word();
        if (c.kind.empty()) {
            if (in.AtEnd())
                in.Fail(L"Begin without a kind: expected \"Begin <kind> <name>\", found the end of the line");
            in.Fail(L"expected a control kind after Begin, found " + in.Found());
        }
        const bool activeX = IsKeyword(c.kind, L"Control");
        if (activeX) c.kind = L"Control";
        c.name = in.Word();
        if (c.name.empty())
            in.Fail(L"Begin " + c.kind + L" without a name: expected \"Begin " + c.kind + L" <name>\", found " +
                    in.Found());
        if (in.Take(L'(')) {
            const std::wstring what = L"the control array index of " + c.name;
            c.index = ReadWholeNumber(in, 0, kMaxIndex, what);
            if (!in.Take(L')')) in.Fail(L"expected \")\" after " + what + L", found " + in.Found());
        }
        if (activeX) {
            if (in.Peek() != L'"')
                in.Fail(L"Begin Control " + c.name + L" without a ProgID: expected a quoted ProgID or {CLSID}, found " +
                        in.Found());
            c.progId = in.Quoted(L"the ProgID of " + c.name);
            if (c.progId.empty())
                in.Fail(L"empty ProgID for " + c.name + L": expected a ProgID or {CLSID} between the quotes");
            for (wchar_t ch : c.progId) {
                if (ch < 0x20 || ch == 0x7F)
                    in.Fail(L"expected a ProgID or {CLSID} for " + c.name + L", found control characters in " +
                            Shown(c.progId.data(), c.progId.data() + c.progId.size()));
            }
            in.ExpectEnd(L"the ProgID of " + c.name);
        } else {
            in.ExpectEnd(L"Begin " + Title(c));
        }
        CheckName(in, c);
        form_.controls.push_back(std::move(c));
        propSeen_.clear();
        bagSeen_.clear();
        stage_ = Stage::Control;
    }

    // Names are unique, except for members of one control array of one kind.
    void CheckName(LineCursor& in, const ControlDesc& c) {
        for (const ControlDesc& other : form_.controls) {
            if (!kx::SameTextNoCase(other.name, c.name)) continue;
            const std::wstring where = L" at line " + std::to_wstring(other.line);
            if (!other.index || !c.index)
                in.Fail(L"duplicate control name " + c.name + L": " + Title(other) + where +
                        L" has it already (only control array members may share a name)");
            if (*other.index == *c.index) in.Fail(L"duplicate control " + Title(c) + L": already defined" + where);
            if (!kx::SameTextNoCase(other.kind, c.kind))
                in.Fail(L"control array " + c.name + L" mixes kinds: expected " + other.kind + L" as" + where +
                        L", found " + c.kind);
        }
    }

    void Bag(LineCursor& in) {
        if (stage_ != Stage::Control || control().progId.empty())
            in.Fail(
                L"Bag line outside an ActiveX control: expected Bag entries only inside \"Begin Control\" blocks, "
                L"found one in " +
                Open());
        const std::wstring key = kx::LowerCase(in.Identifier(L"a key after Bag"));
        if (!in.Take(L'=')) in.Fail(L"expected \"=\" after Bag " + key + L", found " + in.Found());
        Add(in, key, L"Bag " + key, control().bag, bagSeen_);
    }

    void Add(LineCursor& in, const std::wstring& name, const std::wstring& what, std::vector<Property>& props,
             std::vector<Seen>& seen) {
        std::wstring folded = kx::LowerCase(name);
        for (const Seen& s : seen) {
            if (s.folded == folded)
                in.Fail(L"duplicate " + what + L" in " + Open() + L": already set at line " + std::to_wstring(s.line));
        }
        Value value = ReadValue(in, what);
        seen.push_back({std::move(folded), in.line()});
        props.push_back({name, std::move(value)});
    }

    void AtEndOfText(int lastLine) {
        const std::wstring form = L"form " + form_.name + L" (begun at line " + std::to_wstring(formLine_) + L")";
        switch (stage_) {
        case Stage::Header:
            throw FormFileError(source_, lastLine, L"expected the header \"Form <name>\", found the end of the text");
        case Stage::Form:
            throw FormFileError(source_, lastLine,
                                L"unexpected end of the text after line " + std::to_wstring(lastLine) +
                                    L": expected End to close " + form);
        case Stage::Control:
            throw FormFileError(source_, lastLine,
                                L"unexpected end of the text after line " + std::to_wstring(lastLine) +
                                    L": expected End to close " + Open() + L", then End to close " + form);
        case Stage::Done:
            break;
        }
    }

    ControlDesc& control() { return form_.controls.back(); }

    // The block a line is in, for messages.
    std::wstring Open() {
        if (stage_ != Stage::Control) return L"form " + form_.name;
        return Title(control()) + L" (begun at line " + std::to_wstring(control().line) + L")";
    }

    const std::wstring& source_;
    Stage stage_ = Stage::Header;
    FormDesc form_;
    int formLine_ = 0;
    int endLine_ = 0;
    std::vector<Seen> formSeen_, propSeen_, bagSeen_;
};

} // namespace

FormDesc ParseForm(const std::wstring& text, const std::wstring& sourceName) {
    FormDesc f = Parser(sourceName).Run(text);
    f.source = sourceName;
    return f;
}

} // namespace kxhost
