// frmMain: the record behind the grids and the settings tabs that show it.
#include "app/frm_main.h"
#include "app/settings_tabs.h"
#include "rules/record_check.h"

namespace kv {

void frmMain::FillAllGrids() { SSTab1->FillAll(); }

void frmMain::StoreGrids() { SSTab1->StoreEdits(); }

void frmMain::ClearEditMarks() { SSTab1->ClearEditMarks(); }

void frmMain::MarkRefusedTableCells() {
  SSTab1->MarkRefusedTableCells({});
  StoreGrids();
  clsInstrument record = curInstrument_;
  CopyInstrument(record, editInstrument_, true);
  SSTab1->MarkRefusedTableCells(rules::CheckRecord(record, rules::RecordScope::Changed));
}

}  // namespace kv
