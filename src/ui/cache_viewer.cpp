#include "ui/cache_viewer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "base/message_seam.h"
#include "data/remote/table_cache.h"
#include "ui/cache_viewer_logic.h"
#include "ui/event_guard.h"
#include "ui/qt_text.h"

namespace mero::ui {
namespace {

std::unique_ptr<TxDispIMCS>& Instance() {
  static std::unique_ptr<TxDispIMCS> window;
  return window;
}

}  // namespace

TxDispIMCS::TxDispIMCS(QWidget* parent)
    : QWidget(parent),
      tables_(new QListWidget(this)),
      rows_(new QTableWidget(this)),
      key_(new QLineEdit(this)),
      locate_(new QPushButton(QStringLiteral("Test Locate"), this)) {
  setObjectName(QStringLiteral("xDispIMCS"));
  setWindowTitle(QStringLiteral("IMCs"));
  tables_->setObjectName(QStringLiteral("LBTables"));
  rows_->setObjectName(QStringLiteral("GridRows"));
  key_->setObjectName(QStringLiteral("EdKey"));
  locate_->setObjectName(QStringLiteral("TestLocateBtn"));
  auto* available = new QPushButton(QStringLiteral("ShowAvailableIMCs"), this);
  available->setObjectName(QStringLiteral("ShowAvailableBtn"));
  rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  rows_->verticalHeader()->setDefaultSectionSize(20);
  tables_->setMaximumWidth(180);
  locate_->setEnabled(false);

  auto* left = new QVBoxLayout;
  left->addWidget(available);
  left->addWidget(tables_);
  auto* search = new QHBoxLayout;
  search->addWidget(key_);
  search->addWidget(locate_);
  search->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(rows_);
  right->addLayout(search);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right, 1);
  resize(720, 420);

  connect(available, &QPushButton::clicked, this, [this] { ShowAvailableIMCs(); });
  connect(tables_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    const std::string name = FromQString(item->text());
    Guarded([&] { ShowTable(name); });
  });
  connect(locate_, &QPushButton::clicked, this, [this] { Guarded([this] { TestLocate(); }); });
  ShowAvailableIMCs();
}

void TxDispIMCS::ShowAvailableIMCs() {
  tables_->clear();
  if (const data::TAMemCol* cache = data::MemCol()) {
    for (const std::string& name : CachedTableNames(*cache)) tables_->addItem(ToQString(name));
  }
}

void TxDispIMCS::ShowTable(const std::string& name) {
  data::TAMemCol* cache = data::MemCol();
  if (cache == nullptr) return;
  const CachedRows shown = ReadCachedRows(*cache, name);
  shown_ = name;
  rows_->clear();
  rows_->setColumnCount(static_cast<int>(shown.fields.size()));
  rows_->setRowCount(static_cast<int>(shown.rows.size()));
  QStringList headers;
  for (const std::string& field : shown.fields) headers.push_back(ToQString(field));
  rows_->setHorizontalHeaderLabels(headers);
  for (std::size_t r = 0; r < shown.rows.size(); ++r) {
    for (std::size_t c = 0; c < shown.rows[r].size(); ++c) {
      rows_->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(ToQString(shown.rows[r][c])));
    }
  }
  rows_->resizeColumnsToContents();
  locate_->setEnabled(true);
}

void TxDispIMCS::TestLocate() {
  data::TAMemCol* cache = data::MemCol();
  if (cache == nullptr || shown_.empty()) return;
  base::ShowMess(TestLocateText(*cache, shown_, FromQString(key_->text())));
}

void ShowMemCaches() {
  if (!Instance()) Instance() = std::make_unique<TxDispIMCS>();
  Instance()->ShowAvailableIMCs();
  Instance()->show();
  Instance()->raise();
}

TxDispIMCS* CacheViewer() { return Instance().get(); }

void DestroyCacheViewer() { Instance().reset(); }

}  // namespace mero::ui
