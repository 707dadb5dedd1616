#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace mero::ui {

// The multi-choice list: a check mark per item, "Επιλογή Όλων" and
// "Από-επιλογή Όλων", and the Shift and Ctrl ranges of RangeChecked.
class TxMultiCheckF : public QDialog {
 public:
  TxMultiCheckF(const std::string& caption, const std::string& current, const std::vector<std::string>& items,
                QWidget* parent = nullptr);

  std::vector<bool> Checked() const;
  void SetChecked(const std::vector<bool>& checked);
  // The value text of the checks as they are.
  std::string Values() const;

  QListWidget* List() const { return list_; }
  QPushButton* CheckAllButton() const { return checkAll_; }
  QPushButton* UncheckAllButton() const { return uncheckAll_; }
  QPushButton* OkButton() const { return ok_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ItemClicked(QListWidgetItem* item);

  std::vector<std::string> items_;
  QListWidget* list_;
  QPushButton* checkAll_;
  QPushButton* uncheckAll_;
  QPushButton* ok_;
  QPushButton* cancel_;
  // The modifiers of the mouse or key event that is toggling a mark.
  Qt::KeyboardModifiers clickModifiers_;
  bool setting_ = false;
};

// The multi-choice list; the value text confirmed, or current.
std::string RunMultiChoice(const std::string& caption, const std::string& current,
                           const std::vector<std::string>& items);

}  // namespace mero::ui
