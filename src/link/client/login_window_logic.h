#pragma once

#include <string>

namespace mero::link {

// The rules of the socket's own login window: what an answer of the window
// leads to. Three cancels end the program; before that, a cancel asks whether
// to exit. The pair kCancelUser / kCancelPassword typed into the window counts
// as a cancel too.
class TLinkLoginWindowLogic {
 public:
  static constexpr const char* kCaption = "Login Dialog";
  static constexpr const char* kHeader = "Please Login";
  static constexpr const char* kThreeCancelsText =
      "You have cancelled the Login Dialog three times.  The application will be terminated!";
  static constexpr const char* kAskExitText =
      "You have cancelled the Login Attempt, would you like to Exit the application?";
  // The pair that counts as a cancel (compared without regard to case, trimmed).
  static constexpr const char* kCancelUser = "CANCEL";
  static constexpr const char* kCancelPassword = "CANCEL";

  enum class Step {
    Login,      // send the login with the typed pair
    AskExit,    // ask kAskExitText: Yes ends the program, No shows the window again
    Terminate,  // show kThreeCancelsText and end the program
  };

  // The window closed with OK (with the typed texts) or with Cancel.
  Step Answer(bool ok, const std::string& user, const std::string& password);
  int Cancels() const { return cancels_; }

  static bool IsCancelPair(const std::string& user, const std::string& password);

 private:
  int cancels_ = 0;
};

}  // namespace mero::link
