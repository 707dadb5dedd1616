-- Demo data of a university's printers and toner orders. @TODAY@ stands for
-- the day the database is created (a date-time number), so that one contract
-- is open on that day and the requisitions' dates lie behind it. The demo
-- users are inserted by the program with hashed passwords.

-- Departments, and the shell's small tables -------------------------------------

INSERT INTO DEPT (ID, NAME, TYPTYP, TYPSXOLH) VALUES
  ('D01', 'Κεντρική Διοίκηση', 0, 0),
  ('D02', 'Τμήμα Γραμματείας', 1, 1),
  ('D03', 'Τμήμα Φυσικής', 1, 2),
  ('D04', 'Τμήμα Μαθηματικών', 1, 2),
  ('D05', 'Τμήμα Πληροφορικής', 2, 2);

INSERT INTO QAPOL (ID, NAME) VALUES (1, 'Εκπαιδευτικό προσωπικό'), (2, 'Διοικητικό προσωπικό'), (3, 'Τεχνικό προσωπικό');
INSERT INTO COOP (APPID, NAME) VALUES ('MERO', 'Εκτυπωτές και αναλώσιμα');
INSERT INTO STAFF (ID, NAME, DEPTID) VALUES (1, 'Παπαδοπούλου Μαρία', 'D02'), (2, 'Αντωνίου Νικόλαος', 'D03'),
  (3, 'Γεωργίου Ελένη', 'D04');

-- Units: codes are prefixes of the codes of the units below them ------------------

INSERT INTO UORG (ID, NAME, LEVEL1, PROIST_UID, TEL1, EMAIL, TONER_UID, TON, LOCID, AD_GROUP, NDEPTID, MYDEPTID, FULLNAME, MASTID) VALUES
  ('0.01', 'Πρυτανεία', 1, 'a.karamanlis', '210 3689001', 'prytaneia@uni.example.gr', 'kostas', 1, 'ATH-KENTRO', 'GRP-PRYT', 1, '01', 'Πρυτανεία του Πανεπιστημίου', NULL),
  ('0.02', 'Διεύθυνση Διοικητικού', 1, 'g.stathopoulos', '210 3689100', 'dioikitiko@uni.example.gr', NULL, 0, 'ATH-KENTRO', 'GRP-DIOIK', 2, '02', 'Διεύθυνση Διοικητικού', NULL),
  ('0.02.01', 'Τμήμα Προσωπικού', 2, 'e.nikolaou', '210 3689110', 'prosopiko@uni.example.gr', 'eleni;kostas', 1, 'ATH-KENTRO', 'GRP-PROS', 21, '02', 'Διεύθυνση Διοικητικού - Τμήμα Προσωπικού', '0.02'),
  ('0.02.02', 'Τμήμα Γραμματείας', 2, 'm.papadopoulou', '210 3689120', 'grammateia@uni.example.gr', 'maria', 1, 'ATH-KENTRO', 'GRP-GRAM', 22, '02', 'Διεύθυνση Διοικητικού - Τμήμα Γραμματείας', '0.02'),
  ('0.02.02.01', 'Γραφείο Αρχείου', 3, 'a.vlachou', '210 3689125', 'archeio@uni.example.gr', NULL, 0, 'ATH-KENTRO', 'GRP-GRAM', 221, '02', 'Τμήμα Γραμματείας - Γραφείο Αρχείου', '0.02.02'),
  ('0.02.02.03', 'Γραφείο Πρωτοκόλλου', 3, 's.michailidis', '210 3689127', 'protokollo@uni.example.gr', NULL, 0, 'ATH-KENTRO', 'GRP-GRAM', 223, '02', 'Τμήμα Γραμματείας - Γραφείο Πρωτοκόλλου', '0.02.02'),
  ('0.03', 'Διεύθυνση Οικονομικών Υπηρεσιών', 1, 'p.oikonomou', '210 3688000', 'oikonomiko@uni.example.gr', NULL, 0, 'ATH-LADA', 'GRP-OIK', 3, '03', 'Διεύθυνση Οικονομικών Υπηρεσιών', NULL),
  ('0.03.01', 'Τμήμα Προμηθειών', 2, 'k.alexiou', '210 3688010', 'promitheies@uni.example.gr', 'giorgos', 1, 'ATH-LADA', 'GRP-PROM', 31, '03', 'Οικονομικές Υπηρεσίες - Τμήμα Προμηθειών', '0.03'),
  ('0.03.02', 'Τμήμα Λογιστηρίου', 2, 'd.kyriakou', '210 3688020', 'logistirio@uni.example.gr', 'giorgos', 0, 'ATH-LADA', 'GRP-LOG', 32, '03', 'Οικονομικές Υπηρεσίες - Τμήμα Λογιστηρίου', '0.03'),
  ('0.04', 'Σχολή Θετικών Επιστημών', 1, 'i.dimitriou', '210 7276000', 'sthe@uni.example.gr', NULL, 0, 'ZOGRAFOU', 'GRP-STHE', 4, '04', 'Σχολή Θετικών Επιστημών', NULL),
  ('0.04.01', 'Τμήμα Μαθηματικών', 2, 'n.konstantinou', '210 7276100', 'math@uni.example.gr', 'eleni', 1, 'ZOGRAFOU', 'GRP-MATH', 41, '04', 'Σχολή Θετικών Επιστημών - Τμήμα Μαθηματικών', '0.04'),
  ('0.04.01.01', 'Βιβλιοθήκη Μαθηματικών', 3, 'f.anagnostou', '210 7276150', 'math-lib@uni.example.gr', NULL, 0, 'ZOGRAFOU', 'GRP-MATH', 411, '04', 'Τμήμα Μαθηματικών - Βιβλιοθήκη', '0.04.01'),
  ('0.04.02', 'Τμήμα Φυσικής', 2, 'ch.petridis', '210 7276800', 'phys@uni.example.gr', 'maria', 1, 'ZOGRAFOU', 'GRP-PHYS', 42, '04', 'Σχολή Θετικών Επιστημών - Τμήμα Φυσικής', '0.04'),
  ('0.04.02.01', 'Εργαστήριο Ηλεκτρονικής', 3, 'd.sotiriou', '210 7276850', 'electronics@uni.example.gr', NULL, 0, 'ZOGRAFOU', 'GRP-PHYS', 421, '04', 'Τμήμα Φυσικής - Εργαστήριο Ηλεκτρονικής', '0.04.02'),
  ('0.04.02.02', 'Εργαστήριο Οπτικής', 3, 'm.lamprou', '210 7276870', 'optics@uni.example.gr', NULL, 0, 'ZOGRAFOU', 'GRP-PHYS', 422, '04', 'Τμήμα Φυσικής - Εργαστήριο Οπτικής', '0.04.02');

