#pragma once

#include <string>
#include <vector>

namespace mero::ui {

// The rules of the message window that are not about its widgets. Its size,
// caption and buttons by kind are base::LayoutMessWindow.

// The window's client area is 582 pixels wide; its button panel 32 high.
inline constexpr int kMessWindowWidth = 582;
inline constexpr int kMessButtonPanelHeight = 32;

// The lines of a text whose lines end with CR LF (a final line break opens
// no new line).
std::vector<std::string> MessLines(const std::string& crlfText);

// The folder of the user's own where the window saves mess.txt: "mero-" and
// the user's number in TempDir, made with access for the user alone. An
// existing one must be a directory (not a link) of the user's, closed to
// everyone else; otherwise base::Exception.
std::string MessFolder();

// Writes the lines, each ending with CR LF, as mess.txt into MessFolder()
// and returns its path. The text is written into a new file of its own and
// renamed over mess.txt, so a link planted under that name is replaced,
// never written through. base::Exception when the file cannot be written.
std::string SaveMessLines(const std::vector<std::string>& lines);

}  // namespace mero::ui
