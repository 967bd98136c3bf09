// DragDropFrm's own events and its button: starting Demlet2 and greeting
// it, stopping the capture, clearing the list.
#include "Demlet1.h"

namespace demlet1 {

using kxhost::Object;

void Form_Load(kxhost::Form& form) {
    // A missing or failing Demlet2 is passed over without a word.
    try {
        form.runtime().Shell(kDemlet2File, SW_SHOWNORMAL);
    } catch (...) {
        // as the comment above says: the form works without Demlet2
    }

    const Object me = form.AsObject();
    me.Call(L"Show");
    me.Call(L"Refresh");
    me.Call(L"SetFocus");

    const Object kestrix = form.Ctl(L"Kestrix1");
    kestrix.Call(L"EventsStart");
    // Only receivers running now get the greeting: Demlet2 has only just
    // been started, and nobody waited for it.
    kestrix.Call(L"LinkSend", {kestrix.Call(L"LinkName"), kxhost::Var(kGreeting)});
}

void Form_Unload(kxhost::Form& form, kxhost::EventArgs&) { form.Ctl(L"Kestrix1").Call(L"EventsStop"); }

void Command1_Click(kxhost::Form& form) { form.Ctl(L"List1").Call(L"Clear"); }

} // namespace demlet1
