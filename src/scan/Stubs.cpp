// Placeholder until the scanner lands.
#include "scan/Unit1.h"
#include "ui/UnitMainForm.h"

namespace dv {
TAddExt* AddExt = nullptr;
TAddExt::TAddExt() { AddExt = this; }
TAddExt::~TAddExt() { AddExt = nullptr; }
int TAddExt::ShowModal() { return IDCANCEL; }
void TAddExt::Button1Click() {}
void TSForm::LoadExtList() {}
void TSForm::SaveExtList() {}
void TSForm::TabScanInit() {}
void TSForm::cExtClick() {}
void TSForm::selectClick() {}
void TSForm::deselectClick() {}
void TSForm::AddClick() {}
void TSForm::RemoveClick() {}
void TSForm::bScanClick() {}
void TSForm::ScanDir(const std::string&) {}
void TSForm::ScanFile(const std::string&) {}
void TSForm::bDeleteClick() {}
void TSForm::bSelAllClick() {}
void TSForm::bClearAllClick() {}
void TSForm::ListFilesSelectItem(int, bool) {}
int TSForm::InsertFoundFile(const std::string&, const std::string&, int64_t) { return 0; }
} // namespace dv
