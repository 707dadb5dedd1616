#pragma once

#include <string>

class QWidget;

namespace mero::app {

// Prints the window as it looks on the screen, scaled to the page, on the
// default printer. Without a printer it writes a PDF into the export folder
// and says where. Returns the PDF's path, or empty when it went to a printer
// (or there was no window).
std::string PrintWindowImage(QWidget* window);

}  // namespace mero::app
