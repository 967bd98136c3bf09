#include "Program.h"

namespace kxhost {

std::unique_ptr<Form> CreateFormFromResource(Runtime& rt, HMODULE module, const wchar_t* resourceName,
                                             const std::function<void(Form&)>& attach) {
    std::unique_ptr<Form> form = Form::Create(rt, LoadFormResource(module, resourceName));
    attach(*form);
    return form;
}

int RunProgram(const std::wstring& title, const FormFactory& makeStartupForm) {
    Runtime rt(Mode::Run, title);
    try {
        std::unique_ptr<Form> form = makeStartupForm(rt);
        form->Load();
        form->Show();
        return rt.Run();
    } catch (const FormFileError& e) {
        rt.MsgBox(e.text(), MB_OK | MB_ICONSTOP);
    } catch (const kx::RaisedError& e) {
        rt.ReportUnhandled(e.error());
    } catch (const std::exception& e) {
        rt.ReportUnhandled(kx::ErrorFromException(e));
    }
    return 1;
}

} // namespace kxhost
