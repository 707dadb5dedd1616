// The rows of a typical list, as the server sends them: 100,000 rows of ten
// columns (integers, texts, floats, dates, a large integer, an occasional
// memo). Shared by the benchmarks that decode or load such a reply.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "link/codec/result_set_encoder.h"

namespace mero::bench {

inline constexpr int kListRows = 100000;

// The columns in the form of the reply's field definitions (name,type,size).
inline const std::vector<std::string> kListFields = {"ID,3,0",      "UNIT_ID,3,0", "DESCR,1,40", "CITY,1,30",
                                                     "PRICE,6,0",   "QTY,6,0",     "DTIN,9,0",   "STAMP,11,0",
                                                     "SERIAL,25,0", "COMM,16,0"};

inline const std::string& ListPayload() {
  using namespace mero::base::literals;
  static const std::string payload = [] {
    const std::vector<std::string> names = {"Τόνερ μαύρο"_gr, "Τύμπανο"_gr, "Μελάνι κυανό"_gr, "Ταινία μελανιού"_gr,
                                            "Δοχείο αποβλήτων"_gr};
    const std::vector<std::string> cities = {"Αθήνα"_gr, "Θεσσαλονίκη"_gr, "Πάτρα"_gr, "Ηράκλειο"_gr};
    const std::string memo = "Παράδοση στο κτίριο Β, όροφος 2"_gr;
    const double day = base::EncodeDate(2024, 1, 1);
    std::string out;
    link::ResultSetEncoder enc(out);
    for (int i = 0; i < kListRows; ++i) {
      enc.AddInt(i + 1);
      if (i % 50 == 0) {
        enc.AddNull();
      } else {
        enc.AddInt(i % 37 + 100);
      }
      enc.AddText(names[static_cast<std::size_t>(i) % names.size()]);
      enc.AddText(cities[static_cast<std::size_t>(i) % cities.size()]);
      enc.AddFloat(i * 1.25 + 0.01);
      enc.AddFloat(i % 100 + 0.5);
      enc.AddFloat(day + i % 365);
      enc.AddFloat(day + i % 365 + static_cast<double>(i % 86400) / 86400);
      enc.AddInt(static_cast<std::int64_t>(i) * 1000003);
      if (i % 20 == 0) {
        enc.AddLong(memo);
      } else {
        enc.AddNull();
      }
      enc.EndRow();
    }
    enc.Finish();
    return out;
  }();
  return payload;
}

}  // namespace mero::bench
