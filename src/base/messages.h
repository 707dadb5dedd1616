#pragma once

#include <string>
#include <vector>

namespace mero::base {

// The table of numbered messages. Every Part registers its texts by number;
// windows show them by number through the message window.

// Registers a numbered text; an empty text is stored as "_". A number that is
// already registered keeps its first text and the duplicate is reported to
// the user. Returns the new count, or the 0-based position of the existing
// entry.
int AddMess(int number, const std::string& text);
// The registered text; "Αριθμός : " and the number in three digits when it is
// not registered; "MessNo:" and the number before the table exists. With a
// debug level above 0 a found text is prefixed with its number.
std::string GetMessText(int number);
void ShowMessNo(int number);
// Fills the "%s" places of the registered text with the arguments in order,
// then shows it.
void ShowMessNoFmt(int number, const std::vector<std::string>& args);
// Registers the run-time services' own messages (1–99 and 901).
void RegisterBaseMessages();

// What the message window shows for a text of a kind: the rules of its size
// and buttons, kept here so that the window stays a thin view.
struct MessWindowLayout {
  std::string text;  // line feeds turned into CR LF
  int lineCount = 0;
  int height = 0;  // pixels
  bool scrollBars = false;
  std::string caption;  // by kind, with " Lines=" and the count
  bool showCancel = false;
  bool cancelIsDefault = false;
  bool tooltipBackground = false;  // kind 4
  std::string fontName;            // empty: the window's own font
};
MessWindowLayout LayoutMessWindow(const std::string& text, int kind, int fontIndex);

}  // namespace mero::base
