#pragma once

// A small world of units, printers, consumables and contracts, and
// requisitions taken through their stages the way users and the dispatch do.

#include <cstdint>
#include <string>

#include "server_db.h"

namespace mero::test {

constexpr int kDay = 45000;  // 15 March 2023

inline std::string N(std::int64_t n) { return std::to_string(n); }

class Requisitions {
 public:
  explicit Requisitions(ServerDb& s) : s_(s) {}

  // Contract 1 open from 44900 to 45300, contract 2 earlier; units U1 (toner
  // responsible maria) and U2; printers P1 (U1, used by nikos) and P2 (U2,
  // no user); consumables 1 (10 euros) and 2 (2.5 euros).
  void CreateWorld() {
    s_.Exec(
        "INSERT INTO UP_SYMB (ID, DTFMLIM, DTTOLIM) VALUES (1, 44900, 45300), (2, 44000, 44899);"
        "INSERT INTO UORG (ID, NAME, TON, TONER_UID) VALUES ('U1', 'Μονάδα 1', 1, 'maria'), ('U2', 'Μονάδα 2', 1, "
        "NULL);"
        "INSERT INTO UDELIVERY (ID, NAME) VALUES ('D1', 'Αποθήκη');"
        "INSERT INTO UP_PR_MODELS (ID, FULLNAME) VALUES ('M1', 'Laser');"
        "INSERT INTO UP_CONS (ID, CODE, UP) VALUES (1, 'Toner', 10), (2, 'Drum', 2.5);"
        "INSERT INTO UP_PRINTERS (ID, MODELID, ORGID, USERPID) VALUES ('P1', 'M1', 'U1', 'nikos'), ('P2', 'M1', 'U2', "
        "NULL);");
  }

  // A draft of unit org under contract sid, with one line of two of
  // consumable 1 for P1 unless told otherwise.
  std::int64_t Draft(std::int64_t id, const std::string& org = "U1", int sid = 1, bool withLine = true) {
    s_.Exec("INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN) VALUES (" + N(id) + ", " +
            N(id) + ", " + N(sid) + ", '" + org + "', 'D1', 'maria', 1, " + N(kDay) + ")");
    if (withLine) AddLine(id, "P1", 1, "2", "10");
    return id;
  }

  void AddLine(std::int64_t mid, const std::string& prid, int cid, const std::string& qty, const std::string& up) {
    s_.Exec("INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA) VALUES (" + N(mid) + ", '" +
            prid + "', " + N(cid) + ", 'Αναλώσιμο', " + qty + ", " + up + ", 0, 'nikos', 1)");
  }

  // Takes a draft to stage 0 (void) or on through 2, 4, 6, 7, 8 (one of
  // each line delivered) and 9.
  void BringTo(std::int64_t id, int stage) {
    const std::string where = " WHERE ID = " + N(id);
    if (stage == 0) return s_.Exec("UPDATE UP_DELT SET ACTV = '0'" + where);
    if (stage >= 2) s_.Exec("UPDATE UP_DELT SET DTFIN = " + N(kDay) + where);
    if (stage >= 4) s_.Exec("UPDATE UP_DELT SET DTSENT = " + N(kDay + 2) + where);
    if (stage >= 6) s_.Exec("UPDATE UP_DELT SET DTARRIVED = " + N(kDay + 5) + where);
    if (stage >= 7) s_.Exec("UPDATE UP_DELT SET DTRECEIVED = " + N(kDay + 6) + where);
    if (stage >= 8) s_.Exec("UPDATE UP_DELTD SET QTYDEL = 1 WHERE MID = " + N(id));
    if (stage >= 9) s_.Exec("UPDATE UP_DELT SET DTCLOSED = " + N(kDay + 9) + where);
  }

  std::int64_t Stage(std::int64_t id) { return s_.Int("SELECT STATE FROM UP_DELT WHERE ID = " + N(id)); }

 private:
  ServerDb& s_;
};

}  // namespace mero::test
