#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/hidden_keys.h"

namespace mero::app {

class TDM1;

inline constexpr const char* kMainCaption = "TALV Universal App";
// The page X1But opens in the browser.
inline constexpr const char* kWebMapAddress = "https://www.openstreetmap.org/";

// Registers the printer domain's cached tables: "QAPOL" and "UP_OVPARAMS"
// (key PNM). Nothing is read until a table's first use.
void LoadPrinterContext();

// The rules of the main window: the login of its first show, the steps after
// it, the caption, the version label, the super-user buttons and the hidden
// keys. The window shows what this class holds.
class MeroMainLogic {
 public:
  explicit MeroMainLogic(std::vector<std::string> args = {});
  ~MeroMainLogic();
  MeroMainLogic(const MeroMainLogic&) = delete;
  MeroMainLogic& operator=(const MeroMainLogic&) = delete;

  // The show handler: the login and, when it succeeded, the after-login
  // steps and the version in the caption. After a refused or failed login
  // nothing more is sent and CloseRequested is true.
  void ShowHandler();
  bool ShowHandled() const { return showHandled_; }
  bool CloseRequested() const { return closeRequested_; }
  // 0 after a completed login, 1 otherwise.
  int ExitStatus() const { return loggedIn_ ? 0 : 1; }

  const std::string& Caption() const { return caption_; }
  const std::string& VerLabel() const { return verLabel_; }
  bool WorkbenchVisible() const { return workbenchVisible_; }  // kzPrintBut
  bool WebMapVisible() const { return webMapVisible_; }        // X1But
  bool HookInstalled() const { return hookInstalled_; }
  TDM1* Module() const { return module_.get(); }

  // Asks "DEBUG=" (at most 3 characters, default "1"), sets the debug level
  // to the answer and shows the debug window.
  static void RunDebugPrompt();
  HiddenKeys& Keys() { return keys_; }

  // Ends the session: the connection closes.
  void Disconnect();

 private:
  void AfterLogin(TDM1& module);
  void AfterLoginSteps();

  std::vector<std::string> args_;
  std::unique_ptr<TDM1> module_;
  std::string caption_ = kMainCaption;
  std::string verLabel_;
  bool workbenchVisible_ = false;
  bool webMapVisible_ = false;
  bool hookInstalled_ = false;
  bool showHandled_ = false;
  bool closeRequested_ = false;
  bool loggedIn_ = false;
  HiddenKeys keys_;
};

}  // namespace mero::app
