#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_logic.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace mero::app {

class DomainWindows;

// The main window of MERO: the buttons and menus that open the working
// windows, the version label, and the login that runs from its first show.
// Until the show handler has finished it takes no input and does not close.
class TMeroMainF : public QMainWindow {
 public:
  // windows: what the buttons open (not owned); args: the program's words.
  TMeroMainF(DomainWindows& windows, std::vector<std::string> args = {}, QWidget* parent = nullptr);
  ~TMeroMainF() override;

  MeroMainLogic& Logic() { return logic_; }
  // 0 after a completed session, 1 after a refused or failed login.
  int ExitStatus() const { return logic_.ExitStatus(); }

  QPushButton* btnPrinter = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* kzPrintBut = nullptr;
  QPushButton* X1But = nullptr;
  QPushButton* btnUOrg = nullptr;
  QPushButton* btnDeliveryPoints = nullptr;
  QPushButton* btnSymbD = nullptr;
  QPushButton* btnModels = nullptr;
  QLabel* VerLabel = nullptr;
  QWidget* pnlDebug = nullptr;
  QCheckBox* DoEncrypt = nullptr;

  QAction* acDeliveryPoints = nullptr;
  QAction* acSymbD = nullptr;
  QAction* acPrModels = nullptr;
  QAction* acEdStaff = nullptr;
  QAction* acEK_DIOT = nullptr;
  QAction* acEK_SEM = nullptr;
  QAction* acEK_DEPT = nullptr;
  QAction* DownLoadRecentFiles1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildPanels();
  void BuildActions();
  void BuildMenus();
  void RunShowHandler();
  void ApplyLogic();
  void DownLoadRecentFiles1Click();

  DomainWindows& windows_;
  MeroMainLogic logic_;
  QWidget* topPanel_ = nullptr;
  bool shown_ = false;
  std::unique_ptr<QObject> hook_;
};

}  // namespace mero::app
