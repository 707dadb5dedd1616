#include "ui/lookup_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "base/runtime.h"
#include "base/variant.h"
#include "data/dataset_utils.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "ui/data_grid.h"
#include "ui/memo_viewer.h"
#include "ui/qt_text.h"

namespace mero::ui {

using namespace base::literals;

namespace {

QToolButton* Button(QWidget* parent, const QString& text, const std::string& hint) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolTip(ToQString(hint));
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

bool IsEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

}  // namespace

std::string RunLookup(const base::LookupRequest& request) {
  TCustomLUF dialog(request, QApplication::activeWindow());
  dialog.Prepare();
  dialog.exec();
  return dialog.Result();
}

TCustomLUF::TCustomLUF(const base::LookupRequest& request, QWidget* parent)
    : TF102Form(parent), logic_(request), query_(data::NewQuery()), result_(request.initialValue) {
  query_->SetName("LUQ");
  query_->SetReadOnly(request.readOnly);
  BuildWindow();
  FillFieldList();
  stateLink_.OnStateChange = [this] { ShowState(); };
  stateLink_.SetDataSet(query_.get());
  SetMainDataSet(query_.get());
  ShowState();
}

TCustomLUF::~TCustomLUF() {
  stateLink_.SetDataSet(nullptr);
  RemoveDataSet(query_.get());
  data::FreeQuery(query_);
}

void TCustomLUF::BuildWindow() {
  setWindowTitle(ToQString(logic_.Caption()));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  panel_ = new QFrame(this);
  panel_->setAutoFillBackground(true);
  panel_->setFrameShape(QFrame::StyledPanel);
  auto* top = new QHBoxLayout(panel_);
  top->setContentsMargins(4, 3, 4, 3);
  refreshButton_ = Button(panel_, QString::fromUtf8("⟳"), "Ανανέωση Στοιχείων"_gr);
  // The search runs on F7 too; the button says so where no icon theme is.
  searchButton_ = Button(panel_, QStringLiteral("F7"), "Ανεύρεση"_gr);
  searchButton_->setIcon(QIcon::fromTheme(QStringLiteral("edit-find")));
  top->addWidget(refreshButton_);
  top->addWidget(searchButton_);
  const struct {
    Nav nav;
    const char* symbol;
    const std::string& hint;
  } nav[] = {
      {Nav::Insert, "+", "Νέα εγγραφή"_gr},   {Nav::Delete, "−", "Διαγραφή εγγραφής"_gr},
      {Nav::Edit, "✎", "Μεταβολή εγγραφής"_gr}, {Nav::Post, "✓", "Καταχώρηση"_gr},
      {Nav::Cancel, "✗", "Ακύρωση μεταβολής"_gr},
  };
  for (const auto& n : nav) {
    QToolButton* b = Button(panel_, QString::fromUtf8(n.symbol), n.hint);
    navButtons_[static_cast<int>(n.nav)] = b;
    connect(b, &QToolButton::clicked, this, [this, which = n.nav] { RunGuarded([this, which] { Navigate(which); }); });
    top->addWidget(b);
  }
  sortBox_ = new QComboBox(panel_);
  sortBox_->setObjectName("cbSort");
  sortBox_->setMinimumWidth(140);
  filterBox_ = new QLineEdit(panel_);
  filterBox_->setObjectName("edFilter");
  top->addSpacing(8);
  top->addWidget(sortBox_);
  top->addWidget(filterBox_, 1);
  layout->addWidget(panel_);

  grid_ = new TKZDBGrid(this);
  grid_->SetTitleButtons(false);
  grid_->SetDataSet(query_.get());
  grid_->OnDblClick = [this] { Choose(); };
  layout->addWidget(grid_, 1);

  fieldList_ = new QTableWidget(0, 2, this);
  fieldList_->setHorizontalHeaderLabels({"Field", "Label"});
  fieldList_->setMaximumHeight(120);
  fieldList_->setVisible(base::Rt().debugLevel > 0);
  layout->addWidget(fieldList_);

  connect(refreshButton_, &QToolButton::clicked, this, [this] { RunGuarded([this] { RefreshRows(); }); });
  connect(searchButton_, &QToolButton::clicked, this, [this] { RunGuarded([this] { Find(); }); });
  connect(sortBox_, &QComboBox::currentIndexChanged, this, [this] {
    if (!fillingSortBox_) RunGuarded([this] { Find(); });
  });
  resize(720, 460);
}

QToolButton* TCustomLUF::NavButton(Nav which) const { return navButtons_[static_cast<int>(which)]; }

void TCustomLUF::Prepare() {
  RunGuarded([this] {
    data::OpenSQL(*query_, logic_.ProbeSQL());
    ApplyLabels();
    filterBox_->setFocus();
    const int start = sortBox_->findText(ToQString(logic_.StartLabel(*query_)));
    fillingSortBox_ = true;
    sortBox_->setCurrentIndex(start >= 0 ? start : 0);
    fillingSortBox_ = false;
    Find();
  });
}

void TCustomLUF::Find() {
  setWindowTitle(ToQString(logic_.Caption()));
  std::string field;
  link::TFieldType type = link::ftUnknown;
  const std::string label = FromQString(sortBox_->currentText());
  if (!label.empty() && query_->FieldCount() > 0) {
    field = data::FieldNameOfLabel(*query_, label);
    if (const data::TField* f = query_->FindField(field))
      type = f->DataType();
    else
      field.clear();
  }
  const std::string sql = logic_.SearchSQL(field, type, FromQString(filterBox_->text()));
  data::OpenSQL(*query_, sql, 1, logic_.Table(), logic_.KeyFields());
  grid_->View()->setFocus();
  if (!logic_.InitialValue().empty())
    query_->Locate(logic_.KeyField(), base::Variant::Text(logic_.InitialValue()), 0);
  ApplyLabels();
}

void TCustomLUF::ApplyLabels() {
  logic_.ApplyLabels(*query_);
  const int place = sortBox_->currentIndex();
  fillingSortBox_ = true;
  sortBox_->clear();
  for (const std::string& label : logic_.SortLabels(*query_)) sortBox_->addItem(ToQString(label));
  sortBox_->setCurrentIndex(place >= 0 && place < sortBox_->count() ? place : 0);
  fillingSortBox_ = false;
  // Without layout strings the grid shows the visible fields; setting none
  // again takes the new labels and widths.
  grid_->SetSelected({});
}

void TCustomLUF::FillFieldList() {
  const std::vector<LookupField>& fields = logic_.VisibleFields();
  fieldList_->setRowCount(static_cast<int>(fields.size()));
  for (int i = 0; i < fieldList_->rowCount(); ++i) {
    fieldList_->setItem(i, 0, new QTableWidgetItem(ToQString(fields[i].name)));
    fieldList_->setItem(i, 1, new QTableWidgetItem(ToQString(fields[i].label)));
  }
}

void TCustomLUF::ShowState() {
  const std::uint32_t rgb = data::StateColour(query_->State());
  QPalette p = panel_->palette();
  p.setColor(QPalette::Window, QColor::fromRgb(rgb));
  panel_->setPalette(p);
  const bool open = query_->Active();
  const bool editing = data::IsEditing(*query_);
  const bool changeable = open && !editing && !query_->ReadOnly();
  NavButton(Nav::Insert)->setEnabled(changeable);
  NavButton(Nav::Delete)->setEnabled(changeable);
  NavButton(Nav::Edit)->setEnabled(changeable);
  NavButton(Nav::Post)->setEnabled(editing);
  NavButton(Nav::Cancel)->setEnabled(editing);
}

void TCustomLUF::Navigate(Nav which) {
  switch (which) {
    case Nav::Insert: query_->Insert(); break;
    case Nav::Delete:
      if (!data::DataSetIsEmpty(*query_) && base::AskOK(base::Utf8ToWin1253(kDeleteRowQuestion))) query_->Delete();
      break;
    case Nav::Edit: query_->Edit(); break;
    case Nav::Post: query_->Post(); break;
    case Nav::Cancel: query_->Cancel(); break;
  }
}

void TCustomLUF::CancelOrClose() {
  if (data::IsEditing(*query_)) {
    query_->Cancel();
    return;
  }
  CloseCancel();
}

void TCustomLUF::AcceptOrClose() { Choose(); }

void TCustomLUF::Choose() {
  // A failed post raises here and the dialog stays open on the row.
  if (data::IsEditing(*query_)) query_->Post();
  if (data::DataSetIsEmpty(*query_)) return;
  result_ = data::FieldStr(*query_, logic_.KeyField());
  CloseOK();
}

void TCustomLUF::RefreshRows() {
  if (data::IsEditing(*query_)) return;
  data::RefreshQuery(*query_);
  ApplyLabels();
}

void TCustomLUF::ShowCurrentCell() {
  const std::vector<GridColumn>& columns = grid_->Model()->Columns();
  const QModelIndex current = grid_->View()->currentIndex();
  if (!query_->Active() || !current.isValid() || current.column() >= static_cast<int>(columns.size())) return;
  const data::TField* f = columns[static_cast<std::size_t>(current.column())].field;
  if (f != nullptr) ShowMemoViewer(f->DisplayLabel(), f->AsString());
}

bool TCustomLUF::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && AtFocusedControl(watched)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = ModifierBits(key->modifiers()) == 0;
    if (watched == filterBox_ && plain && IsEnter(key)) {
      RunGuarded([this] { Find(); });
      return true;
    }
    if (watched == grid_->View() && plain && IsEnter(key) && !data::IsEditing(*query_)) {
      RunGuarded([this] { Choose(); });
      return true;
    }
    if (watched == grid_->View() && plain && key->key() == Qt::Key_F5) {
      RunGuarded([this] { ShowCurrentCell(); });
      return true;
    }
  }
  return TF102Form::eventFilter(watched, event);
}

}  // namespace mero::ui
