#include "ui/debug_window.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "base/message_seam.h"
#include "base/number_routines.h"
#include "base/runtime.h"
#include "base/trace.h"
#include "data/remote/table_cache.h"
#include "ui/cache_viewer.h"
#include "ui/event_guard.h"
#include "ui/qt_text.h"

namespace mero::ui {
namespace {

std::unique_ptr<TDebugF>& Instance() {
  static std::unique_ptr<TDebugF> window;
  return window;
}

// How often a shown window looks for new trace lines: base cannot tell a
// window when it writes one.
constexpr int kSyncIntervalMs = 200;

}  // namespace

TDebugF::TDebugF(QWidget* parent) : QWidget(parent), memo_(new QPlainTextEdit(this)), sync_(new QTimer(this)) {
  setObjectName(QStringLiteral("DebugF"));
  setWindowTitle(QStringLiteral("Debug"));
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setReadOnly(true);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* clear = new QPushButton(QStringLiteral("Clear"), this);
  auto* caches = new QPushButton(QStringLiteral("IMCs"), this);
  auto* reload = new QPushButton(QStringLiteral("ReLoad IMC Vals"), this);
  clear->setObjectName(QStringLiteral("ClearBtn"));
  caches->setObjectName(QStringLiteral("IMCsBtn"));
  reload->setObjectName(QStringLiteral("ReLoadBtn"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(clear);
  buttons->addWidget(caches);
  buttons->addWidget(reload);
  buttons->addStretch();
  auto* column = new QVBoxLayout(this);
  column->addWidget(memo_);
  column->addLayout(buttons);
  resize(520, 360);

  connect(clear, &QPushButton::clicked, this, [this] { Clear(); });
  connect(caches, &QPushButton::clicked, this, [] { Guarded([] { ShowMemCaches(); }); });
  connect(reload, &QPushButton::clicked, this, [] {
    Guarded([] {
      if (data::TAMemCol* cache = data::MemCol()) cache->LoadAllTables();
    });
  });
  sync_->setInterval(kSyncIntervalMs);
  connect(sync_, &QTimer::timeout, this, [this] { SyncLines(); });
}

void TDebugF::SyncLines() {
  const auto& lines = base::Rt().debugWindowLines;
  if (!lines) return;
  if (lines->size() < shown_) {
    memo_->clear();
    shown_ = 0;
  }
  for (; shown_ < lines->size(); ++shown_) memo_->appendPlainText(ToQString((*lines)[shown_]));
}

void TDebugF::Clear() {
  memo_->clear();
  if (const auto& lines = base::Rt().debugWindowLines) lines->clear();
  shown_ = 0;
}

void TDebugF::showEvent(QShowEvent* event) {
  SyncLines();
  sync_->start();
  QWidget::showEvent(event);
}

void TDebugF::hideEvent(QHideEvent* event) {
  sync_->stop();
  QWidget::hideEvent(event);
}

TDebugF& DebugWindow() {
  if (!Instance()) Instance() = std::make_unique<TDebugF>();
  return *Instance();
}

bool DebugWindowExists() { return Instance() != nullptr; }

void DestroyDebugWindow() { Instance().reset(); }

void ShowDebugWindowNow() {
  TDebugF& window = DebugWindow();
  window.show();
  window.raise();
  window.SyncLines();
}

void AskDebugLevel() {
  bool accepted = false;
  const std::string answer = base::InputStr(3, "DEBUG=", "1", &accepted);
  if (!accepted) return;
  base::Rt().debugLevel = base::StrToIntZ(answer);
  base::ShowDebugWindow();
}

}  // namespace mero::ui
