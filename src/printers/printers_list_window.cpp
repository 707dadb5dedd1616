#include "printers/printers_list_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "data/remote/application_dataset.h"
#include "ui/data_grid.h"
#include "ui/qt_text.h"
#include "ui/value_combo.h"

namespace mero::printers {

using namespace base::literals;

namespace {

QLabel* Label(QWidget* parent, const std::string& text) { return new QLabel(ui::ToQString(text), parent); }

QLineEdit* ReadOnlyBox(QWidget* parent, const char* name, const std::string& text) {
  auto* box = new QLineEdit(ui::ToQString(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setReadOnly(true);
  return box;
}

}  // namespace

TPrinters1F::TPrinters1F(const std::string& user, const std::string& orderer, QWidget* parent)
    : ui::TF102Form(parent), logic_(user, orderer) {
  setObjectName(QStringLiteral("Printers1F"));
  BuildWindow();
  SetMainDataSet(&logic_.Printers());
  AddDataSet(&logic_.Requirements());
}

TPrinters1F::~TPrinters1F() {
  RequirementGrid->SetDataSet(nullptr);
  PrinterGrid->SetDataSet(nullptr);
  RemoveDataSet(&logic_.Requirements());
  RemoveDataSet(&logic_.Printers());
}

void TPrinters1F::BuildWindow() {
  setWindowTitle(QStringLiteral("Printers"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);

  UnitBox = new ui::TKZDBCBox1(this);
  UnitBox->setObjectName(QStringLiteral("cbUnit"));
  UnitBox->setMinimumWidth(280);
  UserBox = ReadOnlyBox(this, "edUser", logic_.User());
  OrdererBox = ReadOnlyBox(this, "edOrderer", logic_.Orderer());
  CountBox = ReadOnlyBox(this, "edCount", {});
  CountBox->setMaximumWidth(60);
  CountBox->setAlignment(Qt::AlignRight);
  FindButton = new QToolButton(this);
  FindButton->setObjectName(QStringLiteral("btnFind"));
  FindButton->setText(QStringLiteral("F7"));
  FindButton->setToolTip(ui::ToQString("Ανεύρεση"_gr));
  FindButton->setFocusPolicy(Qt::NoFocus);

  auto* top = new QHBoxLayout;
  top->addWidget(FindButton);
  top->addWidget(Label(this, "Μονάδα :"_gr));
  top->addWidget(UnitBox, 1);
  top->addWidget(Label(this, "Χρήστης :"_gr));
  top->addWidget(UserBox);
  top->addWidget(Label(this, "Παραγγ :"_gr));
  top->addWidget(OrdererBox);
  top->addWidget(CountBox);
  layout->addLayout(top);

  PrinterGrid = new ui::TKZDBGrid(this);
  PrinterGrid->SetSelected(PrintersList::PrinterColumns());
  PrinterGrid->SetDataSet(&logic_.Printers());
  RequirementGrid = new ui::TKZDBGrid(this);
  RequirementGrid->SetSelected(PrintersList::RequirementColumns());
  RequirementGrid->SetOnDrawDataCell(&PrintersList::DrawRequirementCell);
  RequirementGrid->SetDataSet(&logic_.Requirements());
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(PrinterGrid);
  split->addWidget(RequirementGrid);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  layout->addWidget(split, 1);

  // Not by unit, the unit box stays empty and unused.
  if (logic_.ByUnit()) {
    filling_ = true;
    UnitBox->SetItems(logic_.UnitItems());
    if (UnitBox->count() > 0) UnitBox->setCurrentIndex(0);
    filling_ = false;
  } else {
    UnitBox->setEnabled(false);
  }
  connect(UnitBox, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_ && shown_) ui::RunGuarded([this] { RunQuery(); });
  });
  connect(FindButton, &QToolButton::clicked, this, [this] { ui::RunGuarded([this] { Find(); }); });
  resize(1000, 600);
}

void TPrinters1F::Find() { RunQuery(); }

void TPrinters1F::RunQuery() {
  logic_.RunQuery(logic_.ByUnit() ? UnitBox->Value() : std::string());
  CountBox->setText(QString::number(logic_.PrinterCount()));
}

void TPrinters1F::showEvent(QShowEvent* event) {
  ui::TF102Form::showEvent(event);
  if (shown_) return;
  shown_ = true;
  ui::RunGuarded([this] { RunQuery(); });
}

void OpenPrintersWindow(const std::string& user, const std::string& orderer) {
  TPrinters1F window(user, orderer, QApplication::activeWindow());
  window.exec();
}

}  // namespace mero::printers
