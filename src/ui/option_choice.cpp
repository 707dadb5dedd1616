#include "ui/option_choice.h"

namespace mero::ui {

int OptionStartRow(int count, int preselect) { return preselect >= 1 && preselect <= count ? preselect - 1 : 0; }

int OptionForDigit(int count, int digit) { return digit >= 1 && digit <= 9 && digit <= count ? digit : 0; }

}  // namespace mero::ui
