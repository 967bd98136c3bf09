#include "EnumReports.h"
#include "KestrixBas.h"

EnumReports*& EnumReports::Innermost() { return gFn_Engine().enumReports; }

void EnumReports::Report(const std::exception& e) noexcept {
    try {
        const kx::AutomationError err = kx::ErrorFromException(e);
        gFn_Engine().g_CallbackCtl.ErrMsg(err.number, err.description, 0);
    } catch (const kx::RaisedError& raised) {
        const EngineState* const e = gFn_EngineIfAny();
        EnumReports* const current = e ? e->enumReports : nullptr;
        if (current && !current->first_) current->first_ = raised.error();
    } catch (...) {
        // A report that failed in itself has nowhere further to go.
    }
}

void EnumReports::RaiseIfAny() const {
    if (first_) throw kx::RaisedError(*first_);
}
