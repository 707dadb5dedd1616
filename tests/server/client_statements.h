#pragma once

// Every statement the client sends, as it reaches the server once the client
// has put its values in, in the order of a working session on the demo data:
// the queries of the windows and of the query utilities, the statements the
// datasets generate from edits (with their line breaks and the lone CR of an
// INSERT), the explicit changes and blocks of the windows, and the "commit"
// that follows every change. Values the session only knows while it runs are
// written as {T} (today as dd/mm/yyyy), {T-n} (n days before), {LINE1} and
// {LINE2} (the first and last line of the new requisition).

#include <functional>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "server/oracle_formats.h"

namespace mero::test {

// Who may send a statement, as the server's guard sees the demo users: every
// user; the ones who order (the toner responsible MARIA and the super-user
// ADMIN); the super-user alone. Anyone else is refused with ORA-01031.
enum class Senders { Everyone, Orderers, SuperUser };

struct ClientStatement {
  const char* origin;  // the window or operation that sends it; a key for the checks
  std::string sql;
  bool query;              // sent as a select (else as an execute request)
  const char* error = "";  // the start of the error the server gives, when it refuses
  Senders senders = Senders::Everyone;
};

// The statement with the values of the running session put in: today's date
// and the lines of the new requisition, which lineId reads (its SQL asks for
// one value).
inline std::string FillClientStatement(std::string sql, base::TDateTime today,
                                       const std::function<std::string(const std::string&)>& lineId) {
  auto replace = [&](const std::string& key, const std::string& value) {
    for (std::size_t at = sql.find(key); at != std::string::npos; at = sql.find(key))
      sql.replace(at, key.size(), value);
  };
  for (int n = 60; n >= 1; --n) replace("{T-" + std::to_string(n) + "}", server::OracleDateToChar(today - n));
  replace("{T}", server::OracleDateToChar(today));
  if (sql.find("{LINE") != std::string::npos) {
    // Before the requisition exists any number will do.
    replace("{LINE1}", lineId("SELECT IFNULL(min(ID), 0) FROM UP_DELTD WHERE MID = 101"));
    replace("{LINE2}", lineId("SELECT IFNULL(max(ID), 0) FROM UP_DELTD WHERE MID = 101"));
  }
  return sql;
}

inline const std::vector<ClientStatement>& ClientStatements() {
  static const std::vector<ClientStatement> statements = {
      // start-up and rights
      {"user rights", "select DEPTID,CANU,OTHER_DEPTS from USRLU where USRID='MARIA'", true},
      {"super-user buttons", "select F_UP_IS_SUPERUSER('maria') from DUAL", true},
      {"super-user buttons: admin", "select F_UP_IS_SUPERUSER('admin') from DUAL", true},
      {"contract open today", "select ID from UP_symb where TRUNC(sysdate) between DTFMLim and DTTOLim  ", true},
      {"department box", "select ID,NAME from DEPT where TYPTYP in (0,1) order by TYPTYP,TYPSXOLH, NAME", true},
      // query utilities and their cache
      {"default query", "select * from DEPT where ID= 'O''K'  ", true},
      {"default query, NULL parameter", "select * from DEPT where ID IS NULL  ", true},
      {"cache: COOP", "select * from COOP order by APPID", true},
      {"cache: QAPOL", "select * from QAPOL order by ID", true},
      {"cache: parameters", "select * from UP_OVPARAMS", true},
      {"cache: one parameter", "SELECT * FROM UP_OVPARAMS WheRe (PNM='MAX_DELT_ITEMS')", true},
      {"cache: value not cached", "select PVALS2K from UP_OVPARAMS where PNM='MAX_DELT_ITEMS'", true},
      {"AddSQLWhere", "SELECT * FROM UP_Delt WheRe (ID=1) Order By  ID", true},
      {"LookupStr", "select NAME from UORG where (ID='0.02.02') ", true},
      {"server date", "select TRUNC(sysdate) from dual", true},
      {"may order", "select F_UP_ALLOW_Deltio ('maria') from DUAL ", true},
      {"may order: nikos", "select F_UP_ALLOW_Deltio ('nikos') from DUAL ", true},
      // choosing the unit and the delivery point
      {"lookup: columns", "select c1.* from UORG c1  where 1=2", true},
      {"lookup: units", "select c1.* from UORG c1  where  (toner_uid='maria') and (TON=1)  order by  ID", true},
      {"lookup: units, typed", "select c1.* from UORG c1  where  (TON=1)  AND  (ID LIKE '0.02%')  order by  ID", true},
      {"delivery points of a unit",
       "select count(*) from UDelivery where  ID in (select delpID from UPV_Printers where ORGID='0.02.02') and "
       "(id<>'-') ",
       true},
      {"delivery points of a unit without any",
       "select count(*) from UDelivery where  ID in (select delpID from UPV_Printers where ORGID='0.04.01') and "
       "(id<>'-') ",
       true},
      {"lookup: delivery points",
       "select c1.* from UDELIVERY c1  where  ID in (select delpID from UPV_Printers where ORGID='0.02.02') and "
       "(id<>'-')  order by  ID",
       true},
      {"unit budget", "select * from UORGN where ORGID='0.02.02' and SID='2'", true},
      // the requisition editor: a new requisition
      {"editor: contracts today", "select count(*) from UP_symb where TRUNC(sysdate) between DTFMLim and DTTOLim  ",
       true},
      {"editor: counter up", "update UP_OVPARAMS set PVALN=PVALN+1 where PNM='DELT_COUNTER'", false, "",
       Senders::Orderers},
      {"commit", "commit", false},
      {"editor: counter", "select PVALN from UP_OVPARAMS where PNM='DELT_COUNTER'", true},
      {"sequence", "select SEQ_UP_DELT.NextVal from DUAL", true, "", Senders::Orderers},
      {"editor: new header",
       "Insert Into NQ.UP_DELT (ID,NODELT,SID,ORGID,DELPID,ORDERPID,STATE,DTIN)\r Values "
       "(101,12,2,'0.02.02','002','maria',1,'{T}')\n",
       false, "", Senders::Orderers},
      {"commit", "commit", false},
      {"editor: header", "select * from UP_Delt where ID=101", true},
      {"editor: budget refresh", "update UORGN set VYPOL1=0 where ORGID='0.02.02' and SID='2'", false, "",
       Senders::Orderers},
      {"editor: budget", "select * from UORGN where ORGID= '0.02.02'  and SID= '2'  ", true},
      {"lookup: printers",
       "select c1.* from UPV_Printers c1  where  (orgID like '0.02.02%') and (UserPID IS NOT NULL)  order by  ID",
       true},
      {"lookup: consumables",
       "select c1.* from UP_SymbD c1  where  ((mid=2) and  (cid IN (SELECT Consid FROM UP_Model_Cons WHERE "
       "modelid=(SELECT modelid FROM UP_Printers WHERE ID='P008' ))))  and (cid in (select cid from UP_CONS_REQ "
       "where PRID='P008'))  order by  cID",
       true},
      {"editor: add consumable",
       " insert into UP_DeltD (mid,prid,cid,code,qty,up,qtydel,xrUID,ItemAA)  select 101,'P008',cid,code,1,up,0,"
       "(select UserPID from UP_Printers where id='P008'),ItemAA  from UP_SymbD  where mid=2 and cid=(select cid "
       "from UP_SYMBD where id=201)",
       false, "", Senders::Orderers},
      {"commit", "commit", false},
      {"editor: lines", "select  * from UPV_DeltD1 where mid=101 order by  ID ", true},
      {"editor: line quantity",
       "UPDATE NQ.UP_DeltD SET NQ.UP_DeltD.QTY = 2,NQ.UP_DeltD.QTYDEL = 0  Where NQ.UP_DeltD.ID = {LINE1}\n", false, "",
       Senders::Orderers},
      {"commit", "commit", false},
      {"editor: delete line", "DELETE FROM NQ.UP_DeltD  Where NQ.UP_DeltD.ID = {LINE2}\n", false, "",
       Senders::Orderers},
      {"commit", "commit", false},
      {"editor: instructions",
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.DELIV_S = 'Κτίριο Διοίκησης, ισόγειο'  Where NQ.UP_DELT.ID = 101\n", false, "",
       Senders::Orderers},
      {"commit", "commit", false},
      {"editor: comment as a long value",
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = :MemoCOMM  Where NQ.UP_DELT.ID = 101\n", false, "", Senders::Orderers},
      {"commit", "commit", false},
      {"editor: finalise", "update UP_DELT set DTFIN=trunc(sysdate) where id=101", false, "", Senders::Orderers},
      {"commit", "commit", false},
      {"editor: header finalised", "select * from UP_Delt where ID=101", true},
      // later stages of other requisitions
      {"editor: arrival date", "UPDATE NQ.UP_DELT SET NQ.UP_DELT.DTARRIVED = '{T}'  Where NQ.UP_DELT.ID = 3\n", false,
       "", Senders::Orderers},
      {"commit", "commit", false},
      {"editor: receipt date and time",
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.DTRECEIVED = TO_DATE('{T} 10:30:00','DD/MM/YYYY HH24:MI:SS')  Where "
       "NQ.UP_DELT.ID = 7\n",
       false, "", Senders::Orderers},
      {"commit", "commit", false},
      {"editor: all delivered", "begin  update UP_DELTD set QTYDEL=QTY where MID=2; commit; end; ", false, "",
       Senders::Orderers},
      {"editor: line outside stage 1",
       " insert into UP_DeltD (mid,prid,cid,code,qty,up,qtydel,xrUID,ItemAA)  select 101,'P008',cid,code,1,up,0,"
       "(select UserPID from UP_Printers where id='P008'),ItemAA  from UP_SymbD  where mid=2 and cid=(select cid "
       "from UP_SYMBD where id=201)",
       false, "ORA-20013", Senders::Orderers},
      // the requisition register
      {"register: mine", "select * from UP_Delt dp where 1=1  AND  (dp.orderPID = 'maria')  order by dp.ID ", true},
      {"register: search",
       "select * from UP_Delt dp where 1=1  AND  (dp.orderPID = 'maria')  AND ( (dp.DTIN>='{T-31}') AND "
       "(dp.DTIN<='{T}') ) AND ( (dp.DTFIN IS NULL) or (dp.DTFIN>='{T-30}') AND (dp.DTFIN<='{T}') )  AND  "
       "(dp.DTCLOSED IS NULL)  AND  (dp.ORGID LIKE '0.02%')  order by dp.ID ",
       true},
      {"register: stage and day",
       "select * from UP_Delt dp where 1=1  AND (dp.DTIN='{T-2}') AND  (dp.STATE=1)  order by dp.ID ", true},
      {"register: year", "select * from UP_Delt dp where 1=1  AND  (TO_CHAR(dp.DTIN,'YYYY')='2024')  order by dp.ID ",
       true},
      {"register: delete a draft",
       "begin  delete from UP_DELTD where MID=4; delete from UP_DELT where ID=4; commit; end; ", false, "",
       Senders::Orderers},
      {"register: delete a finalised one",
       "begin  delete from UP_DELTD where MID=101; delete from UP_DELT where ID=101; commit; end; ", false, "ORA-20018",
       Senders::Orderers},
      // the workbench
      {"workbench: printers",
       "SELECT vp.*, (SELECT count(*) AS CONS FROM UP_Cons_REQ WHERE PRID=vp.ID) CONS  FROM UPV_PRINTERS vp where "
       "1=1  AND  (UPPER(vp.FULLNAME) LIKE 'HP LASERJET%')  AND  (vp.CP18ID=12) order by ID",
       true},
      {"workbench: printer's requirements", "select * from UPV_CONS_REQ where PrID='P008' order by CODE", true},
      {"workbench: models",
       "SELECT pm.*  , (SELECT count(DISTINCT cid) FROM UP_Cons_REQ WHERE PRID IN (SELECT ID FROM UP_PRINTERS WHERE "
       "MODELID=pm.ID)) D_CONS  , (SELECT count(*)  FROM UP_PRINTERS WHERE MODELID=pm.ID) PRCNT  FROM UPV_PR_MODELS "
       "pm where 1=1  AND  (UPPER(pm.ManID) = 'HP')  AND  (pm.COL=0)  AND  pm.ID in (select modelid from UP_Printers "
       "where 1=1  AND  (UPPER(orderpid) = 'MARIA') ) ORDER BY pm.ManID, pm.FULLNAME ",
       true},
      {"workbench: model's consumables",
       "select * from UPV_Cons  where id in (select consid from UP_MODEL_CONS  where modelid='HPM404')  ORDER BY ID",
       true},
      {"workbench: model's printers", "SELECT * FROM UPV_Printers vp WHERE MODELID='HPM404' order by ID ", true},
      {"workbench: consumables",
       "select c.*  , (SELECT count(prid) FROM UP_CONS_REQ WHERE cid=c.id) PRCNT , (SELECT count(DISTINCT modelid) "
       "FROM UP_PRINTERS WHERE id IN (SELECT prid FROM UP_CONS_REQ WHERE cid=c.id)) MODELCNT , (SELECT SUM(Qty) FROM "
       "UP_CONS_REQ WHERE cid=c.id) SUMQ , (SELECT c.UP*NVL(SUM(Qty),0) FROM UP_CONS_REQ WHERE cid=c.id) VQ  from "
       "UPV_CONS c where 1=1  AND (c.ReplID IS NuLL) order by MANSNAME,CODE",
       true},
      {"workbench: consumable's printers",
       "select *  from UPV_Printers vp  where 1=1 and ID in (SELECT prid FROM UP_CONS_REQ WHERE cid=1 )  order by "
       "vp.MANSNAME, FULLNAME, SN ",
       true},
      {"workbench: consumable's models",
       "select * FROM UPV_PR_MODELS WHERE ID IN  (SELECT DISTINCT modelid FROM UP_PRINTERS WHERE id IN (SELECT prid "
       "FROM UP_CONS_REQ WHERE cid=1 )) order by MANID, FULLNAME",
       true},
      {"workbench: consumable's requirements", "SELECT * FROM UPV_Cons_REQ WHERE 1=1 and cid= 1 order by ID", true},
      {"workbench: edit printer",
       "UPDATE NQ.UP_Printers SET NQ.UP_Printers.OFFICE = 'Γραφείο 12, ισόγειο (παράθυρο)'  Where "
       "NQ.UP_Printers.ID = 'P008'\n",
       false, "", Senders::SuperUser},
      {"commit", "commit", false},
      {"workbench: edit consumable", "UPDATE NQ.UP_CONS SET NQ.UP_CONS.COSTPP = 2.5  Where NQ.UP_CONS.ID = 1\n", false,
       "", Senders::SuperUser},
      {"commit", "commit", false},
      {"workbench: edit a column of the view only",
       "UPDATE NQ.UP_Printers SET NQ.UP_Printers.MANSNAME = 'x'  Where NQ.UP_Printers.ID = 'P008'\n", false,
       "ORA-00904"},
      {"lookup: edit in the grid", "UPDATE UORG SET UORG.TEL1 = '210 3689199'  Where UORG.ID = '0.02.02'\n", false, "",
       Senders::SuperUser},
      {"commit", "commit", false},
      // the requirement view and the printers window
      {"requirements of a unit",
       "select   F_UP_REQ_Q(1,2, CID,PRID) CLC_Q1,  F_UP_REQ_Q(2,2, CID,PRID) CLC_Q2,  F_UP_REQ_Q(3,2, CID,PRID) "
       "CLC_Q3,  F_UP_REQ_Q(4,2, CID,PRID) CLC_Q4,  (v.QTY-F_UP_REQ_Q(3,2, CID,PRID)) CLC_YPOL,  v.* from "
       "UPV_CONS_REQ v where 1=1  AND  (v.orgID = '0.02.02')  order by ID",
       true},
      {"requirements of a printer",
       "select   F_UP_REQ_Q(1,2, CID,PRID) CLC_Q1,  F_UP_REQ_Q(2,2, CID,PRID) CLC_Q2,  F_UP_REQ_Q(3,2, CID,PRID) "
       "CLC_Q3,  F_UP_REQ_Q(4,2, CID,PRID) CLC_Q4,  (v.QTY-F_UP_REQ_Q(3,2, CID,PRID)) CLC_YPOL,  v.* from "
       "UPV_CONS_REQ v where 1=1  and PRID='P008' order by ID",
       true},
      {"printers: unit box", "select ID,ID||'-'||NAME from UORG where Toner_UID like '%maria%'", true},
      {"printers: by unit",
       "select  * from UPV_PRINTERS where 1=1  AND  (orgID = '0.02.02')  AND  (userPID = 'maria')  order by ID", true},
      {"printers: no unit", "select  * from UPV_PRINTERS where 1=1  AND (1=2) order by ID", true},
      // the registers
      {"delivery points", "select * from UDELIVERY where 1=1 and (id<>'-')  order by ID", true},
      {"units", "select * from UORG where 1=1 AND  (ID = '0.02.02')  AND (TONER_UID is not NULL) order by ID", true},
      {"printer models",
       "select * from UPV_PR_MODELS v where 1=1  AND  (UPPER(v.FULLNAME) LIKE 'HP%')  order by SNAME, FullName", true},
      {"contract consumables",
       "select * from UPV_SYMBD v where 1=1 and v.MID=2 AND  (UPPER(v.Code) LIKE 'TONER%')  order by ItemAA", true},
      // an update transaction as the remote dataset wraps it
      {"transaction",
       "BEGIN P1.USRID:='MARIA';P1.USRIP:='127.0.0.1';\nUPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'Με ενημέρωση'  "
       "Where NQ.UP_DELT.ID = 8\n ;  P1.USRID:=NULL; P1.USRIP:=NULL; COMMIT; END;",
       false, "", Senders::Orderers},
  };
  return statements;
}

}  // namespace mero::test
