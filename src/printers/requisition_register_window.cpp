#include "printers/requisition_register_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "data/remote/application_dataset.h"
#include "ui/data_grid.h"
#include "ui/period_edit.h"
#include "ui/qt_text.h"

namespace mero::printers {

using namespace base::literals;

namespace {

QToolButton* Button(QWidget* parent, const char* name, const QString& text, const std::string& hint) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(text);
  b->setToolTip(ui::ToQString(hint));
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

QLabel* Label(QWidget* parent, const std::string& text) { return new QLabel(ui::ToQString(text), parent); }

ui::TKZDTPREdit* RangeBox(QWidget* parent, const char* name, const std::string& title) {
  auto* box = new ui::TKZDTPREdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->SetDTPTitle(title);
  return box;
}

DateRange RangeOf(const ui::TKZDTPREdit* box) { return {box->From(), box->To()}; }

}  // namespace

TxFDeltioPF::TxFDeltioPF(RequisitionEditorOpener opener, QWidget* parent)
    : ui::TF102Form(parent), logic_(std::move(opener)) {
  setObjectName(QStringLiteral("xFDeltioPF"));
  BuildWindow();
  logic_.ReadBoxes = [this] { return Boxes(); };
  logic_.OnSearched = [this](bool hasRows) { Searched(hasRows); };
  SetMainDataSet(&logic_.List());
}

TxFDeltioPF::~TxFDeltioPF() {
  Grid->SetDataSet(nullptr);
  RemoveDataSet(&logic_.List());
}

void TxFDeltioPF::BuildWindow() {
  setWindowTitle(ui::ToQString("Δελτία Παραγγελίας Αναλωσίμων"_gr));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);

  auto* panel = new QGridLayout;
  OrdererBox = new QLineEdit(this);
  OrdererBox->setObjectName(QStringLiteral("edOrderPID"));
  EnteredBox = RangeBox(this, "prDTIN", "Ημ_Καταχ :"_gr);
  FinalisedBox = RangeBox(this, "prDTFIN", "Ημ_Οριστ :"_gr);
  SentBox = RangeBox(this, "prDTSENT", "Ημ_Αποστ :"_gr);
  ReceivedBox = RangeBox(this, "prDTRECEIVED", "Ημ_Παραλ :"_gr);
  ClosedBox = RangeBox(this, "prDTCLOSED", "Ημ_Κλεισ :"_gr);
  StageBox = new QLineEdit(this);
  StageBox->setObjectName(QStringLiteral("edState"));
  UnitBox = new QLineEdit(this);
  UnitBox->setObjectName(QStringLiteral("edOrgID"));

  // Top row: orderer, entry and finalisation dates, dispatch date at the
  // right; second row: receipt, closing, stage and unit.
  panel->addWidget(Label(this, "Χειριστής :"_gr), 0, 0);
  panel->addWidget(OrdererBox, 0, 1);
  panel->addWidget(Label(this, "Ημ_Καταχ :"_gr), 0, 2);
  panel->addWidget(EnteredBox, 0, 3);
  panel->addWidget(Label(this, "Ημ_Οριστ :"_gr), 0, 4);
  panel->addWidget(FinalisedBox, 0, 5);
  panel->addWidget(Label(this, "Ημ_Αποστ :"_gr), 0, 6);
  panel->addWidget(SentBox, 0, 7);
  panel->addWidget(Label(this, "Ημ_Παραλ :"_gr), 1, 2);
  panel->addWidget(ReceivedBox, 1, 3);
  panel->addWidget(Label(this, "Ημ_Κλεισ :"_gr), 1, 4);
  panel->addWidget(ClosedBox, 1, 5);
  panel->addWidget(Label(this, "Στάδιο :"_gr), 1, 0);
  panel->addWidget(StageBox, 1, 1);
  panel->addWidget(Label(this, "Τμήμα :"_gr), 1, 6);
  panel->addWidget(UnitBox, 1, 7);

