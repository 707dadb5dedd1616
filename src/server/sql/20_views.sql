-- Views the windows read. Columns that are plain column references take their
-- type from the table; every other column has its Oracle type in MERO_COLUMNS,
-- right after its view.
--
-- The S_ columns (the contract's price, item number, suggested quantity and
-- genuine flag of a consumable) come from the contract named by the parameter
-- UP_CURRENT_SYMBID; when that contract lists the consumable more than once,
-- from its line with the lowest item number (then the lowest line ID).

CREATE VIEW UPV_SYMBD AS
SELECT s.ID, s.MID, s.CID, s.CODE, s.UP, s.ITEMAA, s.QSUG, s.GEN,
       c.CODE AS C_CODE, c.CTYPE AS C_CTYPE, c.COL AS C_COL, c.PAGECNT AS C_PAGECNT,
       c.CTYPEORG AS C_CTYPEORG, c.GEN AS C_GEN,
       m.SNAME AS MAN_SNAME
  FROM UP_SYMBD s
  LEFT JOIN UP_CONS c ON c.ID = s.CID
  LEFT JOIN UP_MANUF m ON m.ID = c.MANID;

CREATE VIEW UPV_CONS AS
SELECT c.ID, c.CODE, c.CTYPE, c.REPLID, c.CODEREQ, c.COL, c.PAGECNT, c.UP, c.CTYPEORG,
       c.MANID, c.COSTPP, c.GEN, c.COMM,
       m.SNAME AS MANSNAME,
       s.QSUG AS S_QSUG, s.UP AS S_UP, s.ITEMAA AS S_ITEMAA, s.GEN AS S_GEN
  FROM UP_CONS c
  LEFT JOIN UP_MANUF m ON m.ID = c.MANID
  LEFT JOIN UP_SYMBD s ON s.ID = (
        SELECT sd.ID FROM UP_SYMBD sd
         WHERE sd.MID = (SELECT PVALN FROM UP_OVPARAMS WHERE PNM = 'UP_CURRENT_SYMBID')
           AND sd.CID = c.ID
         ORDER BY sd.ITEMAA, sd.ID LIMIT 1);

CREATE VIEW UPV_PR_MODELS AS
SELECT pm.ID, pm.FULLNAME, pm.HASETH, pm.IL, pm.COL, pm.MANID, pm.ISCP, pm.FLG,
       m.SNAME,
       (SELECT count(*) FROM UP_PRINTERS p WHERE p.MODELID = pm.ID) AS PR_CNT,
       (SELECT count(*) FROM UP_MODEL_CONS mc WHERE mc.MODELID = pm.ID) AS CONS_NT
  FROM UP_PR_MODELS pm
  LEFT JOIN UP_MANUF m ON m.ID = pm.MANID;
INSERT INTO MERO_COLUMNS VALUES ('UPV_PR_MODELS', 'PR_CNT', 'NUMBER');
INSERT INTO MERO_COLUMNS VALUES ('UPV_PR_MODELS', 'CONS_NT', 'NUMBER');

CREATE VIEW UPV_PRINTERS AS
SELECT p.ID, p.MODELID, p.SN, p.SN2, p.ORGID, p.BUILDINGID, p.OFFICE, p.USERPID, p.ORDERPID,
       p.DELPID, p.SPICEID, p.CP18ID, p.CP20ID, p.WEIGHT, p.YRPROD, p.SIZ, p.RMPV, p.EVALSIK,
       p.STAT, p.LOCID,
       m.SNAME AS MANSNAME, pm.MANID, pm.FULLNAME, o.NAME, b.DESCR AS B_DESCR,
       sp.NAME AS SPICENAME
  FROM UP_PRINTERS p
  LEFT JOIN UP_PR_MODELS pm ON pm.ID = p.MODELID
  LEFT JOIN UP_MANUF m ON m.ID = pm.MANID
  LEFT JOIN UORG o ON o.ID = p.ORGID
  LEFT JOIN UP_BUILDINGS b ON b.ID = p.BUILDINGID
  LEFT JOIN UP_SPICE sp ON sp.ID = p.SPICEID;

