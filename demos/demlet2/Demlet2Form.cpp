// Form1 from its saved form, and what it does with a text that arrives.
#include "Demlet2.h"
#include "Program.h"

namespace demlet2 {

std::unique_ptr<kxhost::Form> CreateForm(kxhost::Runtime& rt) {
    return kxhost::CreateFormFromResource(rt, nullptr, kFormResource, Attach);
}

void Attach(kxhost::Form& form) {
    kxhost::Form* f = &form;
    form.On(L"Kestrix1", L"LinkReceive", [f](kxhost::EventArgs& a) { Kestrix1_LinkReceive(*f, a); });
}

void Kestrix1_LinkReceive(kxhost::Form& form, kxhost::EventArgs& args) {
    form.Ctl(L"Text1").Let(L"Text", args.String(0));
}

} // namespace demlet2
