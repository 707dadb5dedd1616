#pragma once

namespace mero::ui {

// Once per run (later calls do nothing until ShutdownUI): tool-tips in the
// hint colour (aqua) after a pause of 1000 ms, the Debug window made hidden,
// the message windows as the presenter of every message and question, the
// SQL window (hidden) as the display of data::ShowSQL, and the follower of
// the keys held. The steps are logged.
void InitUI(int flag = 0);
// Undoes InitUI: the defaults of the seams back, the windows destroyed.
void ShutdownUI();

// The hint colour and the pause before a tool-tip shows.
inline constexpr unsigned kHintColor = 0x00FFFF;
inline constexpr int kHintPauseMs = 1000;

}  // namespace mero::ui
