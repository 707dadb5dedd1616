#include "printers/reference_list_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "base/screen_rules.h"
#include "data/remote/application_dataset.h"
#include "ui/data_grid.h"
#include "ui/qt_text.h"

namespace mero::printers {

using namespace base::literals;

TReferenceListF::TReferenceListF(std::unique_ptr<ReferenceList> logic, QWidget* parent)
    : TF102Form(parent), logic_(std::move(logic)) {
  BuildWindow();
  SetMainDataSet(&logic_->Query());
}

TReferenceListF::~TReferenceListF() {
  grid_->SetDataSet(nullptr);
  RemoveDataSet(&logic_->Query());
}

void TReferenceListF::BuildWindow() {
  setWindowTitle(ui::ToQString(logic_->Caption()));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* top = new QHBoxLayout;
  layout->addLayout(top);

  // The search runs on F7 too; the button says so where no icon theme is.
  searchButton_ = new QToolButton(this);
  searchButton_->setObjectName("btnFind");
  searchButton_->setText("F7");
  searchButton_->setIcon(QIcon::fromTheme("edit-find"));
  searchButton_->setToolTip(ui::ToQString("Ανεύρεση"_gr));
  searchButton_->setFocusPolicy(Qt::NoFocus);
  top->addWidget(searchButton_);
  connect(searchButton_, &QToolButton::clicked, this, [this] { ui::RunGuarded([this] { Find(); }); });

  std::string searchControls;
  for (const ListBox& def : logic_->Boxes()) {
    if (!def.label.empty()) top->addWidget(new QLabel(ui::ToQString(def.label), this));
    auto* box = new QLineEdit(ui::ToQString(def.text), this);
    box->setObjectName(ui::ToQString(def.name));
    box->setReadOnly(def.readOnly);
    if (!def.hint.empty()) {
      box->setToolTip(ui::ToQString(def.hint));
      box->setPlaceholderText(ui::ToQString(def.hint));
    }
    box->setFixedWidth(base::CharsToPixels(def.widthChars) + 8);
    top->addWidget(box);
    boxes_.push_back(box);
    // Enter in a box the user types into searches.
    if (!def.readOnly) searchControls += (searchControls.empty() ? "" : ";") + def.name;
  }
  SetSearchControls(searchControls);

  if (const auto& def = logic_->Check()) {
    check_ = new QCheckBox(ui::ToQString(def->caption), this);
    check_->setObjectName(ui::ToQString(def->name));
    check_->setChecked(def->checkedAtStart);
    top->addWidget(check_);
    connect(check_, &QCheckBox::clicked, this, [this] { ui::RunGuarded([this] { Find(); }); });
  }
  top->addStretch(1);

  countBox_ = new QLineEdit(this);
  countBox_->setObjectName("edCount");
  countBox_->setReadOnly(true);
  countBox_->setFocusPolicy(Qt::NoFocus);
  countBox_->setAlignment(Qt::AlignRight);
  countBox_->setFixedWidth(base::CharsToPixels(6));
  countBox_->setStyleSheet("QLineEdit { background: black; color: white; }");
  top->addWidget(countBox_);

  grid_ = new ui::TKZDBGrid(this);
  grid_->SetDataSet(&logic_->Query());
  grid_->SetSelected(logic_->Layout());
  grid_->SetOnDrawDataCell([this](const ui::RowValues& row, const data::TField& field, ui::CellStyle& style) {
    logic_->PaintCell(row, field, style);
  });
  grid_->View()->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(grid_, 1);
  resize(820, 480);
}

ListInput TReferenceListF::Input() const {
  ListInput input;
  for (const QLineEdit* box : boxes_) input.texts.push_back(ui::FromQString(box->text()));
  input.checked = check_ != nullptr && check_->isChecked();
  return input;
}

void TReferenceListF::RunQuery() {
  countBox_->clear();
  const int count = logic_->RunQuery(Input());
  countBox_->setText(QString::number(count));
  grid_->View()->setFocus();
}

void TReferenceListF::showEvent(QShowEvent* event) {
  TF102Form::showEvent(event);
  if (shown_) return;
  shown_ = true;
  ui::RunGuarded([this] { RunQuery(); });
}

}  // namespace mero::printers
