// DragDropFrm from its saved form, and its handlers hooked up.
#include "Demlet1.h"
#include "Program.h"

namespace demlet1 {

std::unique_ptr<kxhost::Form> CreateForm(kxhost::Runtime& rt) {
    return kxhost::CreateFormFromResource(rt, nullptr, kFormResource, Attach);
}

void Attach(kxhost::Form& form) {
    kxhost::Form* f = &form;
    const std::wstring me = form.Name();
    form.On(me, L"Load", [f](kxhost::EventArgs&) { Form_Load(*f); });
    form.On(me, L"Unload", [f](kxhost::EventArgs& a) { Form_Unload(*f, a); });
    form.On(L"Command1", L"Click", [f](kxhost::EventArgs&) { Command1_Click(*f); });
    form.On(L"Kestrix1", L"FileDrop", [f](kxhost::EventArgs& a) { Kestrix1_FileDrop(*f, a); });
    form.On(L"Kestrix1", L"GetEvents", [f](kxhost::EventArgs& a) { Kestrix1_GetEvents(*f, a); });
}

} // namespace demlet1