-- Delivery points (the placeholder '-' is part of every database) ----------------

INSERT INTO UDELIVERY (ID, NAME, ADDR1, TK, CITY, TEL) VALUES
  ('001', 'Κεντρική Αποθήκη Πανεπιστημιούπολης', 'Πανεπιστημιούπολη Ζωγράφου', '15784', 'Αθήνα', '210 7274000'),
  ('002', 'Κτίριο Διοίκησης - Υποδοχή', 'Πανεπιστημίου 30', '10679', 'Αθήνα', '210 3689000'),
  ('003', 'Γραμματεία Σχολής Θετικών Επιστημών', 'Πανεπιστημιούπολη Ζωγράφου', '15784', 'Αθήνα', '210 7276000'),
  ('004', 'Αποθήκη Οικονομικών Υπηρεσιών', 'Χρήστου Λαδά 6', '10561', 'Αθήνα', '210 3688000'),
  ('005', 'Εργαστήρια Φυσικής - Ισόγειο', 'Πανεπιστημιούπολη Ζωγράφου', '15784', 'Αθήνα', '210 7276800'),
  ('006', 'Παράρτημα Πειραιά', 'Ακτή Μιαούλη 45', '18536', 'Πειραιάς', '210 4142000');

INSERT INTO UP_BUILDINGS (ID, DESCR, ADDR) VALUES
  ('B01', 'Κτίριο Διοίκησης', 'Πανεπιστημίου 30'),
  ('B02', 'Κτίριο Οικονομικών Υπηρεσιών', 'Χρήστου Λαδά 6'),
  ('B03', 'Κτίριο Θετικών Επιστημών', 'Πανεπιστημιούπολη Ζωγράφου'),
  ('B04', 'Εργαστήρια Φυσικής', 'Πανεπιστημιούπολη Ζωγράφου'),
  ('B05', 'Βιβλιοθήκη Θετικών Επιστημών', NULL);

INSERT INTO UP_SPICE (ID, NAME) VALUES
  ('100231', 'Εκτυπωτής Πρυτανείας'),
  ('100487', 'Εκτυπωτής Γραμματείας'),
  ('100512', 'Εκτυπωτής Φυσικής'),
  ('100733', 'Εκτυπωτής Προμηθειών');

-- Makers, models and consumables ------------------------------------------------------

INSERT INTO UP_MANUF (ID, SNAME, NAME) VALUES
  ('HP', 'HP', 'HP Hellas'),
  ('BR', 'Brother', 'Brother International'),
  ('CN', 'Canon', 'Canon Hellas'),
  ('EP', 'Epson', 'Epson Europe'),
  ('KY', 'Kyocera', 'Kyocera Document Solutions'),
  ('LX', 'Lexmark', 'Lexmark International');

-- IL: L laser, I inkjet; COL: 0 monochrome, 3 three colours and black in one
-- tank set, 4 four separate colours.
INSERT INTO UP_PR_MODELS (ID, FULLNAME, HASETH, IL, COL, MANID, ISCP, FLG) VALUES
  ('HPM404', 'HP LaserJet Pro M404dn', 1, 'L', 0, 'HP', '1', 'DUPLEX'),
  ('HPM479', 'HP Color LaserJet Pro MFP M479fdw', 1, 'L', 4, 'HP', '1', 'DUPLEX;SCAN;FAX'),
  ('HPP1102', 'HP LaserJet Pro P1102', 0, 'L', 0, 'HP', '0', NULL),
  ('HPOJ9010', 'HP OfficeJet Pro 9010', 1, 'I', 4, 'HP', '0', 'DUPLEX;SCAN'),
  ('BRL2350', 'Brother HL-L2350DW', 1, 'L', 0, 'BR', '0', 'DUPLEX'),
  ('BRL3270', 'Brother HL-L3270CDW', 1, 'L', 4, 'BR', '1', 'DUPLEX'),
  ('CNMF443', 'Canon i-SENSYS MF443dw', 1, 'L', 0, 'CN', '1', 'DUPLEX;SCAN'),
  ('CNG6050', 'Canon PIXMA G6050', 1, 'I', 3, 'CN', '0', 'SCAN'),
  ('EPL6190', 'Epson EcoTank L6190', 1, 'I', 4, 'EP', '0', 'SCAN;FAX'),
  ('EPWF4820', 'Epson WorkForce WF-4820DWF', 1, 'I', 4, 'EP', '0', 'DUPLEX;SCAN;FAX'),
  ('KYP2040', 'Kyocera ECOSYS P2040dn', 1, 'L', 0, 'KY', '1', 'DUPLEX'),
  ('LXCS421', 'Lexmark CS421dn', 1, 'L', 4, 'LX', '1', 'DUPLEX');

