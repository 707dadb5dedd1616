#pragma once

#include <string>

#include "link/client/reply_wait.h"

namespace mero::link {

// The few windows of the socket itself, which the user-interface layer
// provides (the socket uses no widgets): its own login window, the progress
// display of a client upgrade, and the cursor of a reply wait.
class LinkClientWindows {
 public:
  virtual ~LinkClientWindows() = default;
  // Shows the login window with the texts as they are; OK returns true with
  // the typed texts in user and password, Cancel returns false.
  virtual bool AskLogin(std::string& user, std::string& password) = 0;
  // Switches the upgrade progress display on or off.
  virtual void ShowUpgradeProgress(bool on) = 0;
  // The cursor of a reply wait (cqHourGlass or cqSQLHourGlass), and back.
  virtual void SetWaitCursor(TWaitingCursor mode) = 0;
  virtual void RestoreCursor() = 0;
};

// Installs the windows (not owned); nullptr removes them. Without windows the
// login window answers Cancel and the rest shows nothing.
void SetLinkClientWindows(LinkClientWindows* windows);
LinkClientWindows* CurrentLinkClientWindows();

}  // namespace mero::link
