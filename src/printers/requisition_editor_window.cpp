#include "printers/requisition_editor_window.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "data/database_error.h"
#include "data/dataset_utils.h"
#include "data/field.h"
#include "printers/cell_colours.h"
#include "ui/data_grid.h"
#include "ui/db_check_box.h"
#include "ui/db_date_edit.h"
#include "ui/db_edit.h"
#include "ui/db_memo.h"
#include "ui/qt_text.h"

namespace mero::printers {

using namespace base::literals;

namespace {

QString G(const char* utf8) { return ui::ToQString(base::Utf8ToWin1253(utf8)); }

QLabel* Caption(const char* utf8, QWidget* parent) {
  auto* label = new QLabel(G(utf8), parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

void Colour(QWidget* w, QPalette::ColorRole role, unsigned rgb) {
  QPalette p = w->palette();
  p.setColor(role, QColor::fromRgb(rgb));
  w->setPalette(p);
}

// The name beside a code: a navy box with yellow text.
QLabel* NameBox(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAutoFillBackground(true);
  Colour(label, QPalette::Window, kNavy);
  Colour(label, QPalette::WindowText, kYellow);
  label->setMinimumWidth(260);
  label->setContentsMargins(4, 1, 4, 1);
  return label;
}

QToolButton* Button(QWidget* parent, const QString& text, const QString& hint) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolTip(hint);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

const std::vector<std::string>& LineLayout() {
  static const std::vector<std::string> layout = [] {
    std::vector<std::string> lines;
    for (const char* line : {"PRID\t6\tPrinter", "MANID\t2\tΚατ", "FULLNAME\t26\tΤύπος Εκτυπωτή", "SN\t16\tSN",
                             "CID\t5\tCID", "ITEMAA\t4\taa", "CODE\t20\tΑναλώσιμο", "UP\t5\tΤιμη", "QTY\t4\tΠοσότητα",
                             "QTYDEL\t6\tΠαραδ", "GEN\t1\tΓνήσιο", "XRUID\t13\tΧρέωση"})
      lines.push_back(base::Utf8ToWin1253(line));
    return lines;
  }();
  return layout;
}

}  // namespace

int OpenRequisitionEditor(int id, const std::string& contractId) {
  std::optional<EditorOpening> opening;
  if (!ui::RunGuarded([&] { opening = PrepareRequisitionEditor(id, contractId); }) || !opening) return id;
  RequisitionEditor logic(*opening);
  ShowRequisitionEditor(logic);
  return id;
}

void ShowRequisitionEditor(RequisitionEditor& logic) {
  TxInDeltioPF window(logic, QApplication::activeWindow());
  if (!window.Prepare()) return;
  window.exec();
}

TxInDeltioPF::TxInDeltioPF(RequisitionEditor& logic, QWidget* parent) : TF102Form(parent), logic_(logic) {
  setObjectName("xInDeltioPF");
  BuildWindow();
  AddDataSet(&logic_.Header());
  AddDataSet(&logic_.Lines());
  SetMainDataSet(&logic_.Lines());
  logic_.OnChanged = [this] { ShowAll(); };
  logic_.OnBeep = [] { QApplication::beep(); };
  logic_.OnFocusLines = [this] { grid_->View()->setFocus(); };
  stateLink_.OnStateChange = [this] { ShowState(); };
  stateLink_.SetDataSet(&logic_.Header());
  timer_ = new QTimer(this);
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, [this] { Run([this] { logic_.TimerTick(); }); });
}

TxInDeltioPF::~TxInDeltioPF() {
  timer_->stop();
  stateLink_.SetDataSet(nullptr);
  logic_.OnChanged = nullptr;
  logic_.OnBeep = nullptr;
  logic_.OnFocusLines = nullptr;
  for (ui::TDBEdit* e : edits_) e->SetDataSet(nullptr);
  for (ui::TDBDTEdit* d : dates_) d->SetDataSet(nullptr);
  commBox_->SetDataSet(nullptr);
  voidBox_->SetDataSet(nullptr);
  grid_->SetDataSet(nullptr);
  RemoveDataSet(&logic_.Header());
  RemoveDataSet(&logic_.Lines());
}

bool TxInDeltioPF::Prepare() {
  bool shown = false;
  ui::RunGuarded([&] { shown = logic_.Show(); });
  ShowAll();
  if (!shown) return false;
  timer_->start();
  return true;
}

ui::TDBEdit* TxInDeltioPF::ReadOnlyBox(const char* field, QWidget* parent, bool header) {
  auto* box = new ui::TDBEdit(parent);
  box->SetAlwaysReadOnly(true);
  box->SetDataSet(header ? &logic_.Header() : &logic_.Budget());
  box->SetDataField(field);
  box->setObjectName(QString("ed") + field);
  edits_.push_back(box);
  if (header) boxes_.emplace_back(field, box);
  return box;
}

void TxInDeltioPF::BuildWindow() {
  setWindowTitle(G("Δελτίο Παραγγελίας Toner"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* top = new QHBoxLayout;
  top->addWidget(BuildHeader(), 1);
  auto* right = new QVBoxLayout;
  right->addWidget(BuildTotals());
  right->addWidget(BuildBudget());
  right->addWidget(BuildSuperUser());
  right->addStretch(1);
  top->addLayout(right);
  layout->addLayout(top);

  navPanel_ = new QFrame(this);
  navPanel_->setAutoFillBackground(true);
  navPanel_->setFrameShape(QFrame::StyledPanel);
  auto* nav = new QHBoxLayout(navPanel_);
  nav->setContentsMargins(4, 2, 4, 2);
  postButton_ = Button(navPanel_, QString::fromUtf8("✓"), G("Καταχώρηση"));
  cancelButton_ = Button(navPanel_, QString::fromUtf8("✗"), G("Ακύρωση μεταβολής"));
  nav->addWidget(postButton_);
  nav->addWidget(cancelButton_);
  nav->addStretch(1);
  connect(postButton_, &QToolButton::clicked, this, [this] { Run([this] { logic_.PostHeader(); }); });
  connect(cancelButton_, &QToolButton::clicked, this, [this] {
    ui::RunGuarded([this] { logic_.Header().Cancel(); });
    ShowAll();
  });
  layout->addWidget(navPanel_);
  layout->addWidget(BuildLines(), 1);
  resize(1000, 640);
}

QWidget* TxInDeltioPF::BuildHeader() {
  auto* box = new QFrame(this);
  auto* g = new QGridLayout(box);
  g->setContentsMargins(2, 2, 2, 2);
  auto addPair = [&](int row, int column, const char* caption, QWidget* control, int span = 1) {
    g->addWidget(Caption(caption, box), row, column);
    g->addWidget(control, row, column + 1, 1, span);
  };

  auto* unitRow = new QHBoxLayout;
  unitRow->addWidget(ReadOnlyBox("ORGID", box));
  unitName_ = NameBox(box);
  unitRow->addWidget(unitName_, 1);
  g->addWidget(Caption("Τμήμα/Δνση :", box), 0, 0);
  g->addLayout(unitRow, 0, 1, 1, 3);

  auto* pointRow = new QHBoxLayout;
  pointRow->addWidget(ReadOnlyBox("DELPID", box));
  pointName_ = NameBox(box);
  pointRow->addWidget(pointName_, 1);
  g->addWidget(Caption("Σημείο Παράδοσης :", box), 1, 0);
  g->addLayout(pointRow, 1, 1, 1, 3);

  delivBox_ = new ui::TDBEdit(box);
  delivBox_->setObjectName("edDELIV_S");
  delivBox_->SetDataSet(&logic_.Header());
  delivBox_->SetDataField("DELIV_S");
  edits_.push_back(delivBox_);
  boxes_.emplace_back("DELIV_S", delivBox_);
  addPair(2, 0, "Οδηγίες Παράδοσης :", delivBox_, 3);

  ui::TDBEdit* dtin = ReadOnlyBox("DTIN", box);
  Colour(dtin, QPalette::Text, 0xFF0000);
  addPair(3, 0, "Ημ/νία Καταχ. :", dtin);
  auto* finRow = new QHBoxLayout;
  ui::TDBEdit* dtfin = ReadOnlyBox("DTFIN", box);
  Colour(dtfin, QPalette::Text, 0xFF0000);
  finRow->addWidget(dtfin);
  finaliseButton_ = Button(box, G("Οριστικοποίηση"), G("Οριστικοποίηση"));
  finaliseButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  connect(finaliseButton_, &QToolButton::clicked, this, [this] { Run([this] { logic_.Finalise(); }); });
  finRow->addWidget(finaliseButton_);
  g->addWidget(Caption("Ημ/νία Οριστικοποίησης. :", box), 3, 2);
  g->addLayout(finRow, 3, 3);

  addPair(4, 0, "Ημ/νία Αποστολής. :", ReadOnlyBox("DTSENT", box));
  auto date = [&](const char* field) {
    auto* d = new ui::TDBDTEdit(box);
    d->setObjectName(QString("ed") + field);
    d->SetDataSet(&logic_.Header());
    d->SetDataField(field);
    dates_.push_back(d);
    boxes_.emplace_back(field, d);
    return d;
  };
  addPair(4, 2, "Ημ/νία Άφιξης :", date("DTARRIVED"));
  addPair(5, 0, "Ημ/νία παραλαβής :", date("DTRECEIVED"));
  addPair(5, 2, "Ημ/νία κλεισίματος :", date("DTCLOSED"));

  commBox_ = new ui::TDBMemo(box);
  commBox_->setObjectName("edCOMM");
  commBox_->SetDataSet(&logic_.Header());
  commBox_->SetDataField("COMM");
  commBox_->setMaximumHeight(60);
  boxes_.emplace_back("COMM", commBox_);
  addPair(6, 0, "Σχόλια :", commBox_, 2);
  voidBox_ = new ui::TDBCheckBox(G("Άκυρη"), box);
  voidBox_->setObjectName("cbACTV");
  voidBox_->SetValues("0", "1");
  voidBox_->SetDataSet(&logic_.Header());
  voidBox_->SetDataField("ACTV");
  boxes_.emplace_back("ACTV", voidBox_);
  g->addWidget(voidBox_, 6, 3);

  auto* numberRow = new QHBoxLayout;
  numberRow->addWidget(Caption("Αριθμός Δελτίου :", box));
  ui::TDBEdit* number = ReadOnlyBox("NODELT", box);
  QFont big = number->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  number->setFont(big);
  Colour(number, QPalette::Text, 0xFF0000);
  numberRow->addWidget(number);
  numberRow->addStretch(1);
  g->addLayout(numberRow, 7, 0, 1, 4);
  return box;
}

QWidget* TxInDeltioPF::BuildTotals() {
  auto* box = new QFrame(this);
  box->setFrameShape(QFrame::StyledPanel);
  auto* g = new QGridLayout(box);
  g->addWidget(ReadOnlyBox("STATE", box), 0, 0);
  g->addWidget(ReadOnlyBox("SID", box), 0, 1);
  g->addWidget(new QLabel(G("Συνολική"), box), 1, 1);
  g->addWidget(new QLabel(G("Παραληφθήσα"), box), 1, 2);
  g->addWidget(Caption("Αξία :", box), 2, 0);
  g->addWidget(ReadOnlyBox("VALTOT", box), 2, 1);
  g->addWidget(ReadOnlyBox("VALDELIV", box), 2, 2);
  g->addWidget(Caption("Ποσότητα :", box), 3, 0);
  g->addWidget(ReadOnlyBox("QTYTOT", box), 3, 1);
  g->addWidget(ReadOnlyBox("QTYDELIV", box), 3, 2);
  return box;
}

QWidget* TxInDeltioPF::BuildBudget() {
  auto* box = new QFrame(this);
  box->setObjectName("budgetBox");
  box->setFrameShape(QFrame::StyledPanel);
  auto* g = new QGridLayout(box);
  const struct {
    const char* field;
    const char* caption;
  } rows[] = {{"VANAL", "Αναλογούν :"}, {"VLIM1", "Πλαφόν :"}, {"VORD1", "Παραγγελίες :"}, {"VYPOL1", "Υπόλοιπο :"}};
  int row = 0;
  for (const auto& r : rows) {
    g->addWidget(Caption(r.caption, box), row, 0);
    g->addWidget(ReadOnlyBox(r.field, box, false), row++, 1);
  }
  return box;
}

QWidget* TxInDeltioPF::BuildSuperUser() {
  superPanel_ = new QFrame(this);
  superPanel_->setFrameShape(QFrame::StyledPanel);
  auto* g = new QGridLayout(superPanel_);
  const struct {
    const char* field;
    const char* caption;
  } rows[] = {{"SID", "SID :"}, {"ID", "ID :"}, {"ORDERPID", "orderPID : "}, {"ORGID", "Org :"}};
  int row = 0;
  for (const auto& r : rows) {
    g->addWidget(Caption(r.caption, superPanel_), row, 0);
    auto* box = new ui::TDBEdit(superPanel_);
    box->SetAlwaysReadOnly(true);
    box->SetDataSet(&logic_.Header());
    box->SetDataField(r.field);
    edits_.push_back(box);
    g->addWidget(box, row++, 1);
  }
  superPanel_->setVisible(false);
  return superPanel_;
}

QWidget* TxInDeltioPF::BuildLines() {
  auto* box = new QWidget(this);
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(0, 0, 0, 0);
  auto* bar = new QHBoxLayout;
  countBox_ = new QLabel(box);
  countBox_->setObjectName("lineCount");
  countBox_->setAutoFillBackground(true);
  Colour(countBox_, QPalette::Window, kBlack);
  Colour(countBox_, QPalette::WindowText, 0xFFFFFF);
  countBox_->setMinimumWidth(36);
  countBox_->setAlignment(Qt::AlignCenter);
  bar->addWidget(countBox_);
  menuButton_ = Button(box, QString::fromUtf8("▾"), QString());
  markAll_ = new QAction(G("Μαρκάρισμα όλων ως παραδοθέντων"), this);
  connect(markAll_, &QAction::triggered, this, [this] { Run([this] { logic_.MarkAllDelivered(); }); });
  // The menu opens when the mouse is released on the button.
  connect(menuButton_, &QToolButton::released, this, &TxInDeltioPF::ShowMenu);
  bar->addWidget(menuButton_);
  addButton_ = Button(box, QStringLiteral("+"), G("Νέο Αναλώσιμο από Printer"));
  connect(addButton_, &QToolButton::clicked, this, [this] { Run([this] { logic_.AddConsumable(); }); });
  bar->addWidget(addButton_);
  bar->addStretch(1);
  v->addLayout(bar);

  grid_ = new ui::TKZDBGrid(box);
  grid_->setObjectName("gridLines");
  grid_->SetSelected(LineLayout());
  grid_->SetCheckColumn({"GEN", "1", "0"});
  grid_->SetDataSet(&logic_.Lines());
  grid_->SetOnDrawDataCell([this](const ui::RowValues& row, const data::TField& field, ui::CellStyle& style) {
    Paint(style, logic_.LineCellColour(field.FieldName(), row.Value("QTY"), row.Value("QTYDEL")));
  });
  v->addWidget(grid_, 1);
  return box;
}

void TxInDeltioPF::ShowMenu() {
  QMenu menu(this);
  menu.addAction(markAll_);
  menu.exec(menuButton_->mapToGlobal(QPoint(0, menuButton_->height())));
}

QWidget* TxInDeltioPF::Box(const std::string& field) const {
  for (const auto& [name, box] : boxes_)
    if (name == field) return box;
  return nullptr;
}

void TxInDeltioPF::Run(const std::function<void()>& action) {
  ui::RunGuarded(action);
  ShowAll();
  if (logic_.Missing()) CloseCancel();
}

void TxInDeltioPF::AcceptOrClose() {
  if (logic_.HeaderEditing()) {
    Run([this] { logic_.PostHeader(); });
    return;
  }
  TF102Form::AcceptOrClose();
}

void TxInDeltioPF::ShowState() {
  const data::TKZLINK& header = logic_.Header();
  const bool editing = data::IsEditing(header);
  postButton_->setEnabled(editing);
  cancelButton_->setEnabled(editing);
  Colour(navPanel_, QPalette::Window, data::StateColour(header.State()));
}

void TxInDeltioPF::ShowAll() {
  if (showing_) return;
  showing_ = true;
  for (ui::TDBEdit* e : edits_) e->ShowField();
  // A date box shows its field again, editable or not, when its field is set.
  for (ui::TDBDTEdit* d : dates_) d->SetDataField(d->Link().FieldName());
  commBox_->ShowField();
  voidBox_->ShowField();
  const data::TKZLINK& header = logic_.Header();
  const data::TField* unit = header.Active() ? header.FindField("ORGID") : nullptr;
  const data::TField* point = header.Active() ? header.FindField("DELPID") : nullptr;
  const std::string unitId = unit != nullptr ? unit->AsString() : std::string();
  const std::string pointId = point != nullptr ? point->AsString() : std::string();
  // The names are read only when the codes change.
  if (unitName_->property("code").toString() != ui::ToQString(unitId)) {
    std::string name;
    ui::RunGuarded([&] { name = logic_.UnitName(); });
    unitName_->setText(ui::ToQString(name));
    unitName_->setProperty("code", ui::ToQString(unitId));
  }
  if (pointName_->property("code").toString() != ui::ToQString(pointId)) {
    std::string name;
    ui::RunGuarded([&] { name = logic_.PointName(); });
    pointName_->setText(ui::ToQString(name));
    pointName_->setProperty("code", ui::ToQString(pointId));
  }
  finaliseButton_->setEnabled(logic_.FinaliseEnabled());
  ShowState();
  superPanel_->setVisible(logic_.SuperUser());
  countBox_->setText(QString::number(logic_.LineCount()));
  // The lines' columns take the editability of their fields; read again
  // once the dataset's own step is over.
  QString editable;
  if (logic_.Lines().Active())
    for (int i = 0; i < logic_.Lines().FieldCount(); ++i)
      editable += logic_.Lines().Fields(i).ReadOnly() ? QLatin1Char('0') : QLatin1Char('1');
  if (grid_->property("editable").toString() != editable) {
    grid_->setProperty("editable", editable);
    QTimer::singleShot(0, grid_, [this] { grid_->Model()->Reread(); });
  }
  showing_ = false;
}

}  // namespace mero::printers