-- COSTPP is the cost of a thousand pages in euros.
INSERT INTO UP_CONS (ID, CODE, CTYPE, REPLID, CODEREQ, COL, PAGECNT, UP, CTYPEORG, MANID, GEN, COMM) VALUES
  (1, 'HP 59A Μαύρο Toner (CF259A)', 'Toner', NULL, 'CF259A', 'K', 3000, 89.00, 'TONER', 'HP', '1', NULL),
  (2, 'HP 59X Μαύρο Toner υψηλής απόδοσης (CF259X)', 'Toner', NULL, 'CF259X', 'K', 10000, 189.00, 'TONER', 'HP', '1', 'Για εκτυπωτές μεγάλου φόρτου'),
  (3, 'HP 415A Μαύρο Toner (W2030A)', 'Toner', NULL, 'W2030A', 'K', 2400, 95.00, 'TONER', 'HP', '1', NULL),
  (4, 'HP 415A Κυανό Toner (W2031A)', 'Toner', NULL, 'W2031A', 'C', 2100, 118.00, 'TONER', 'HP', '1', NULL),
  (5, 'HP 415A Κίτρινο Toner (W2032A)', 'Toner', NULL, 'W2032A', 'Y', 2100, 118.00, 'TONER', 'HP', '1', NULL),
  (6, 'HP 415A Ματζέντα Toner (W2033A)', 'Toner', NULL, 'W2033A', 'M', 2100, 118.00, 'TONER', 'HP', '1', NULL),
  (7, 'HP 85A Μαύρο Toner (CE285A)', 'Toner', NULL, 'CE285A', 'K', 1600, 62.00, 'TONER', 'HP', '1', NULL),
  (8, 'HP 963 Μαύρο Μελάνι (3JA26AE)', 'Ink', NULL, '3JA26AE', 'K', 1000, 32.00, 'INK', 'HP', '1', NULL),
  (9, 'HP 963 Κυανό Μελάνι (3JA23AE)', 'Ink', NULL, '3JA23AE', 'C', 700, 24.00, 'INK', 'HP', '1', NULL),
  (10, 'HP 963 Ματζέντα Μελάνι (3JA24AE)', 'Ink', NULL, '3JA24AE', 'M', 700, 24.00, 'INK', 'HP', '1', NULL),
  (11, 'HP 963 Κίτρινο Μελάνι (3JA25AE)', 'Ink', NULL, '3JA25AE', 'Y', 700, 24.00, 'INK', 'HP', '1', NULL),
  (12, 'Brother TN-2420 Μαύρο Toner', 'Toner', NULL, 'TN-2420', 'K', 3000, 68.00, 'TONER', 'BR', '1', NULL),
  (13, 'Brother DR-2400 Τύμπανο', 'Drum', NULL, 'DR-2400', 'K', 12000, 95.00, 'DRUM', 'BR', '1', 'Αλλάζει κάθε τέσσερα toner'),
  (14, 'Brother TN-2410 Μαύρο Toner', 'Toner', 12, 'TN-2410', 'K', 1200, 45.00, 'TONER', 'BR', '1', 'Αντικαταστάθηκε από το TN-2420'),
  (15, 'Brother TN-247BK Μαύρο Toner', 'Toner', NULL, 'TN-247BK', 'K', 3000, 82.00, 'TONER', 'BR', '1', NULL),
  (16, 'Brother TN-247C Κυανό Toner', 'Toner', NULL, 'TN-247C', 'C', 2300, 88.00, 'TONER', 'BR', '1', NULL),
  (17, 'Brother TN-247M Ματζέντα Toner', 'Toner', NULL, 'TN-247M', 'M', 2300, 88.00, 'TONER', 'BR', '1', NULL),
  (18, 'Brother TN-247Y Κίτρινο Toner', 'Toner', NULL, 'TN-247Y', 'Y', 2300, 88.00, 'TONER', 'BR', '1', NULL),
  (19, 'Canon 057 Μαύρο Toner (3009C002)', 'Toner', NULL, '3009C002', 'K', 3100, 92.00, 'TONER', 'CN', '1', NULL),
  (20, 'Canon GI-50 PGBK Μαύρο Μελάνι', 'Ink', NULL, 'GI-50PGBK', 'K', 6000, 11.00, 'INK', 'CN', '1', NULL),
  (21, 'Canon GI-50 C Κυανό Μελάνι', 'Ink', NULL, 'GI-50C', 'C', 7700, 11.00, 'INK', 'CN', '1', NULL),
  (22, 'Canon GI-50 M Ματζέντα Μελάνι', 'Ink', NULL, 'GI-50M', 'M', 7700, 11.00, 'INK', 'CN', '1', NULL),
  (23, 'Canon GI-50 Y Κίτρινο Μελάνι', 'Ink', NULL, 'GI-50Y', 'Y', 7700, 11.00, 'INK', 'CN', '1', NULL),
  (24, 'Epson 101 Μαύρο Μελάνι (C13T03V14A)', 'Ink', NULL, 'C13T03V14A', 'K', 4500, 12.50, 'INK', 'EP', '1', NULL),
  (25, 'Epson 101 Κυανό Μελάνι (C13T03V24A)', 'Ink', NULL, 'C13T03V24A', 'C', 7500, 12.50, 'INK', 'EP', '1', NULL),
  (26, 'Epson 101 Ματζέντα Μελάνι (C13T03V34A)', 'Ink', NULL, 'C13T03V34A', 'M', 7500, 12.50, 'INK', 'EP', '1', NULL),
  (27, 'Epson 101 Κίτρινο Μελάνι (C13T03V44A)', 'Ink', NULL, 'C13T03V44A', 'Y', 7500, 12.50, 'INK', 'EP', '1', NULL),
  (28, 'Epson 405XL Μαύρο Μελάνι (C13T05H14010)', 'Ink', NULL, 'C13T05H14010', 'K', 1100, 38.00, 'INK', 'EP', '1', NULL),
  (29, 'Epson 405XL Κυανό Μελάνι (C13T05H24010)', 'Ink', NULL, 'C13T05H24010', 'C', 1100, 30.00, 'INK', 'EP', '1', NULL),
  (30, 'Epson 405XL Ματζέντα Μελάνι (C13T05H34010)', 'Ink', NULL, 'C13T05H34010', 'M', 1100, 30.00, 'INK', 'EP', '1', NULL),
  (31, 'Epson 405XL Κίτρινο Μελάνι (C13T05H44010)', 'Ink', NULL, 'C13T05H44010', 'Y', 1100, 30.00, 'INK', 'EP', '1', NULL),
  (32, 'Kyocera TK-1160 Μαύρο Toner', 'Toner', NULL, 'TK-1160', 'K', 7200, 78.00, 'TONER', 'KY', '1', NULL),
  (33, 'Lexmark 71B20K0 Μαύρο Toner', 'Toner', NULL, '71B20K0', 'K', 3000, 105.00, 'TONER', 'LX', '1', NULL),
  (34, 'Lexmark 71B20C0 Κυανό Toner', 'Toner', NULL, '71B20C0', 'C', 1400, 112.00, 'TONER', 'LX', '1', NULL),
  (35, 'Lexmark 71B20M0 Ματζέντα Toner', 'Toner', NULL, '71B20M0', 'M', 1400, 112.00, 'TONER', 'LX', '1', NULL),
  (36, 'Lexmark 71B20Y0 Κίτρινο Toner', 'Toner', NULL, '71B20Y0', 'Y', 1400, 112.00, 'TONER', 'LX', '1', NULL),
  (37, 'HP 415X Μαύρο Toner υψηλής απόδοσης (W2030X)', 'Toner', NULL, 'W2030X', 'K', 7500, 199.00, 'TONER', 'HP', '1', 'Δεν το χρειάζεται κανένας εκτυπωτής ακόμη');
