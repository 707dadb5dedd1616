#pragma once

#include <QWidget>
#include <string>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace mero::ui {

// The viewer of the table cache: the cached tables, the rows of the one
// clicked, and "Test Locate" of a typed key in it.
class TxDispIMCS final : public QWidget {
  Q_OBJECT

 public:
  explicit TxDispIMCS(QWidget* parent = nullptr);

  // "ShowAvailableIMCs": the list of the cached tables, again.
  void ShowAvailableIMCs();
  // The table whose rows are shown; empty for none.
  const std::string& Shown() const { return shown_; }

 private:
  void ShowTable(const std::string& name);
  void TestLocate();

  QListWidget* tables_;
  QTableWidget* rows_;
  QLineEdit* key_;
  QPushButton* locate_;
  std::string shown_;
};

// Shows the program's cache viewer (made on first use).
void ShowMemCaches();
TxDispIMCS* CacheViewer();  // nullptr until shown
void DestroyCacheViewer();

}  // namespace mero::ui