-- USERNAME and TECHNAME are the full names of the printer's user and of the
-- technician who recorded the row (USRLU holds login names in capitals);
-- SUPLNAME is the supplier of the current contract.
CREATE VIEW UPV_CONS_REQ AS
SELECT r.ID, r.PRID, r.CID, r.QTY,
       c.CODE, c.CTYPE, c.COL,
       p.MODELID, pm.MANID AS MF, pm.FULLNAME, m.SNAME AS MAN_SNAME, p.SN,
       p.ORGID, p.BUILDINGID AS BID,
       CASE WHEN b.ADDR IS NULL THEN b.DESCR ELSE b.DESCR || ', ' || b.ADDR END AS BUILDING,
       p.OFFICE, p.ORDERPID, p.USERPID,
       u.FULLNAME AS USERNAME,
       substr(t.FULLNAME, 1, 60) AS TECHNAME,
       sy.SUPLNAME, r.TECHPID, r.DIAG, r.CIDREQ, r.QTYORG,
       s.UP AS S_UP, s.GEN AS S_GEN, s.QSUG AS S_QSUG
  FROM UP_CONS_REQ r
  LEFT JOIN UP_CONS c ON c.ID = r.CID
  LEFT JOIN UP_PRINTERS p ON p.ID = r.PRID
  LEFT JOIN UP_PR_MODELS pm ON pm.ID = p.MODELID
  LEFT JOIN UP_MANUF m ON m.ID = pm.MANID
  LEFT JOIN UP_BUILDINGS b ON b.ID = p.BUILDINGID
  LEFT JOIN USRLU u ON u.USRID = upper(p.USERPID)
  LEFT JOIN USRLU t ON t.USRID = upper(r.TECHPID)
  LEFT JOIN UP_SYMB sy ON sy.ID = (SELECT PVALN FROM UP_OVPARAMS WHERE PNM = 'UP_CURRENT_SYMBID')
  LEFT JOIN UP_SYMBD s ON s.ID = (
        SELECT sd.ID FROM UP_SYMBD sd
         WHERE sd.MID = (SELECT PVALN FROM UP_OVPARAMS WHERE PNM = 'UP_CURRENT_SYMBID')
           AND sd.CID = r.CID
         ORDER BY sd.ITEMAA, sd.ID LIMIT 1);
INSERT INTO MERO_COLUMNS VALUES ('UPV_CONS_REQ', 'BUILDING', 'VARCHAR2(80)');
INSERT INTO MERO_COLUMNS VALUES ('UPV_CONS_REQ', 'TECHNAME', 'VARCHAR2(60)');

-- GEN is the genuine flag of the contract line the requisition line was taken
-- from (same contract, consumable and item number), else the consumable's.
-- PR_DESC describes the printer, PR_XR the person charged, PR_UP and PR_VAL
-- are the unit price and the line value as text with two decimals.
CREATE VIEW UPV_DELTD1 AS
SELECT l.ID, l.MID, l.PRID, l.CID, l.CODE, l.QTY, l.UP, l.QTYDEL, l.XRUID, l.ITEMAA,
       coalesce((SELECT s.GEN FROM UP_SYMBD s
                  WHERE s.MID = d.SID AND s.CID = l.CID AND s.ITEMAA IS l.ITEMAA
                  ORDER BY s.ID LIMIT 1), c.GEN) AS GEN,
       p.SN, pm.FULLNAME, pm.MANID,
       l.PRID || ' ' || coalesce(pm.FULLNAME, '-') || ' SN ' || coalesce(p.SN, '-') AS PR_DESC,
       CASE WHEN u.FULLNAME IS NULL THEN l.XRUID ELSE l.XRUID || ' - ' || u.FULLNAME END AS PR_XR,
       CASE WHEN l.UP IS NULL THEN NULL
            WHEN length(printf('%.2f', l.UP)) <= 7 THEN replace(printf('%.2f', l.UP), '.', ',')
            ELSE substr(printf('%.0f', l.UP), 1, 7) END AS PR_UP,
       CASE WHEN l.UP IS NULL OR l.QTY IS NULL THEN NULL
            WHEN length(printf('%.2f', l.UP * l.QTY)) <= 7 THEN replace(printf('%.2f', l.UP * l.QTY), '.', ',')
            ELSE substr(printf('%.0f', l.UP * l.QTY), 1, 7) END AS PR_VAL
  FROM UP_DELTD l
  LEFT JOIN UP_DELT d ON d.ID = l.MID
  LEFT JOIN UP_CONS c ON c.ID = l.CID
  LEFT JOIN UP_PRINTERS p ON p.ID = l.PRID
  LEFT JOIN UP_PR_MODELS pm ON pm.ID = p.MODELID
  LEFT JOIN USRLU u ON u.USRID = upper(l.XRUID);