UPDATE UP_CONS SET COSTPP = round(UP * 1000.0 / PAGECNT, 1) WHERE PAGECNT > 0;

INSERT INTO UP_MODEL_CONS (MODELID, CONSID) VALUES
  ('HPM404', 1), ('HPM404', 2),
  ('HPM479', 3), ('HPM479', 4), ('HPM479', 5), ('HPM479', 6), ('HPM479', 37),
  ('HPP1102', 7),
  ('HPOJ9010', 8), ('HPOJ9010', 9), ('HPOJ9010', 10), ('HPOJ9010', 11),
  ('BRL2350', 12), ('BRL2350', 13), ('BRL2350', 14),
  ('BRL3270', 15), ('BRL3270', 16), ('BRL3270', 17), ('BRL3270', 18),
  ('CNMF443', 19),
  ('CNG6050', 20), ('CNG6050', 21), ('CNG6050', 22), ('CNG6050', 23),
  ('EPL6190', 24), ('EPL6190', 25), ('EPL6190', 26), ('EPL6190', 27),
  ('EPWF4820', 28), ('EPWF4820', 29), ('EPWF4820', 30), ('EPWF4820', 31),
  ('KYP2040', 32),
  ('LXCS421', 33), ('LXCS421', 34), ('LXCS421', 35), ('LXCS421', 36);

