#include "ui/HandleTable.h"

#include "ui/Control.h"

#include <unordered_map>

namespace dv::ui {

namespace {

std::unordered_map<HWND, TControl*>& ControlsByHandle() {
    static std::unordered_map<HWND, TControl*> controls;
    return controls;
}

} // namespace

void RememberControl(HWND hwnd, TControl* control) { ControlsByHandle()[hwnd] = control; }

void ForgetControl(HWND hwnd) { ControlsByHandle().erase(hwnd); }

TControl* TControl::FromHandle(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    const auto found = ControlsByHandle().find(hwnd);
    return found == ControlsByHandle().end() ? nullptr : found->second;
}

TControl* TControl::Enclosing(HWND hwnd) {
    for (; hwnd; hwnd = GetParent(hwnd))
        if (TControl* control = FromHandle(hwnd))
            return control;
    return nullptr;
}

} // namespace dv::ui
