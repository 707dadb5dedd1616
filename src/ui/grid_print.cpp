#include "ui/grid_print.h"

#include "base/encoding.h"
#include "base/message_seam.h"
#include "data/dataset.h"
#include "ui/footer_sums.h"
#include "ui/report_definition.h"
#include "ui/report_output.h"

namespace mero::ui {

namespace {

std::string Lines(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += item + "\n";
  return text;
}

}  // namespace

bool BuildPrintDefinition(TMyRpt& definition, data::TDataSet* ds, const std::vector<PrintColumn>& columns,
                          const PrintTitles& titles, const FooterSums& sums) {
  if (columns.empty() || ds == nullptr || !ds->Active() || ds->IsEmpty()) return false;
  definition.selected.clear();
  for (const PrintColumn& column : columns) {
    TRptSelFld f;
    f.fieldName = column.field->FieldName();
    f.title = column.field->DisplayLabel();
    f.kind = FieldKindLetter(column.field->DataType());
    f.width = PrintWidth(column.widthPx);
    f.alignment = f.kind == 'N' ? 2 : 1;
    definition.selected.push_back(std::move(f));
  }
  definition.SetTitles(titles.title, titles.left, titles.right);
  if (sums.Computed()) {
    definition.SetSums(Lines(sums.Names()), Lines(sums.Texts()));
  } else {
    definition.SetSums("", "");
  }
  return true;
}

void PrintGrid(TMyRpt& definition, data::TDataSet* ds, const std::vector<PrintColumn>& columns,
               const PrintTitles& titles, const FooterSums& sums) {
  if (!BuildPrintDefinition(definition, ds, columns, titles, sums)) {
    base::ShowMess(base::Utf8ToWin1253(kNothingToPrint));
    return;
  }
  CurrentReportPrinter().Print(definition, *ds);
}

}  // namespace mero::ui