-- Printers: 42 across the units; five have no user and cannot be ordered
-- for. The printers of 0.04.01 have no delivery point.
INSERT INTO UP_PRINTERS (ID, MODELID, SN, ORGID, BUILDINGID, OFFICE, USERPID, ORDERPID, DELPID, SPICEID, CP18ID, YRPROD) VALUES
  ('P001', 'HPM479', 'VNB3R41205', '0.01', 'B01', 'Γραφείο Πρύτανη, 1ος όροφος', 'kostas', 'kostas', '002', '100231', 11, 2021),
  ('P002', 'HPM404', 'PHBBK23871', '0.01', 'B01', 'Γραμματεία Πρυτανείας, 1ος όροφος', 'christina', 'kostas', '002', NULL, 12, 2020),
  ('P003', 'CNMF443', 'XPD07734', '0.01', 'B01', 'Γραφείο Αντιπρυτάνεων, 2ος όροφος', 'vasilis', 'kostas', '002', NULL, 12, 2022),
  ('P004', 'HPM404', 'PHBBK24110', '0.02', 'B01', 'Γραφείο Διευθυντή, 3ος όροφος', 'katerina', NULL, '002', NULL, 12, 2020),
  ('P005', 'BRL2350', 'E78066L0N412', '0.02.01', 'B01', 'Τμήμα Προσωπικού, γραφείο 301', 'anna', 'kostas', '002', NULL, 13, 2019),
  ('P006', 'KYP2040', 'R4P9Z04551', '0.02.01', 'B01', 'Τμήμα Προσωπικού, γραφείο 302', 'petros', 'kostas', '002', NULL, 13, 2021),
  ('P007', 'HPP1102', 'VNF4C19931', '0.02.01', 'B01', 'Αίθουσα συσκέψεων 3ου ορόφου', NULL, 'kostas', '002', NULL, 14, 2015),
  ('P008', 'HPM404', 'PHBBK25532', '0.02.02', 'B01', 'Γραφείο 12, ισόγειο', 'maria', 'maria', '002', '100487', 12, 2020),
  ('P009', 'HPM479', 'VNB3R41877', '0.02.02', 'B01', 'Γραφείο 12, ισόγειο', 'maria', 'maria', '002', NULL, 11, 2021),
  ('P010', 'BRL2350', 'E78066L0N733', '0.02.02', 'B01', 'Γραφείο 14, ισόγειο', 'sofia', 'maria', '002', NULL, 13, 2019),
  ('P011', 'KYP2040', 'R4P9Z04912', '0.02.02', 'B03', 'Γραφείο φοιτητών, Πανεπιστημιούπολη', 'yannis', 'maria', '001', NULL, 13, 2021),
  ('P012', 'HPOJ9010', 'TH0AL2R0Q1', '0.02.02', 'B03', 'Γραφείο φοιτητών, Πανεπιστημιούπολη', 'dimitra', 'maria', '001', NULL, 15, 2022),
  ('P013', 'HPM404', 'PHBBK25601', '0.02.02', 'B01', 'Διάδρομος ισογείου (κοινόχρηστος)', NULL, 'maria', '002', NULL, 12, 2020),
  ('P014', 'BRL2350', 'E78066L0N902', '0.02.02.01', 'B03', 'Αρχείο, υπόγειο', 'alexandros', 'maria', '001', NULL, 13, 2019),
  ('P015', 'HPP1102', 'VNF4C20114', '0.02.02.01', 'B03', 'Αρχείο, υπόγειο', 'sofia', 'maria', '001', NULL, 14, 2016),
  ('P016', 'HPM404', 'PHBBK26014', '0.02.02.03', 'B01', 'Πρωτόκολλο, ισόγειο', 'nikos', 'maria', '002', NULL, 12, 2020),
  ('P017', 'CNMF443', 'XPD08102', '0.02.02.03', 'B01', 'Πρωτόκολλο, ισόγειο', 'nikos', 'maria', '002', NULL, 12, 2022),
  ('P018', 'EPWF4820', 'X4DZ012345', '0.02.02.03', 'B01', 'Πρωτόκολλο, γραφείο 3', 'stavros', 'maria', '002', NULL, 15, 2021),
  ('P019', 'LXCS421', '50063PHH1K7', '0.03', 'B02', 'Γραφείο Διευθυντή', 'ioanna', NULL, '004', NULL, 11, 2020),
  ('P020', 'HPM404', 'PHBBK27350', '0.03.01', 'B02', 'Τμήμα Προμηθειών, γραφείο 5', 'giorgos', 'giorgos', '004', '100733', 12, 2020),
  ('P021', 'BRL3270', 'E79821K0N117', '0.03.01', 'B02', 'Τμήμα Προμηθειών, γραφείο 6', 'panagiotis', 'giorgos', '004', NULL, 11, 2022),
  ('P022', 'KYP2040', 'R4P9Z05230', '0.03.01', 'B02', 'Τμήμα Προμηθειών, γραφείο 7', 'georgia', 'giorgos', '004', NULL, 13, 2021),
  ('P023', 'HPM404', 'PHBBK27488', '0.03.02', 'B02', 'Λογιστήριο, γραφείο 10', 'michalis', 'giorgos', '004', NULL, 12, 2020),
  ('P024', 'KYP2040', 'R4P9Z05377', '0.03.02', 'B02', 'Λογιστήριο, γραφείο 11', 'eirini', 'giorgos', '004', NULL, 13, 2021),
  ('P025', 'HPP1102', 'VNF4C20556', '0.03.02', 'B02', 'Ταμείο', NULL, 'giorgos', '004', NULL, 14, 2014),
  ('P026', 'HPM479', 'VNB3R42301', '0.04', 'B03', 'Κοσμητεία, 1ος όροφος', 'theodoros', NULL, '003', NULL, 11, 2021),
  ('P027', 'HPM404', 'PHBBK28010', '0.04.01', 'B03', 'Γραμματεία Μαθηματικών', 'eleni', 'eleni', '-', NULL, 12, 2020),
  ('P028', 'BRL2350', 'E78066L0P015', '0.04.01', 'B03', 'Γραφείο διδασκόντων 204', 'nikos', 'eleni', '-', NULL, 13, 2019),
  ('P029', 'CNG6050', 'KMGB31877', '0.04.01', 'B03', 'Γραφείο διδασκόντων 210', 'andreas', 'eleni', NULL, NULL, 15, 2022),
  ('P030', 'EPL6190', 'X5E2033371', '0.04.01.01', 'B05', 'Βιβλιοθήκη, αναγνωστήριο', 'fotini', 'eleni', '-', NULL, 15, 2021),
  ('P031', 'HPP1102', 'VNF4C20871', '0.04.01.01', 'B05', 'Βιβλιοθήκη, δανεισμός', NULL, 'eleni', '-', NULL, 14, 2015),
  ('P032', 'LXCS421', '50063PHH2A1', '0.04.02', 'B04', 'Γραμματεία Φυσικής', 'spyros', 'maria', '005', '100512', 11, 2020),
  ('P033', 'HPM404', 'PHBBK28544', '0.04.02', 'B04', 'Γραφείο διδασκόντων 101', 'angeliki', 'maria', '005', NULL, 12, 2020),
  ('P034', 'BRL3270', 'E79821K0N350', '0.04.02', 'B04', 'Γραφείο διδασκόντων 102', 'nikos', 'maria', '005', NULL, 11, 2022),
  ('P035', 'EPL6190', 'X5E2033702', '0.04.02', 'B04', 'Αίθουσα μεταπτυχιακών', 'konstantinos', 'maria', '005', NULL, 15, 2021),
  ('P036', 'HPOJ9010', 'TH0AL2R1B7', '0.04.02.01', 'B04', 'Εργαστήριο Ηλεκτρονικής, πάγκος 1', 'evangelia', 'maria', '005', NULL, 15, 2022),
  ('P037', 'KYP2040', 'R4P9Z05801', '0.04.02.01', 'B04', 'Εργαστήριο Ηλεκτρονικής, γραφείο', 'dionysis', 'maria', '005', NULL, 13, 2021),
  ('P038', 'CNG6050', 'KMGB32004', '0.04.02.01', 'B04', 'Εργαστήριο Ηλεκτρονικής, πάγκος 2', NULL, 'maria', '005', NULL, 15, 2022),
  ('P039', 'EPWF4820', 'X4DZ013002', '0.04.02.02', 'B04', 'Εργαστήριο Οπτικής, γραφείο', 'charalambos', 'maria', '005', NULL, 15, 2021),
  ('P040', 'HPM404', 'PHBBK29120', '0.04.02.02', 'B04', 'Εργαστήριο Οπτικής, σκοτεινός θάλαμος', 'paraskevi', 'maria', '005', NULL, 12, 2020),
  ('P041', 'BRL2350', 'E78066L0P377', '0.04.02.02', 'B04', 'Εργαστήριο Οπτικής, αίθουσα 3', 'athanasios', 'maria', '005', NULL, 13, 2019),
  ('P042', 'LXCS421', '50063PHH2C9', '0.04.02.02', 'B04', 'Εργαστήριο Οπτικής, αίθουσα 4', 'marina', 'maria', '005', NULL, 11, 2020);
