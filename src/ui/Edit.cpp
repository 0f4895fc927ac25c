#include "ui/Edit.h"

namespace dv::ui {

void TEdit::Create(TControl* parent, TBounds bounds) {
    CreateHandle(parent, L"Edit", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE, WS_EX_CLIENTEDGE,
                 bounds);
}

} // namespace dv::ui
