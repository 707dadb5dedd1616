-- Rules the database applies on its own: requisition totals and stages, the
-- line rules, the budget figures and the requisition sequence. Refusals raise
-- ORA-20xxx errors with a Greek text that reaches the user unchanged.

-- Sequences ---------------------------------------------------------------------

-- A header inserted without an ID gets one above every SEQ_UP_DELT value
-- already issued, so that it cannot take the key a session has drawn and not
-- yet used: SQLite draws such IDs above UP_DELT's entry in sqlite_sequence
-- (made with the schema's first rows).
CREATE TRIGGER MERO_SEQUENCES_AU AFTER UPDATE OF LAST_VALUE ON MERO_SEQUENCES
WHEN NEW.NAME = 'SEQ_UP_DELT'
BEGIN
  UPDATE sqlite_sequence SET seq = NEW.LAST_VALUE WHERE name = 'UP_DELT' AND seq < NEW.LAST_VALUE;
END;

-- Requisition header ----------------------------------------------------------

-- A requisition is created as a draft (or void): its later dates come one
-- stage at a time. Then the stage and the totals are set from the row, and
-- the sequence never falls behind an ID written without it. (The checks run
-- after the insert, not before it: a BEFORE INSERT trigger would make SQLite
-- evaluate the ID expression twice and so draw two sequence values.)
CREATE TRIGGER UP_DELT_AI AFTER INSERT ON UP_DELT
BEGIN
  SELECT RAISE(ABORT, 'ORA-20001: Νέο δελτίο καταχωρείται μόνο ως πρόχειρο (στάδιο 1), χωρίς ημερομηνίες οριστικοποίησης, αποστολής, άφιξης, παραλαβής ή κλεισίματος')
   WHERE NEW.DTFIN IS NOT NULL OR NEW.DTSENT IS NOT NULL OR NEW.DTARRIVED IS NOT NULL
      OR NEW.DTRECEIVED IS NOT NULL OR NEW.DTCLOSED IS NOT NULL;
  SELECT RAISE(ABORT, 'ORA-20002: Το στάδιο του δελτίου το ορίζει η βάση δεδομένων από τις ημερομηνίες του')
   WHERE NEW.STATE IS NOT NULL AND NEW.STATE NOT IN (0, 1);
  UPDATE UP_DELT SET STATE = (SELECT STAGE FROM MERO_DELT_STAGE WHERE ID = NEW.ID)
   WHERE ID = NEW.ID AND STATE IS NOT (SELECT STAGE FROM MERO_DELT_STAGE WHERE ID = NEW.ID);
  UPDATE UP_DELT SET (VALTOT, QTYTOT, VALDELIV, QTYDELIV) =
         (SELECT VALTOT, QTYTOT, VALDELIV, QTYDELIV FROM MERO_DELT_TOTALS WHERE ID = NEW.ID)
   WHERE ID = NEW.ID
     AND EXISTS (SELECT 1 FROM MERO_DELT_TOTALS t
                  WHERE t.ID = NEW.ID
                    AND (t.VALTOT IS NOT UP_DELT.VALTOT OR t.QTYTOT IS NOT UP_DELT.QTYTOT
                         OR t.VALDELIV IS NOT UP_DELT.VALDELIV OR t.QTYDELIV IS NOT UP_DELT.QTYDELIV));
  UPDATE MERO_SEQUENCES SET LAST_VALUE = NEW.ID
   WHERE NAME = 'SEQ_UP_DELT' AND LAST_VALUE < NEW.ID;
END;

-- Validity and dates must describe one stage: each date needs the one before
-- it, closing needs a delivered quantity, a void requisition has no dates, and
-- the dates follow each other in time (whole days).
CREATE TRIGGER UP_DELT_BU BEFORE UPDATE OF ACTV, DTFIN, DTSENT, DTARRIVED, DTRECEIVED, DTCLOSED ON UP_DELT
BEGIN
  SELECT RAISE(ABORT, 'ORA-20003: Δεν μπορεί να ακυρωθεί δελτίο που έχει οριστικοποιηθεί')
   WHERE NEW.ACTV = '0' AND OLD.ACTV IS NOT '0'
     AND (NEW.DTFIN IS NOT NULL OR NEW.DTSENT IS NOT NULL OR NEW.DTARRIVED IS NOT NULL
          OR NEW.DTRECEIVED IS NOT NULL OR NEW.DTCLOSED IS NOT NULL);
  SELECT RAISE(ABORT, 'ORA-20004: Το δελτίο είναι άκυρο και δεν προχωρά σε επόμενο στάδιο')
   WHERE NEW.ACTV = '0'
     AND (NEW.DTFIN IS NOT NULL OR NEW.DTSENT IS NOT NULL OR NEW.DTARRIVED IS NOT NULL
          OR NEW.DTRECEIVED IS NOT NULL OR NEW.DTCLOSED IS NOT NULL);
  SELECT RAISE(ABORT, 'ORA-20005: Δεν μπορεί να οριστικοποιηθεί δελτίο χωρίς αξία')
   WHERE OLD.DTFIN IS NULL AND NEW.DTFIN IS NOT NULL
     AND (SELECT total(QTY * UP) FROM UP_DELTD WHERE MID = NEW.ID) <= 0;
  SELECT RAISE(ABORT, 'ORA-20006: Το δελτίο αποστέλλεται μόνο αφού οριστικοποιηθεί')
   WHERE NEW.DTSENT IS NOT NULL AND NEW.DTFIN IS NULL;
  SELECT RAISE(ABORT, 'ORA-20007: Η ημερομηνία άφιξης καταχωρείται μόνο αφού αποσταλεί το δελτίο')
   WHERE NEW.DTARRIVED IS NOT NULL AND NEW.DTSENT IS NULL;
  SELECT RAISE(ABORT, 'ORA-20008: Η ημερομηνία παραλαβής καταχωρείται μόνο μετά την ημερομηνία άφιξης')
   WHERE NEW.DTRECEIVED IS NOT NULL AND NEW.DTARRIVED IS NULL;
  SELECT RAISE(ABORT, 'ORA-20009: Το δελτίο κλείνει μόνο στο στάδιο παράδοσης, αφού καταχωρηθούν παραδοθείσες ποσότητες')
   WHERE NEW.DTCLOSED IS NOT NULL
     AND (NEW.DTRECEIVED IS NULL
          OR NOT EXISTS (SELECT 1 FROM UP_DELTD WHERE MID = NEW.ID AND QTYDEL > 0));
  SELECT RAISE(ABORT, 'ORA-20010: Υπάρχουν παραδοθείσες ποσότητες, η ημερομηνία παραλαβής δεν μπορεί να σβηστεί')
   WHERE NEW.DTRECEIVED IS NULL
     AND EXISTS (SELECT 1 FROM UP_DELTD WHERE MID = NEW.ID AND QTYDEL > 0);
  SELECT RAISE(ABORT, 'ORA-20011: Οι ημερομηνίες του δελτίου ακολουθούν τη σειρά οριστικοποίηση, αποστολή, άφιξη, παραλαβή, κλείσιμο')
   WHERE CAST(NEW.DTSENT AS INTEGER) < CAST(NEW.DTFIN AS INTEGER)
      OR CAST(NEW.DTARRIVED AS INTEGER) < CAST(NEW.DTSENT AS INTEGER)
      OR CAST(NEW.DTRECEIVED AS INTEGER) < CAST(NEW.DTARRIVED AS INTEGER)
      OR CAST(NEW.DTCLOSED AS INTEGER) < CAST(NEW.DTRECEIVED AS INTEGER);
END;

-- After any change the stage and the totals follow the row and its lines.
CREATE TRIGGER UP_DELT_AU AFTER UPDATE ON UP_DELT
BEGIN
  UPDATE UP_DELT SET (VALTOT, QTYTOT, VALDELIV, QTYDELIV) =
         (SELECT VALTOT, QTYTOT, VALDELIV, QTYDELIV FROM MERO_DELT_TOTALS WHERE ID = NEW.ID)
   WHERE ID = NEW.ID
     AND EXISTS (SELECT 1 FROM MERO_DELT_TOTALS t
                  WHERE t.ID = NEW.ID
                    AND (t.VALTOT IS NOT UP_DELT.VALTOT OR t.QTYTOT IS NOT UP_DELT.QTYTOT
                         OR t.VALDELIV IS NOT UP_DELT.VALDELIV OR t.QTYDELIV IS NOT UP_DELT.QTYDELIV));
  UPDATE UP_DELT SET STATE = (SELECT STAGE FROM MERO_DELT_STAGE WHERE ID = NEW.ID)
   WHERE ID = NEW.ID AND STATE IS NOT (SELECT STAGE FROM MERO_DELT_STAGE WHERE ID = NEW.ID);
  UPDATE MERO_SEQUENCES SET LAST_VALUE = NEW.ID
   WHERE NAME = 'SEQ_UP_DELT' AND LAST_VALUE < NEW.ID;
END;

-- STATE is written only by the rules above.
CREATE TRIGGER UP_DELT_STATE AFTER UPDATE OF STATE ON UP_DELT
BEGIN
  SELECT RAISE(ABORT, 'ORA-20002: Το στάδιο του δελτίου το ορίζει η βάση δεδομένων από τις ημερομηνίες του')
   WHERE NEW.STATE IS NOT (SELECT STAGE FROM MERO_DELT_STAGE WHERE ID = NEW.ID);
END;

-- Only drafts and void requisitions are deleted (their lines first).
CREATE TRIGGER UP_DELT_BD BEFORE DELETE ON UP_DELT
BEGIN
  SELECT RAISE(ABORT, 'ORA-20012: Διαγράφονται μόνο δελτία στο στάδιο 0 ή 1')
   WHERE OLD.DTFIN IS NOT NULL;
END;

-- Requisition lines -------------------------------------------------------------

-- Lines are added only to drafts, with a whole positive quantity and nothing
-- delivered.
CREATE TRIGGER UP_DELTD_BI BEFORE INSERT ON UP_DELTD
BEGIN
  SELECT RAISE(ABORT, 'ORA-20013: Γραμμές προστίθενται μόνο σε δελτίο στο στάδιο 1')
   WHERE EXISTS (SELECT 1 FROM UP_DELT WHERE ID = NEW.MID AND STATE IS NOT 1);
  SELECT RAISE(ABORT, 'ORA-20014: Η ποσότητα της γραμμής πρέπει να είναι θετικός ακέραιος αριθμός')
   WHERE NEW.QTY IS NULL OR typeof(NEW.QTY) NOT IN ('integer', 'real')
      OR NEW.QTY <= 0 OR NEW.QTY <> CAST(NEW.QTY AS INTEGER);
  SELECT RAISE(ABORT, 'ORA-20016: Παραδοθείσες ποσότητες καταχωρούνται μόνο στα στάδια 7 και 8')
   WHERE coalesce(NEW.QTYDEL, 0) <> 0;
END;

-- What was ordered changes only in a draft; delivered quantities only once the
-- requisition has been received and until it is closed (stages 7 and 8).
CREATE TRIGGER UP_DELTD_BU BEFORE UPDATE ON UP_DELTD
BEGIN
  SELECT RAISE(ABORT, 'ORA-20015: Οι γραμμές του δελτίου αλλάζουν μόνο στο στάδιο 1')
   WHERE (NEW.ID IS NOT OLD.ID OR NEW.MID IS NOT OLD.MID OR NEW.PRID IS NOT OLD.PRID
          OR NEW.CID IS NOT OLD.CID OR NEW.CODE IS NOT OLD.CODE OR NEW.QTY IS NOT OLD.QTY
          OR NEW.UP IS NOT OLD.UP OR NEW.XRUID IS NOT OLD.XRUID OR NEW.ITEMAA IS NOT OLD.ITEMAA)
     AND EXISTS (SELECT 1 FROM UP_DELT WHERE ID IN (OLD.MID, NEW.MID) AND STATE IS NOT 1);
  SELECT RAISE(ABORT, 'ORA-20014: Η ποσότητα της γραμμής πρέπει να είναι θετικός ακέραιος αριθμός')
   WHERE NEW.QTY IS NOT OLD.QTY
     AND (NEW.QTY IS NULL OR typeof(NEW.QTY) NOT IN ('integer', 'real')
          OR NEW.QTY <= 0 OR NEW.QTY <> CAST(NEW.QTY AS INTEGER));
  SELECT RAISE(ABORT, 'ORA-20016: Παραδοθείσες ποσότητες καταχωρούνται μόνο στα στάδια 7 και 8')
   WHERE coalesce(NEW.QTYDEL, 0) IS NOT coalesce(OLD.QTYDEL, 0)
     AND EXISTS (SELECT 1 FROM UP_DELT WHERE ID = NEW.MID AND STATE NOT IN (7, 8));
  SELECT RAISE(ABORT, 'ORA-20017: Η παραδοθείσα ποσότητα πρέπει να είναι μη αρνητικός ακέραιος αριθμός')
   WHERE NEW.QTYDEL IS NOT NULL
     AND (typeof(NEW.QTYDEL) NOT IN ('integer', 'real')
          OR NEW.QTYDEL < 0 OR NEW.QTYDEL <> CAST(NEW.QTYDEL AS INTEGER));
END;

CREATE TRIGGER UP_DELTD_BD BEFORE DELETE ON UP_DELTD
BEGIN
  SELECT RAISE(ABORT, 'ORA-20018: Γραμμές διαγράφονται μόνο από δελτίο στο στάδιο 0 ή 1')
   WHERE EXISTS (SELECT 1 FROM UP_DELT WHERE ID = OLD.MID AND DTFIN IS NOT NULL);
END;

-- The header's totals (and through them its stage) follow every line change;
-- touching the header runs UP_DELT_AU.
CREATE TRIGGER UP_DELTD_AI AFTER INSERT ON UP_DELTD
BEGIN
  UPDATE UP_DELT SET (VALTOT, QTYTOT, VALDELIV, QTYDELIV) =
         (SELECT VALTOT, QTYTOT, VALDELIV, QTYDELIV FROM MERO_DELT_TOTALS WHERE ID = NEW.MID)
   WHERE ID = NEW.MID;
END;

CREATE TRIGGER UP_DELTD_AU AFTER UPDATE ON UP_DELTD
BEGIN
  UPDATE UP_DELT SET (VALTOT, QTYTOT, VALDELIV, QTYDELIV) =
         (SELECT VALTOT, QTYTOT, VALDELIV, QTYDELIV FROM MERO_DELT_TOTALS t WHERE t.ID = UP_DELT.ID)
   WHERE ID IN (OLD.MID, NEW.MID);
END;

CREATE TRIGGER UP_DELTD_AD AFTER DELETE ON UP_DELTD
BEGIN
  UPDATE UP_DELT SET (VALTOT, QTYTOT, VALDELIV, QTYDELIV) =
         (SELECT VALTOT, QTYTOT, VALDELIV, QTYDELIV FROM MERO_DELT_TOTALS WHERE ID = OLD.MID)
   WHERE ID = OLD.MID;
END;

-- Unit budgets ------------------------------------------------------------------

-- Whatever is written to a budget row, VORD1 and VYPOL1 are recomputed
-- (MERO_UORGN_FIGURES), so "update UORGN set VYPOL1=0 where ..." brings the
-- row up to date.
CREATE TRIGGER UORGN_AI AFTER INSERT ON UORGN
BEGIN
  UPDATE UORGN SET (VORD1, VYPOL1) =
         (SELECT VORD1, VYPOL1 FROM MERO_UORGN_FIGURES f WHERE f.ORGID = NEW.ORGID AND f.SID = NEW.SID)
   WHERE ORGID = NEW.ORGID AND SID = NEW.SID
     AND EXISTS (SELECT 1 FROM MERO_UORGN_FIGURES f
                  WHERE f.ORGID = NEW.ORGID AND f.SID = NEW.SID
                    AND (f.VORD1 IS NOT UORGN.VORD1 OR f.VYPOL1 IS NOT UORGN.VYPOL1));
END;

CREATE TRIGGER UORGN_AU AFTER UPDATE ON UORGN
BEGIN
  UPDATE UORGN SET (VORD1, VYPOL1) =
         (SELECT VORD1, VYPOL1 FROM MERO_UORGN_FIGURES f WHERE f.ORGID = NEW.ORGID AND f.SID = NEW.SID)
   WHERE ORGID = NEW.ORGID AND SID = NEW.SID
     AND EXISTS (SELECT 1 FROM MERO_UORGN_FIGURES f
                  WHERE f.ORGID = NEW.ORGID AND f.SID = NEW.SID
                    AND (f.VORD1 IS NOT UORGN.VORD1 OR f.VYPOL1 IS NOT UORGN.VYPOL1));
END;

-- A requisition that changes its stage, value, unit or contract, or is added
-- or removed, brings the budget rows it counts in up to date at once (the old
-- and the new unit and contract), so that a figure read without touching
-- UORGN is today's. Rows already current are left alone.
CREATE TRIGGER UP_DELT_BUDGET_AI AFTER INSERT ON UP_DELT
BEGIN
  UPDATE UORGN SET (VORD1, VYPOL1) =
         (SELECT VORD1, VYPOL1 FROM MERO_UORGN_FIGURES f WHERE f.ORGID = UORGN.ORGID AND f.SID = UORGN.SID)
   WHERE ORGID = NEW.ORGID AND CAST(SID AS INTEGER) = NEW.SID
     AND EXISTS (SELECT 1 FROM MERO_UORGN_FIGURES f
                  WHERE f.ORGID = UORGN.ORGID AND f.SID = UORGN.SID
                    AND (f.VORD1 IS NOT UORGN.VORD1 OR f.VYPOL1 IS NOT UORGN.VYPOL1));
END;

CREATE TRIGGER UP_DELT_BUDGET_AU AFTER UPDATE ON UP_DELT
WHEN OLD.STATE IS NOT NEW.STATE OR OLD.VALTOT IS NOT NEW.VALTOT
  OR OLD.ORGID IS NOT NEW.ORGID OR OLD.SID IS NOT NEW.SID
BEGIN
  UPDATE UORGN SET (VORD1, VYPOL1) =
         (SELECT VORD1, VYPOL1 FROM MERO_UORGN_FIGURES f WHERE f.ORGID = UORGN.ORGID AND f.SID = UORGN.SID)
   WHERE ((ORGID = NEW.ORGID AND CAST(SID AS INTEGER) = NEW.SID)
          OR (ORGID = OLD.ORGID AND CAST(SID AS INTEGER) = OLD.SID))
     AND EXISTS (SELECT 1 FROM MERO_UORGN_FIGURES f
                  WHERE f.ORGID = UORGN.ORGID AND f.SID = UORGN.SID
                    AND (f.VORD1 IS NOT UORGN.VORD1 OR f.VYPOL1 IS NOT UORGN.VYPOL1));
END;

CREATE TRIGGER UP_DELT_BUDGET_AD AFTER DELETE ON UP_DELT
BEGIN
  UPDATE UORGN SET (VORD1, VYPOL1) =
         (SELECT VORD1, VYPOL1 FROM MERO_UORGN_FIGURES f WHERE f.ORGID = UORGN.ORGID AND f.SID = UORGN.SID)
   WHERE ORGID = OLD.ORGID AND CAST(SID AS INTEGER) = OLD.SID
     AND EXISTS (SELECT 1 FROM MERO_UORGN_FIGURES f
                  WHERE f.ORGID = UORGN.ORGID AND f.SID = UORGN.SID
                    AND (f.VORD1 IS NOT UORGN.VORD1 OR f.VYPOL1 IS NOT UORGN.VYPOL1));
END;