UPDATE UP_PRINTERS SET
  WEIGHT = CASE (SELECT IL FROM UP_PR_MODELS m WHERE m.ID = MODELID) WHEN 'L' THEN 11.5 ELSE 7.8 END,
  SIZ = 4, STAT = 1, LOCID = substr(ORGID, 1, 4),
  RMPV = CASE (SELECT COL FROM UP_PR_MODELS m WHERE m.ID = MODELID) WHEN 0 THEN 2500 ELSE 1500 END,
  CP20ID = CP18ID + 100;
UPDATE UP_PRINTERS SET SN2 = 'CN' || substr(SN, -6) WHERE MODELID IN ('HPM479', 'CNMF443');

-- Requirements: every printer with a user needs the consumables of its model
-- (two black, one of each colour), apart from replaced ones, drums and the
-- high-yield toners, which a few printers need explicitly (W2030X none).
INSERT INTO UP_CONS_REQ (PRID, CID, QTY, TECHPID, DIAG, CIDREQ, QTYORG)
SELECT p.ID, c.ID, CASE c.COL WHEN 'K' THEN 2 ELSE 1 END, 'admin', 0, c.ID, CASE c.COL WHEN 'K' THEN 2 ELSE 1 END
  FROM UP_PRINTERS p
  JOIN UP_MODEL_CONS mc ON mc.MODELID = p.MODELID
  JOIN UP_CONS c ON c.ID = mc.CONSID
 WHERE p.USERPID IS NOT NULL AND c.REPLID IS NULL AND c.CTYPE <> 'Drum' AND c.ID NOT IN (2, 37)
 ORDER BY p.ID, c.ID;
INSERT INTO UP_CONS_REQ (PRID, CID, QTY, TECHPID, DIAG, CIDREQ, QTYORG) VALUES
  ('P008', 2, 1, 'admin', 1, 1, 2),
  ('P010', 13, 1, 'admin', 1, 13, 1),
  ('P014', 13, 1, 'admin', 0, 13, 1),
  ('P033', 2, 1, 'admin', 0, 2, 1);

-- Contracts: one expired, one open today ----------------------------------------------

INSERT INTO UP_SYMB (ID, DESCR, SUPLNAME, DTFMLIM, DTTOLIM) VALUES
  (1, 'Προμήθεια αναλωσίμων εκτυπωτών, προηγούμενη περίοδος', 'Γραφική Ύλη Αττικής Α.Ε.', @TODAY@ - 425, @TODAY@ - 61),
  (2, 'Προμήθεια αναλωσίμων εκτυπωτών, τρέχουσα περίοδος', 'Τεχνοδομή Εφοδιαστική Α.Ε.', @TODAY@ - 60, @TODAY@ + 305);

INSERT INTO UP_SYMBD (ID, MID, CID, CODE, UP, ITEMAA, QSUG, GEN) VALUES
  (101, 1, 1, 'Toner HP 59A μαύρο (CF259A)', 85.00, 1, 30, '1'),
  (102, 1, 3, 'Toner HP 415A μαύρο (W2030A)', 92.00, 2, 10, '1'),
  (103, 1, 7, 'Toner HP 85A μαύρο (CE285A)', 60.00, 3, 12, '1'),
  (104, 1, 14, 'Toner Brother TN-2410 μαύρο', 45.00, 4, 20, '1'),
  (105, 1, 12, 'Toner Brother TN-2420 μαύρο', 66.00, 5, 20, '1'),
  (106, 1, 19, 'Toner Canon 057 μαύρο', 90.00, 6, 8, '1'),
  (107, 1, 32, 'Toner Kyocera TK-1160 μαύρο', 75.00, 7, 15, '1'),
  (108, 1, 33, 'Toner Lexmark 71B20K0 μαύρο', 100.00, 8, 6, '1'),
  (201, 2, 1, 'Toner HP 59A μαύρο (CF259A) γνήσιο', 89.00, 1, 40, '1'),
  (202, 2, 1, 'Toner συμβατό τύπου HP 59A μαύρο', 46.50, 2, 60, '0'),
  (203, 2, 2, 'Toner HP 59X μαύρο υψηλής απόδοσης (CF259X)', 189.00, 3, 10, '1'),
  (204, 2, 3, 'Toner HP 415A μαύρο (W2030A)', 95.00, 4, 12, '1'),
  (205, 2, 4, 'Toner HP 415A κυανό (W2031A)', 118.00, 5, 8, '1'),
  (206, 2, 5, 'Toner HP 415A κίτρινο (W2032A)', 118.00, 6, 8, '1'),
  (207, 2, 6, 'Toner HP 415A ματζέντα (W2033A)', 118.00, 7, 8, '1'),
  (208, 2, 7, 'Toner HP 85A μαύρο (CE285A)', 62.00, 8, 15, '1'),
  (209, 2, 8, 'Μελάνι HP 963 μαύρο', 32.00, 9, 10, '1'),
  (210, 2, 9, 'Μελάνι HP 963 κυανό', 24.00, 10, 6, '1'),
  (211, 2, 10, 'Μελάνι HP 963 ματζέντα', 24.00, 11, 6, '1'),
  (212, 2, 11, 'Μελάνι HP 963 κίτρινο', 24.00, 12, 6, '1'),
  (213, 2, 12, 'Toner Brother TN-2420 μαύρο', 68.00, 13, 30, '1'),
  (214, 2, 13, 'Τύμπανο Brother DR-2400', 95.00, 14, 6, '1'),
  (215, 2, 15, 'Toner Brother TN-247BK μαύρο', 82.00, 15, 10, '1'),
  (216, 2, 16, 'Toner Brother TN-247C κυανό', 88.00, 16, 6, '1'),
  (217, 2, 17, 'Toner Brother TN-247M ματζέντα', 88.00, 17, 6, '1'),
  (218, 2, 18, 'Toner Brother TN-247Y κίτρινο', 88.00, 18, 6, '1'),
  (219, 2, 19, 'Toner Canon 057 μαύρο', 92.00, 19, 8, '1'),
  (220, 2, 20, 'Μελάνι Canon GI-50 PGBK μαύρο', 11.00, 20, 10, '1'),
  (221, 2, 21, 'Μελάνι Canon GI-50 κυανό', 11.00, 21, 6, '1'),
  (222, 2, 22, 'Μελάνι Canon GI-50 ματζέντα', 11.00, 22, 6, '1'),
  (223, 2, 23, 'Μελάνι Canon GI-50 κίτρινο', 11.00, 23, 6, '1'),
  (224, 2, 24, 'Μελάνι Epson 101 μαύρο', 12.50, 24, 10, '1'),
  (225, 2, 25, 'Μελάνι Epson 101 κυανό', 12.50, 25, 6, '1'),
  (226, 2, 26, 'Μελάνι Epson 101 ματζέντα', 12.50, 26, 6, '1'),
  (227, 2, 27, 'Μελάνι Epson 101 κίτρινο', 12.50, 27, 6, '1'),
  (228, 2, 32, 'Toner Kyocera TK-1160 μαύρο', 78.00, 28, 20, '1'),
  (229, 2, 33, 'Toner Lexmark 71B20K0 μαύρο', 105.00, 29, 8, '1'),
  (230, 2, 34, 'Toner Lexmark 71B20C0 κυανό', 112.00, 30, 4, '1'),
  (231, 2, 35, 'Toner Lexmark 71B20M0 ματζέντα', 112.00, 31, 4, '1'),
  (232, 2, 36, 'Toner Lexmark 71B20Y0 κίτρινο', 112.00, 32, 4, '1');

