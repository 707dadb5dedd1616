#include "base/format_settings.h"

#include "base/encoding.h"

namespace mero::base {

using namespace literals;

FormatSettings FormatSettings::Greek() {
  FormatSettings fs;
  fs.shortDayNames = {"Κυρ"_gr, "Δευ"_gr, "Τρι"_gr, "Τετ"_gr, "Πεμ"_gr, "Παρ"_gr, "Σαβ"_gr};
  fs.longDayNames = {"Κυριακή"_gr, "Δευτέρα"_gr, "Τρίτη"_gr, "Τετάρτη"_gr, "Πέμπτη"_gr, "Παρασκευή"_gr, "Σάββατο"_gr};
  fs.shortMonthNames = {"Ιαν"_gr, "Φεβ"_gr, "Μαρ"_gr, "Απρ"_gr, "Μαι"_gr, "Ιον"_gr,
                        "Ιολ"_gr, "Αυγ"_gr, "Σεπ"_gr, "Οκτ"_gr, "Νοε"_gr, "Δεκ"_gr};
  fs.longMonthNames = {"Ιανουάριος"_gr,  "Φεβρουάριος"_gr, "Μάρτιος"_gr,   "Απρίλιος"_gr,
                       "Μάιος"_gr,       "Ιούνιος"_gr,     "Ιούλιος"_gr,   "Αύγουστος"_gr,
                       "Σεπτέμβριος"_gr, "Οκτώβριος"_gr,   "Νοέμβριος"_gr, "Δεκέμβριος"_gr};
  return fs;
}

FormatSettings& ProcessFormats() {
  static FormatSettings settings = FormatSettings::Greek();
  return settings;
}

}  // namespace mero::base
