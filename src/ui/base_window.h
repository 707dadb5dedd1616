#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "ui/base_window_keys.h"

namespace mero::data {
class TDataSet;
}

namespace mero::ui {

// Runs an action of the user and shows what it raised, once: a silent abort
// stays silent, any other failure goes to the message window. Nothing
// crosses into Qt's event dispatch. True when the action ended normally.
bool RunGuarded(const std::function<void()>& action);

// The modifiers of a key event as the key table takes them (the keypad flag
// is not one).
unsigned ModifierBits(Qt::KeyboardModifiers modifiers);

// The base window every working window derives from: the keyboard contract
// (Enter, Esc, F7, F8, F10, F12, Ctrl+PgUp/PgDn/Home/End) applied before any
// control sees the key, and leaving with unsaved edits only after asking.
class TF102Form : public QDialog {
  Q_OBJECT

 public:
  explicit TF102Form(QWidget* parent = nullptr);
  ~TF102Form() override;

  // ";"-separated object names of the controls on which Enter searches.
  const std::string& SearchControls() const { return searchControls_; }
  void SetSearchControls(std::string names) { searchControls_ = std::move(names); }

  // The dataset Ctrl+PgUp/PgDn/Home/End move; it is also one of the
  // window's datasets.
  data::TDataSet* MainDataSet() const { return mainDataSet_; }
  void SetMainDataSet(data::TDataSet* dataSet);
  // The datasets Esc and F10 look at, in the order they were added (not
  // owned; each must outlive the window or be removed first).
  void AddDataSet(data::TDataSet* dataSet);
  void RemoveDataSet(data::TDataSet* dataSet);
  const std::vector<data::TDataSet*>& DataSets() const { return dataSets_; }
  // The first dataset being edited or inserted; nullptr when none.
  data::TDataSet* EditedDataSet() const;

  virtual void Find();
  virtual void RunQuery();
  // Esc: asks before dropping an edit, else closes with Cancel.
  virtual void CancelOrClose();
  // F10: posts the edit in progress, else closes with OK.
  virtual void AcceptOrClose();
  virtual void F8Key();
  virtual void F12Key();

  // The title bar, Alt+F4 and QDialog's own Esc come here: an edit is never
  // dropped without asking.
  void reject() override;

  // The Enter rule's view of a control.
  FocusedControl DescribeControl(const QWidget* control) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

  // The event was sent to the focused control of this window (or, with no
  // control of the window focused, to one of its widgets): the one place a
  // key is looked at.
  bool AtFocusedControl(QObject* watched) const;

  // Closes the window with Cancel or OK, without asking.
  void CloseCancel();
  void CloseOK();

 private:
  // The key on the focused control; true when the window took it.
  bool HandleKey(QWidget* focused, int key, unsigned modifiers);
  void Apply(FormKey action);

  std::string searchControls_;
  data::TDataSet* mainDataSet_ = nullptr;
  std::vector<data::TDataSet*> dataSets_;
};

}  // namespace mero::ui