UPDATE UP_OVPARAMS SET PVALN = 2 WHERE PNM = 'UP_CURRENT_SYMBID';

-- Requisitions, taken through their stages the way users and the dispatch do ---------

-- 1: Γραμματεία, closed, everything delivered.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (1, 1, 2, '0.02.02', '002', 'maria', 1, @TODAY@ - 55, 'Παράδοση στην υποδοχή του κτιρίου Διοίκησης, ισόγειο', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 1, p.ID, s.CID, s.CODE, 2, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID = 201 AND p.ID = 'P008';
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 1, p.ID, s.CID, s.CODE, 2, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID = 213 AND p.ID = 'P010';
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 1, p.ID, s.CID, s.CODE, 1, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID = 228 AND p.ID = 'P011';
UPDATE UP_DELT SET DTFIN = @TODAY@ - 55 WHERE ID = 1;
UPDATE UP_DELT SET DTSENT = @TODAY@ - 53 WHERE ID = 1;
UPDATE UP_DELT SET DTARRIVED = @TODAY@ - 50 WHERE ID = 1;
UPDATE UP_DELT SET DTRECEIVED = @TODAY@ - 49 WHERE ID = 1;
UPDATE UP_DELTD SET QTYDEL = QTY WHERE MID = 1;
UPDATE UP_DELT SET DTCLOSED = @TODAY@ - 45, COMM = 'Παραλήφθηκαν όλα' WHERE ID = 1;

-- 2: Γραμματεία, in delivery: two of four toners delivered.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (2, 2, 2, '0.02.02', '002', 'maria', 1, @TODAY@ - 30, 'Γραφείο 12, ισόγειο. Ώρες παραλαβής 09:00-14:00', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 2, p.ID, s.CID, s.CODE, 1, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p
 WHERE s.ID IN (204, 205, 206, 207) AND p.ID = 'P009' ORDER BY s.ID;
UPDATE UP_DELT SET DTFIN = @TODAY@ - 29 WHERE ID = 2;
UPDATE UP_DELT SET DTSENT = @TODAY@ - 27 WHERE ID = 2;
UPDATE UP_DELT SET DTARRIVED = @TODAY@ - 24 WHERE ID = 2;
UPDATE UP_DELT SET DTRECEIVED = @TODAY@ - 23 WHERE ID = 2;
UPDATE UP_DELTD SET QTYDEL = QTY WHERE MID = 2 AND CID IN (3, 4);
UPDATE UP_DELT SET COMM = 'Εκκρεμούν το κίτρινο και το ματζέντα' WHERE ID = 2;

-- 3: Γραμματεία, sent; three black inks against a requirement of two.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (3, 3, 2, '0.02.02', '001', 'maria', 1, @TODAY@ - 10, 'Κεντρική Αποθήκη, για το γραφείο φοιτητών', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 3, p.ID, s.CID, s.CODE, CASE s.ID WHEN 209 THEN 3 ELSE 1 END, s.UP, 0, p.USERPID, s.ITEMAA
  FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID IN (209, 210, 211) AND p.ID = 'P012' ORDER BY s.ID;
UPDATE UP_DELT SET DTFIN = @TODAY@ - 10 WHERE ID = 3;
UPDATE UP_DELT SET DTSENT = @TODAY@ - 8 WHERE ID = 3;

-- 4: Γραμματεία, a draft; finalising it would cross the unit's limit.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (4, 4, 2, '0.02.02', '002', 'maria', 1, @TODAY@ - 2, 'Πρωτόκολλο, ισόγειο', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 4, p.ID, s.CID, s.CODE, 1, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID = 201 AND p.ID = 'P016';

-- 5: Γραμματεία, void.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (5, 5, 2, '0.02.02', '001', 'maria', 1, @TODAY@ - 20, 'Αρχείο, υπόγειο', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 5, p.ID, s.CID, s.CODE, 1, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID = 208 AND p.ID = 'P015';
UPDATE UP_DELT SET ACTV = '0', COMM = 'Ακυρώθηκε: καταχωρήθηκε για λάθος εκτυπωτή' WHERE ID = 5;

-- 6: Φυσική, received, nothing delivered yet.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (6, 6, 2, '0.04.02', '005', 'maria', 1, @TODAY@ - 40, 'Γραμματεία Φυσικής, κα Ζαχαρίου', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 6, p.ID, s.CID, s.CODE, CASE s.ID WHEN 229 THEN 2 ELSE 1 END, s.UP, 0, p.USERPID, s.ITEMAA
  FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID IN (229, 230, 231, 232) AND p.ID = 'P032' ORDER BY s.ID;
UPDATE UP_DELT SET DTFIN = @TODAY@ - 40 WHERE ID = 6;
UPDATE UP_DELT SET DTSENT = @TODAY@ - 38 WHERE ID = 6;
UPDATE UP_DELT SET DTARRIVED = @TODAY@ - 35 WHERE ID = 6;
UPDATE UP_DELT SET DTRECEIVED = @TODAY@ - 34 WHERE ID = 6;

-- 7: Φυσική, arrived; the contract lists CF259A twice (genuine and compatible).
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (7, 7, 2, '0.04.02', '005', 'maria', 1, @TODAY@ - 20, 'Εργαστήρια Φυσικής, ισόγειο, κ. Πετρίδης', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 7, p.ID, s.CID, s.CODE, 2, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p
 WHERE s.ID IN (201, 202) AND p.ID = 'P033' ORDER BY s.ID;
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 7, p.ID, s.CID, s.CODE, 1, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID = 215 AND p.ID = 'P034';
UPDATE UP_DELT SET DTFIN = @TODAY@ - 19 WHERE ID = 7;
UPDATE UP_DELT SET DTSENT = @TODAY@ - 15 WHERE ID = 7;
UPDATE UP_DELT SET DTARRIVED = @TODAY@ - 12 WHERE ID = 7;

-- 8: Φυσική, finalised.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (8, 8, 2, '0.04.02', '005', 'maria', 1, @TODAY@ - 5, 'Αίθουσα μεταπτυχιακών, 2ος όροφος', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 8, p.ID, s.CID, s.CODE, 1, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p
 WHERE s.ID IN (224, 225, 226, 227) AND p.ID = 'P035' ORDER BY s.ID;
UPDATE UP_DELT SET DTFIN = @TODAY@ - 5 WHERE ID = 8;

-- 9: Προμήθειες, closed with the yellow toner never delivered.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (9, 9, 2, '0.03.01', '004', 'giorgos', 1, @TODAY@ - 50, 'Αποθήκη Οικονομικών Υπηρεσιών, κ. Αλεξίου', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 9, p.ID, s.CID, s.CODE, 1, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID = 201 AND p.ID = 'P020';
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 9, p.ID, s.CID, s.CODE, 1, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p
 WHERE s.ID IN (215, 216, 217, 218) AND p.ID = 'P021' ORDER BY s.ID;
UPDATE UP_DELT SET DTFIN = @TODAY@ - 49 WHERE ID = 9;
UPDATE UP_DELT SET DTSENT = @TODAY@ - 47 WHERE ID = 9;
UPDATE UP_DELT SET DTARRIVED = @TODAY@ - 44 WHERE ID = 9;
UPDATE UP_DELT SET DTRECEIVED = @TODAY@ - 43 WHERE ID = 9;
UPDATE UP_DELTD SET QTYDEL = QTY WHERE MID = 9 AND CID <> 18;
UPDATE UP_DELT SET DTCLOSED = @TODAY@ - 40, COMM = 'Το κίτρινο toner δεν παραδόθηκε' WHERE ID = 9;

-- 10: Πρυτανεία, finalised by the administrator.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (10, 10, 2, '0.01', '002', 'admin', 1, @TODAY@ - 3, 'Γραφείο Πρύτανη, 1ος όροφος', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 10, p.ID, s.CID, s.CODE, 1, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p
 WHERE s.ID IN (204, 205, 206, 207) AND p.ID = 'P001' ORDER BY s.ID;
UPDATE UP_DELT SET DTFIN = @TODAY@ - 3 WHERE ID = 10;

-- 11: Γραμματεία, under the expired contract, closed.
INSERT INTO UP_DELT (ID, NODELT, SID, ORGID, DELPID, ORDERPID, STATE, DTIN, DELIV_S, ACTV)
VALUES (11, 11, 1, '0.02.02', '002', 'maria', 1, @TODAY@ - 200, 'Παράδοση στην υποδοχή του κτιρίου Διοίκησης', '1');
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 11, p.ID, s.CID, s.CODE, 3, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID = 101 AND p.ID = 'P008';
INSERT INTO UP_DELTD (MID, PRID, CID, CODE, QTY, UP, QTYDEL, XRUID, ITEMAA)
SELECT 11, p.ID, s.CID, s.CODE, 2, s.UP, 0, p.USERPID, s.ITEMAA FROM UP_SYMBD s, UP_PRINTERS p WHERE s.ID = 105 AND p.ID = 'P010';
UPDATE UP_DELT SET DTFIN = @TODAY@ - 199 WHERE ID = 11;
UPDATE UP_DELT SET DTSENT = @TODAY@ - 195 WHERE ID = 11;
UPDATE UP_DELT SET DTARRIVED = @TODAY@ - 190 WHERE ID = 11;
UPDATE UP_DELT SET DTRECEIVED = @TODAY@ - 189 WHERE ID = 11;
UPDATE UP_DELTD SET QTYDEL = QTY WHERE MID = 11;
UPDATE UP_DELT SET DTCLOSED = @TODAY@ - 185 WHERE ID = 11;

UPDATE UP_OVPARAMS SET PVALN = 11 WHERE PNM = 'DELT_COUNTER';
UPDATE MERO_SEQUENCES SET LAST_VALUE = 100 WHERE NAME = 'SEQ_UP_DELT';

-- Budgets per unit and contract: Γραμματεία (0.02.02) is close to its limit,
-- Φυσική (0.04.02) is over its allotted amount. VORD1 and VYPOL1 are computed.
INSERT INTO UORGN (ORGID, SID, VANAL, VLIM1, VREQ) VALUES
  ('0.01', '2', 1500, 1300, 1400),
  ('0.02.01', '2', 900, 800, 850),
  ('0.02.02', '2', 1200, 1000, 1250),
  ('0.03.01', '2', 1000, 900, 950),
  ('0.04.01', '2', 700, 600, 650),
  ('0.04.02', '2', 800, 700, 1100),
  ('0.02.02', '1', 1000, 900, 900),
  ('0.03.01', '1', 800, 700, 700),
  ('0.04.02', '1', 700, 600, 600);
