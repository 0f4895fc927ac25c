#pragma once
// The "New type" dialog that asks for a file-type pattern.
#include "ui/Controls.h"

namespace dv {

class TAddExt : public ui::TControl {
  public:
    TAddExt();
    ~TAddExt() override;
    // Shows the dialog modally; returns IDOK or IDCANCEL.
    int ShowModal();
    void Button1Click();

    ui::TContainer Panel1;
    ui::TLabel Label1;
    ui::TEdit Edit1;
    ui::TButton Button1;
};

extern TAddExt* AddExt;

} // namespace dv
