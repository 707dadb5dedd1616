-- Rows every database starts with: DUAL, the "no delivery point" placeholder,
-- the requisition sequence and the parameter keys with their defaults.

INSERT INTO DUAL (DUMMY) VALUES ('X');

INSERT INTO UDELIVERY (ID, NAME) VALUES ('-', 'Χωρίς σημείο παράδοσης');

INSERT INTO MERO_SEQUENCES (NAME, LAST_VALUE) VALUES ('SEQ_UP_DELT', 0);
-- SQLite's own counter of requisition IDs, kept at or above the sequence.
INSERT INTO sqlite_sequence (name, seq) VALUES ('UP_DELT', 0);

-- DELT_COUNTER: the last requisition number issued.
-- MAX_DELT_ITEMS: the most lines a requisition may have.
-- CONSUM_ONLY_REQ: 1 = only consumables on the printer's requirement list.
-- ALLOW_OVER_LIMIT1, ALLOW_OVER_ANAL: 1 = going over the limit / the allotted
--   amount asks for confirmation, otherwise it is refused.
-- UP_CURRENT_SYMBID: the contract whose figures the lists show (0: none yet).
INSERT INTO UP_OVPARAMS (PNM, PVALN) VALUES ('DELT_COUNTER', 0);
INSERT INTO UP_OVPARAMS (PNM, PVALN) VALUES ('MAX_DELT_ITEMS', 10);
INSERT INTO UP_OVPARAMS (PNM, PVALN) VALUES ('CONSUM_ONLY_REQ', 0);
INSERT INTO UP_OVPARAMS (PNM, PVALN) VALUES ('ALLOW_OVER_LIMIT1', 1);
INSERT INTO UP_OVPARAMS (PNM, PVALN) VALUES ('ALLOW_OVER_ANAL', 0);
INSERT INTO UP_OVPARAMS (PNM, PVALN) VALUES ('UP_CURRENT_SYMBID', 0);