INSERT INTO MERO_COLUMNS VALUES ('UPV_DELTD1', 'GEN', 'VARCHAR2(1)');
INSERT INTO MERO_COLUMNS VALUES ('UPV_DELTD1', 'PR_DESC', 'VARCHAR2(120)');
INSERT INTO MERO_COLUMNS VALUES ('UPV_DELTD1', 'PR_XR', 'VARCHAR2(4000)');
INSERT INTO MERO_COLUMNS VALUES ('UPV_DELTD1', 'PR_UP', 'VARCHAR2(7)');
INSERT INTO MERO_COLUMNS VALUES ('UPV_DELTD1', 'PR_VAL', 'VARCHAR2(7)');

-- The server's own views -----------------------------------------------------

-- The stage a requisition is in, from its validity, its dates and its lines:
-- 0 void, 1 draft, 2 finalised, 4 sent, 6 arrived, 7 received, 8 delivery
-- (some quantity delivered), 9 closed.
CREATE VIEW MERO_DELT_STAGE AS
SELECT d.ID,
       CASE WHEN d.ACTV = '0' THEN 0
            WHEN d.DTCLOSED IS NOT NULL THEN 9
            WHEN d.DTRECEIVED IS NOT NULL
                 AND EXISTS (SELECT 1 FROM UP_DELTD l WHERE l.MID = d.ID AND l.QTYDEL > 0) THEN 8
            WHEN d.DTRECEIVED IS NOT NULL THEN 7
            WHEN d.DTARRIVED IS NOT NULL THEN 6
            WHEN d.DTSENT IS NOT NULL THEN 4
            WHEN d.DTFIN IS NOT NULL THEN 2
            ELSE 1 END AS STAGE
  FROM UP_DELT d;
INSERT INTO MERO_COLUMNS VALUES ('MERO_DELT_STAGE', 'STAGE', 'INTEGER');

-- The totals of a requisition from its lines (money to the cent).
CREATE VIEW MERO_DELT_TOTALS AS
SELECT d.ID,
       (SELECT round(total(l.QTY * l.UP), 2) FROM UP_DELTD l WHERE l.MID = d.ID) AS VALTOT,
       (SELECT CAST(total(l.QTY) AS INTEGER) FROM UP_DELTD l WHERE l.MID = d.ID) AS QTYTOT,
       (SELECT round(total(l.QTYDEL * l.UP), 2) FROM UP_DELTD l WHERE l.MID = d.ID) AS VALDELIV,
       (SELECT CAST(total(l.QTYDEL) AS INTEGER) FROM UP_DELTD l WHERE l.MID = d.ID) AS QTYDELIV
  FROM UP_DELT d;
INSERT INTO MERO_COLUMNS VALUES ('MERO_DELT_TOTALS', 'VALTOT', 'NUMBER');
INSERT INTO MERO_COLUMNS VALUES ('MERO_DELT_TOTALS', 'QTYTOT', 'INTEGER');
INSERT INTO MERO_COLUMNS VALUES ('MERO_DELT_TOTALS', 'VALDELIV', 'NUMBER');
INSERT INTO MERO_COLUMNS VALUES ('MERO_DELT_TOTALS', 'QTYDELIV', 'INTEGER');

-- The budget figures of a unit under a contract: VORD1 is the value of its
-- valid requisitions from finalisation on (stages 2 to 9), VYPOL1 = VANAL - VORD1.
CREATE VIEW MERO_UORGN_FIGURES AS
SELECT ORGID, SID, VORD1, round(coalesce(VANAL, 0) - VORD1, 2) AS VYPOL1
  FROM (SELECT n.ORGID, n.SID, n.VANAL,
               (SELECT round(total(d.VALTOT), 2) FROM UP_DELT d
                 WHERE d.ORGID = n.ORGID AND d.SID = CAST(n.SID AS INTEGER) AND d.STATE >= 2) AS VORD1
          FROM UORGN n);
INSERT INTO MERO_COLUMNS VALUES ('MERO_UORGN_FIGURES', 'VORD1', 'NUMBER');
INSERT INTO MERO_COLUMNS VALUES ('MERO_UORGN_FIGURES', 'VYPOL1', 'NUMBER');
