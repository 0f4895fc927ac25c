#pragma once
// The "New type" dialog that asks for a file-type pattern.
#include "ui/Controls.h"

namespace dv {

class TAddExt : public ui::TWindow {
  public:
    // Creates the dialog hidden, centred on the desktop; Edit1 starts empty.
    TAddExt();
    ~TAddExt() override;
    // Shows the dialog modally over the main window; returns IDOK or IDCANCEL.
    int ShowModal();
    // "Ok": OK when Edit1 holds any text, else Cancel; the text stays for next time.
    void Button1Click();
    // Lays the dialog out for a DPI around its centre.
    void ScaleTo(int dpi) override;

    ui::TContainer Panel1;
    ui::TLabel Label1;
    ui::TEdit Edit1;
    ui::TButton Button1;

  private:
    void CloseModal(int result);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

extern TAddExt* AddExt;

// The window property in which a modal window leaves its result.
inline constexpr char kModalResultProp[] = "DvModalResult";

} // namespace dv
