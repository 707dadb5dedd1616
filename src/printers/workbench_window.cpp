#include "printers/workbench_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "data/dataset_utils.h"
#include "data/remote/application_dataset.h"
#include "ui/data_grid.h"
#include "ui/qt_text.h"

namespace mero::printers {

using namespace base::literals;

namespace {

std::string TextOf(const QLineEdit* box) { return ui::FromQString(box->text()); }

int TabIndex(WorkbenchTab tab) { return static_cast<int>(tab); }

}  // namespace

TPrintersKZF::TPrintersKZF(QWidget* parent) : ui::TF102Form(parent) {
  setObjectName(QStringLiteral("PrintersKZF"));
  BuildWindow();
  logic_.ReadPrinterBoxes = [this] { return PrinterBoxes(); };
  logic_.ReadModelBoxes = [this] { return ModelBoxes(); };
  logic_.ReadConsumableBoxes = [this] { return ConsumableBoxes(); };
  // Read again once the action that posted the row is over: the move or
  // the new row it was part of goes on in the list as the user saw it.
  logic_.OnRereadWanted = [this] {
    QTimer::singleShot(0, this, [this] { ui::RunGuarded([this] { logic_.RereadInserted(); }); });
  };
  for (int l = 0; l < Workbench::kListCount; ++l) AddDataSet(&logic_.Query(static_cast<Workbench::List>(l)));
  SetActiveTab(WorkbenchTab::Models);
}

TPrintersKZF::~TPrintersKZF() {
  logic_.OnRereadWanted = nullptr;
  for (int l = 0; l < Workbench::kListCount; ++l) {
    Grids[static_cast<std::size_t>(l)]->SetDataSet(nullptr);
    RemoveDataSet(&logic_.Query(static_cast<Workbench::List>(l)));
  }
}

void TPrintersKZF::BuildWindow() {
  setWindowTitle(QStringLiteral("PrintersKZF"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  TopBox = new QLineEdit(this);
  TopBox->setObjectName(QStringLiteral("edTables"));
  TopBox->setReadOnly(true);
  layout->addWidget(TopBox);

  Tabs = new QTabWidget(this);
  Tabs->setObjectName(QStringLiteral("pcTabs"));
  Tabs->addTab(BuildTab(WorkbenchTab::Printers), QStringLiteral("Printers"));
  Tabs->addTab(BuildTab(WorkbenchTab::Models), QStringLiteral("Models"));
  Tabs->addTab(BuildTab(WorkbenchTab::Consumables), QStringLiteral("Consumables"));
  layout->addWidget(Tabs, 1);
  connect(Tabs, &QTabWidget::currentChanged, this, [this] { TabChanged(); });
  resize(1200, 720);
}

QWidget* TPrintersKZF::BuildTab(WorkbenchTab tab) {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* panel = new QHBoxLayout;
  layout->addLayout(panel);

  auto* find = new QToolButton(page);
  find->setObjectName(QStringLiteral("btnFind%1").arg(TabIndex(tab)));
  find->setText(QStringLiteral("F7"));
  find->setToolTip(ui::ToQString("Ανεύρεση"_gr));
  find->setFocusPolicy(Qt::NoFocus);
  connect(find, &QToolButton::clicked, this, [this] { ui::RunGuarded([this] { Find(); }); });
  FindButtons[static_cast<std::size_t>(TabIndex(tab))] = find;
  panel->addWidget(find);

  std::string searchNames;
  const auto box = [&](const char* label, const char* name, const char* text = "") {
    panel->addWidget(new QLabel(QString::fromUtf8(label), page));
    auto* edit = new QLineEdit(QString::fromUtf8(text), page);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(110);
    panel->addWidget(edit);
    searchNames += std::string(searchNames.empty() ? "" : ";") + name;
    return edit;
  };
  std::vector<Workbench::List> lists;
  switch (tab) {
    case WorkbenchTab::Printers:
      PrFName = box("FName", "edPrFName");
      PrSN = box("S/N", "edPrSN");
      PrCP18 = box("CP18", "edPrCP18");
      PrModel = box("Model", "edPrModel");
      PrManf = box("Manf", "edPrManf");
      PrOrd = box("Ord", "edPrOrd");
      PrBID = box("bID", "edPrBID");
      PrRepl = box("REpl", "edPrRepl", "--");
      lists = {Workbench::kPrinters, Workbench::kPrinterRequirements};
      break;
    case WorkbenchTab::Models:
      MoFName = box("FName", "edMoFName");
      MoCP = box("CP", "edMoCP");
      MoManID = box("ManID", "edMoManID");
      MoCol = box("Col", "edMoCol");
      MoOrd = box("Ord", "edMoOrd");
      MoBID = box("bID", "edMoBID");
      lists = {Workbench::kModels, Workbench::kModelConsumables, Workbench::kModelPrinters};
      break;
    case WorkbenchTab::Consumables:
      CoCode = box("Code", "edCoCode");
      CoCol = box("COL", "edCoCol");
      CoType = box("Type", "edCoType");
      CoManID = box("ManID", "edCoManID");
      CoPgCnt = box("PgCnt", "edCoPgCnt");
      CoUP = box("UP", "edCoUP");
      CoCostPP = box("CostPP", "edCoCostPP");
      CoRepl = box("REpl", "edCoRepl", "--");
      lists = {Workbench::kConsumables, Workbench::kConsumableModels, Workbench::kConsumablePrinters,
               Workbench::kConsumableRequirements};
      break;
  }
  // Enter in a search box searches, as F7 does.
  const std::string known = SearchControls();
  SetSearchControls(known.empty() ? searchNames : known + ";" + searchNames);
  panel->addStretch(1);
  auto* count = new QLineEdit(page);
  count->setObjectName(QStringLiteral("edCount%1").arg(TabIndex(tab)));
  count->setReadOnly(true);
  count->setMaximumWidth(60);
  count->setAlignment(Qt::AlignRight);
  CountBoxes[static_cast<std::size_t>(TabIndex(tab))] = count;
  panel->addWidget(count);

  auto* split = new QSplitter(Qt::Vertical, page);
  auto* details = new QSplitter(Qt::Horizontal, page);
  for (Workbench::List list : lists) {
    auto* grid = new ui::TKZDBGrid(page);
    grid->setObjectName(QString::fromLatin1(logic_.Query(list).Name().c_str()));
    grid->SetSelected(Workbench::Columns(list));
    if (list == Workbench::kConsumables) grid->SetOnDrawDataCell(&Workbench::DrawConsumableCell);
    if (list == Workbench::kModels || list == Workbench::kConsumableModels)
      grid->SetOnDrawDataCell(&Workbench::DrawModelCell);
    grid->SetDataSet(&logic_.Query(list));
    Grids[static_cast<std::size_t>(list)] = grid;
    if (list == lists.front()) {
      split->addWidget(grid);
      // The count follows rows added and deleted in place.
      for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(grid->Model(), signal, this, [this, tab] { ShowCount(tab); });
      connect(grid->Model(), &QAbstractItemModel::modelReset, this, [this, tab] { ShowCount(tab); });
    } else {
      details->addWidget(grid);
    }
  }
  split->addWidget(details);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  layout->addWidget(split, 1);
  return page;
}

WorkbenchTab TPrintersKZF::ActiveTab() const { return static_cast<WorkbenchTab>(Tabs->currentIndex()); }

void TPrintersKZF::SetActiveTab(WorkbenchTab tab) {
  if (Tabs->currentIndex() == TabIndex(tab)) {
    TabChanged();
  } else {
    Tabs->setCurrentIndex(TabIndex(tab));
  }
}

void TPrintersKZF::TabChanged() {
  TopBox->setText(ui::ToQString(TopText(ActiveTab())));
  SetMainDataSet(&logic_.Query(Workbench::MainList(ActiveTab())));
}

void TPrintersKZF::ShowCount(WorkbenchTab tab) {
  CountBoxes[static_cast<std::size_t>(TabIndex(tab))]->setText(QString::number(logic_.Count(tab)));
}

void TPrintersKZF::Find() {
  logic_.Search(ActiveTab());
  ShowCount(ActiveTab());
}

PrinterSearch TPrintersKZF::PrinterBoxes() const {
  return {TextOf(PrFName), TextOf(PrSN), TextOf(PrCP18), TextOf(PrModel), TextOf(PrManf), TextOf(PrOrd), TextOf(PrBID)};
}

ModelSearch TPrintersKZF::ModelBoxes() const {
  return {TextOf(MoFName), TextOf(MoCP), TextOf(MoManID), TextOf(MoCol), TextOf(MoOrd), TextOf(MoBID)};
}

ConsumableSearch TPrintersKZF::ConsumableBoxes() const {
  return {TextOf(CoCode),  TextOf(CoCol), TextOf(CoType),   TextOf(CoManID),
          TextOf(CoPgCnt), TextOf(CoUP),  TextOf(CoCostPP), TextOf(CoRepl)};
}

void TPrintersKZF::showEvent(QShowEvent* event) {
  ui::TF102Form::showEvent(event);
  if (shown_) return;
  shown_ = true;
  ui::RunGuarded([this] {
    logic_.OpenAll();
    for (WorkbenchTab tab : {WorkbenchTab::Printers, WorkbenchTab::Models, WorkbenchTab::Consumables}) ShowCount(tab);
  });
}

bool TPrintersKZF::InsertKey(Workbench::List list, int key, Qt::KeyboardModifiers modifiers) {
  if ((modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return false;
  data::TKZLINK& q = logic_.Query(list);
  if (!q.Active() || q.ReadOnly()) return false;
  if (key == Qt::Key_Insert) {
    ui::RunGuarded([&q] { q.Insert(); });
    return true;
  }
  if (key != Qt::Key_Down) return false;
  const ui::TKZDBGrid* grid = Grids[static_cast<std::size_t>(list)];
  const int row = grid->View()->currentIndex().row();
  const bool onLast = data::DataSetIsEmpty(q) || row + 1 >= grid->Model()->rowCount();
  if (!onLast) return false;
  // A new row left as it came needs no second one.
  if (q.State() == data::dsInsert && !q.Modified()) return true;
  ui::RunGuarded([&q] { q.Append(); });
  return true;
}

bool TPrintersKZF::eventFilter(QObject* watched, QEvent* event) {
  if (ui::TF102Form::eventFilter(watched, event)) return true;
  if (event->type() != QEvent::KeyPress) return false;
  for (int l = 0; l < Workbench::kListCount; ++l) {
    const auto list = static_cast<Workbench::List>(l);
    if (Workbench::UpdateTable(list).empty() || watched != Grids[static_cast<std::size_t>(l)]->View()) continue;
    const auto* key = static_cast<QKeyEvent*>(event);
    return InsertKey(list, key->key(), key->modifiers());
  }
  return false;
}

void OpenWorkbench() {
  TPrintersKZF window(QApplication::activeWindow());
  window.exec();
}

}  // namespace mero::printers
