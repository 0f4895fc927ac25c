#include "ui/Container.h"

namespace dv::ui {

void TContainer::Create(TControl* parent, TBounds bounds, DWORD exStyle) {
    CreateChild({"DormivanePage"}, parent, WS_CLIPSIBLINGS, exStyle, bounds);
}

} // namespace dv::ui
