#include "ui/visible_fields_dialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "data/memory_dataset.h"
#include "link/codec/result_set.h"
#include "ui/data_grid.h"
#include "ui/qt_text.h"

namespace mero::ui {

using namespace base::literals;

namespace {

constexpr int kCaptionWidth = 45;

}  // namespace

std::unique_ptr<data::TLinkDataSet> VisibleFieldRows(data::TDataSet& ds) {
  auto rows = std::make_unique<data::TLinkDataSet>("VISFLDS");
  rows->SetFastFields({link::FastFieldsEntry({"VIS", link::ftBoolean, 0}),
                       link::FastFieldsEntry({"LABEL", link::ftString, kCaptionWidth}),
                       link::FastFieldsEntry({"NAME", link::ftString, 64})});
  rows->Open();
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const data::TField& f = ds.Fields(i);
    rows->Append();
    rows->FieldByName("VIS").SetAsBoolean(f.Visible());
    rows->FieldByName("LABEL").SetAsString(f.DisplayLabel());
    rows->FieldByName("NAME").SetAsString(f.FieldName());
    rows->Post();
  }
  rows->FieldByName("NAME").SetVisible(false);
  rows->First();
  return rows;
}

void ApplyVisibleFieldRows(data::TLinkDataSet& rows, data::TDataSet& ds) {
  rows.CheckBrowseMode();
  for (rows.First(); !rows.Eof(); rows.Next()) {
    data::TField* field = ds.FindField(rows.FieldByName("NAME").AsString());
    if (field == nullptr) continue;
    field->SetVisible(rows.FieldByName("VIS").AsBoolean());
    field->SetDisplayLabel(rows.FieldByName("LABEL").AsString());
  }
}

bool EditVisibleFields(data::TDataSet& ds, QWidget* parent) {
  std::unique_ptr<data::TLinkDataSet> rows = VisibleFieldRows(ds);
  QDialog dialog(parent);
  dialog.setObjectName("TEdVisFldsF");
  dialog.setWindowTitle(ToQString("Μεταβολή Εμφάνισης"_gr));
  auto* grid = new TKZDBGrid(&dialog);
  grid->setObjectName("VisibleFieldsGrid");
  grid->SetTitleButtons(false);
  grid->SetSelected({"VIS\t7\t"_gr + "Ορατό"_gr, "LABEL\t45\t"_gr + "Περιγραφή Πεδίου"_gr});
  grid->SetDataSet(rows.get());
  auto* ok = new QPushButton(ToQString("ΟΚ"_gr), &dialog);
  ok->setObjectName("OK");
  ok->setDefault(false);
  ok->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* box = new QVBoxLayout(&dialog);
  box->addWidget(grid);
  box->addLayout(buttons);
  dialog.resize(400, 420);
  bool applied = false;
  QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
    try {
      ApplyVisibleFieldRows(*rows, ds);
      applied = true;
      dialog.accept();
    } catch (const std::exception& e) {
      base::ShowMess(e.what());
    }
  });
  dialog.exec();
  grid->SetDataSet(nullptr);
  return applied;
}

}  // namespace mero::ui