  FindButton = Button(this, "btnFind", QStringLiteral("F7"), "Ανεύρεση"_gr);
  NewButton = Button(this, "btnNew", QStringLiteral("+"), "Νέο Δελτίο Παραγγελίας"_gr);
  DeleteButton = Button(this, "btnDelete", QString::fromUtf8("−"), "Διαγραφή Δελτίων"_gr);
  ChangeButton = Button(this, "btnChange", QString::fromUtf8("✎"), "Μεταβολή Δελτίου"_gr);
  NewButton2 = Button(this, "btnNew2", QStringLiteral("+"), "Νέο Δελτίο Παραγγελίας"_gr);
  CountBox = new QLineEdit(this);
  CountBox->setObjectName(QStringLiteral("edCount"));
  CountBox->setReadOnly(true);
  CountBox->setMaximumWidth(60);
  CountBox->setAlignment(Qt::AlignRight);

  auto* top = new QHBoxLayout;
  top->addLayout(panel);
  top->addStretch(1);
  top->addWidget(NewButton2, 0, Qt::AlignTop);
  layout->addLayout(top);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(FindButton);
  buttons->addWidget(NewButton);
  buttons->addWidget(DeleteButton);
  buttons->addWidget(ChangeButton);
  buttons->addStretch(1);
  buttons->addWidget(CountBox);
  layout->addLayout(buttons);

  Grid = new ui::TKZDBGrid(this);
  Grid->SetSelected(RequisitionRegister::Columns());
  Grid->SetzSumFields(RequisitionRegister::kSumFields);
  Grid->SetOnDrawDataCell(&RequisitionRegister::DrawCell);
  Grid->SetDataSet(&logic_.List());
  Grid->OnDblClick = [this] { ui::RunGuarded([this] { logic_.ChangeRequisition(); }); };
  layout->addWidget(Grid, 1);

  // Enter in a box of the panel searches.
  SetSearchControls("edOrderPID;edState;edOrgID");

  connect(FindButton, &QToolButton::clicked, this, [this] { ui::RunGuarded([this] { Find(); }); });
  for (QToolButton* b : {NewButton, NewButton2})
    connect(b, &QToolButton::clicked, this, [this] { ui::RunGuarded([this] { logic_.NewRequisition(); }); });
  connect(ChangeButton, &QToolButton::clicked, this,
          [this] { ui::RunGuarded([this] { logic_.ChangeRequisition(); }); });
  connect(DeleteButton, &QToolButton::clicked, this,
          [this] { ui::RunGuarded([this] { logic_.DeleteRequisition(); }); });
  resize(1000, 520);
}

RegisterSearch TxFDeltioPF::Boxes() const {
  RegisterSearch boxes;
  boxes.orderer = ui::FromQString(OrdererBox->text());
  boxes.entered = RangeOf(EnteredBox);
  boxes.finalised = RangeOf(FinalisedBox);
  boxes.sent = RangeOf(SentBox);
  boxes.received = RangeOf(ReceivedBox);
  boxes.closed = RangeOf(ClosedBox);
  boxes.stage = ui::FromQString(StageBox->text());
  boxes.unit = ui::FromQString(UnitBox->text());
  return boxes;
}

void TxFDeltioPF::Find() { logic_.Search(0); }

void TxFDeltioPF::showEvent(QShowEvent* event) {
  ui::TF102Form::showEvent(event);
  if (shown_) return;
  shown_ = true;
  ui::RunGuarded([this] { FormShow(); });
}

void TxFDeltioPF::FormShow() {
  for (ui::TKZDTPREdit* box : {EnteredBox, FinalisedBox, SentBox, ReceivedBox, ClosedBox}) box->SetPeriod({});
  const RegisterSearch opening = RequisitionRegister::OpeningBoxes();
  OrdererBox->setText(ui::ToQString(opening.orderer));
  OrdererBox->setReadOnly(!RequisitionRegister::OrdererEditable());
  logic_.Search(0);
}

void TxFDeltioPF::Searched(bool hasRows) {
  if (hasRows) Grid->View()->setFocus();
  CountBox->setText(QString::number(logic_.RowCount()));
}

void OpenRequisitionRegister(const RequisitionEditorOpener& opener) {
  TxFDeltioPF window(opener, QApplication::activeWindow());
  window.exec();
}

}  // namespace mero::printers
