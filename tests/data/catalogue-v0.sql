PRAGMA foreign_keys=OFF;
BEGIN TRANSACTION;
CREATE TABLE Stamp (
  StampID INTEGER PRIMARY KEY AUTOINCREMENT,
  descr TEXT NOT NULL COLLATE NOCASE,
  catnum TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  catsort TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  face REAL,
  Year INTEGER,
  used INTEGER NOT NULL DEFAULT 0,
  wantlist INTEGER NOT NULL DEFAULT 0,
  quantity INTEGER NOT NULL DEFAULT 1,
  CouID INTEGER,
  typeID INTEGER,
  formID INTEGER,
  papID INTEGER,
  CanID INTEGER,
  perfID INTEGER,
  topID INTEGER,
  gumID INTEGER,
  ConID INTEGER,
  Color TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  watermark TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  Errors TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  issued TEXT,
  pricepaid REAL,
  totalpaid REAL,
  catvalue REAL,
  totalval REAL,
  priceask REAL,
  totalsales REAL,
  forsale INTEGER NOT NULL DEFAULT 0,
  purchased TEXT,
  sold INTEGER NOT NULL DEFAULT 0,
  datesold TEXT,
  notes TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  misc1 TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
  misc2 TEXT NOT NULL DEFAULT '' COLLATE NOCASE
);
INSERT INTO Stamp VALUES(1,'Inverted Jenny 450c (specimen)','1235','                1235',4.1699999999999999289,1980,0,0,1,11,3,NULL,NULL,3,4,11,1,8,'Rose','Multiple crown','','1980-04-25',6.6600000000000001421,6.6600000000000001421,5.2000000000000001776,5.2000000000000001776,NULL,NULL,0,'1995-03-18',0,NULL,'','','Lot 275');
INSERT INTO Stamp VALUES(2,'Orchid 150d (surcharge)','9d','                  9d',3.3599999999999998756,1942,1,0,1,21,8,6,NULL,4,NULL,8,1,9,'','Multiple crown','','1942-02-24',1.3000000000000000444,1.3000000000000000444,14.070000000000000284,14.070000000000000284,NULL,NULL,0,'2023-06-28',0,NULL,'','','');
INSERT INTO Stamp VALUES(3,'Totem Pole 190d (booklet)','14','                  14',2.5499999999999998223,1841,1,1,1,9,7,4,NULL,6,10,8,3,10,'Orange','Small star','','1841-06-15',2.2400000000000002131,2.2400000000000002131,NULL,NULL,NULL,NULL,0,NULL,0,NULL,'','','');
INSERT INTO Stamp VALUES(4,'Mount Fuji 16d (shade)','1858','                1858',4.6299999999999998934,1971,0,0,1,32,3,11,2,3,7,9,6,2,'Olive','','','1971-08-01',16.989999999999998436,16.989999999999998436,4.5199999999999995736,4.5199999999999995736,NULL,NULL,0,'2003-09-09',0,NULL,'','','');
INSERT INTO Stamp VALUES(5,'Columbus Landing 25d','48','                  48',4.7599999999999997868,1987,0,0,1,17,8,5,5,3,6,10,3,1,'Slate','Multiple crown','','1987-01-18',6.75,6.75,3.1200000000000001065,3.1200000000000001065,NULL,NULL,0,'1990-08-20',0,NULL,'','','');
INSERT INTO Stamp VALUES(6,'Steam Locomotive 1d (surcharge)','2879','                2879',3.2099999999999999644,2011,0,0,1,19,NULL,7,5,6,5,6,6,8,'Sepia','','','2011-02-24',2.1099999999999998756,2.1099999999999998756,NULL,NULL,NULL,NULL,0,'2018-10-24',0,NULL,'','','');
INSERT INTO Stamp VALUES(7,'Mozart 18d','C87','                 C87',4.7999999999999998223,1877,1,0,1,4,5,5,NULL,3,9,7,1,9,'Blue','Small star','','1877-02-09',7.8899999999999996802,7.8899999999999996802,6.9800000000000004263,6.9800000000000004263,NULL,NULL,0,'2002-11-03',0,NULL,'','','');
INSERT INTO Stamp VALUES(8,'Penny Black 23d','3373','                3373',1.8500000000000000888,1879,1,0,1,15,4,1,4,6,9,10,2,9,'Red','Posthorn','',NULL,NULL,NULL,24.899999999999998579,24.899999999999998579,NULL,NULL,0,'2014-01-18',0,NULL,'','Album 2, page 16','');
INSERT INTO Stamp VALUES(9,'Penguin 26c (coil)','C28','                 C28',1.15999999999999992,1883,0,0,1,NULL,NULL,1,2,3,7,11,5,5,'Olive','None','','1883-11-24',3.1600000000000001421,3.1600000000000001421,NULL,NULL,NULL,NULL,0,'1998-04-04',0,NULL,'','','');
INSERT INTO Stamp VALUES(10,'Zeppelin 37c','61','                  61',0.13000000000000000444,NULL,0,0,1,40,NULL,9,1,1,8,13,2,1,'','Crown CA','','2012-01-18',NULL,NULL,5.6699999999999999289,5.6699999999999999289,NULL,NULL,0,'2021-07-14',0,NULL,replace('Expertised.\nCertificate no. 4471.\nKeep in the safe.','\n',char(10)),'Album 9, page 17','');
INSERT INTO Stamp VALUES(11,'Waterfall 11c','J3','                  J3',3.3199999999999998401,1902,0,0,10,34,2,12,5,13,3,16,1,4,'Black','','','1902-03-17',0.35999999999999998667,3.6000000000000000888,15.499999999999999999,155.0,14.179999999999999716,141.80000000000001136,0,'2023-10-17',1,'2031-10-16','','','');
INSERT INTO Stamp VALUES(12,'Airmail Biplane 17c (surcharge)','3712','                3712',NULL,1896,1,0,1,26,3,12,2,3,10,1,1,6,'Black','Crown','',NULL,2.8799999999999998934,2.8799999999999998934,NULL,NULL,NULL,NULL,0,'2006-05-13',0,NULL,replace('Expertised.\nCertificate no. 4471.\nKeep in the safe.','\n',char(10)),'','');
INSERT INTO Stamp VALUES(13,'Österreich Wappen 1850','Mi 10','               Mi 10',NULL,NULL,0,0,1,42,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,'','','',NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,NULL,0,NULL,'','','');
INSERT INTO Stamp VALUES(14,'Ελλάδα Hermes head','1','                   1',NULL,NULL,0,0,2,44,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,'','','',NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,NULL,0,NULL,'','','');
CREATE TABLE cancel (CanID INTEGER PRIMARY KEY AUTOINCREMENT, CanDesc TEXT COLLATE NOCASE);
INSERT INTO cancel VALUES(1,'Circular date stamp');
INSERT INTO cancel VALUES(2,'Duplex');
INSERT INTO cancel VALUES(3,'Favour cancel');
INSERT INTO cancel VALUES(4,'First day of issue');
INSERT INTO cancel VALUES(5,'Killer bars');
INSERT INTO cancel VALUES(6,'Maltese cross');
INSERT INTO cancel VALUES(7,'Manuscript');
INSERT INTO cancel VALUES(8,'Numeral');
INSERT INTO cancel VALUES(9,'Pen cancel');
INSERT INTO cancel VALUES(10,'Pictorial');
INSERT INTO cancel VALUES(11,'Slogan');
INSERT INTO cancel VALUES(12,'Squared circle');
INSERT INTO cancel VALUES(13,'Unused');
CREATE TABLE Condition (ConID INTEGER PRIMARY KEY AUTOINCREMENT, conDesc TEXT COLLATE NOCASE);
INSERT INTO Condition VALUES(1,'Average');
INSERT INTO Condition VALUES(2,'Fine');
INSERT INTO Condition VALUES(3,'Fine-Very Fine');
INSERT INTO Condition VALUES(4,'Good');
INSERT INTO Condition VALUES(5,'Mint hinged');
INSERT INTO Condition VALUES(6,'Mint never hinged');
INSERT INTO Condition VALUES(7,'Poor');
INSERT INTO Condition VALUES(8,'Superb');
INSERT INTO Condition VALUES(9,'Very Fine');
INSERT INTO Condition VALUES(10,'Damaged');
CREATE TABLE country (CouID INTEGER PRIMARY KEY AUTOINCREMENT, Coudesc TEXT COLLATE NOCASE);
INSERT INTO country VALUES(1,'Argentina');
INSERT INTO country VALUES(2,'Australia');
INSERT INTO country VALUES(3,'Austria');
INSERT INTO country VALUES(4,'Belgium');
INSERT INTO country VALUES(5,'Brazil');
INSERT INTO country VALUES(6,'Canada');
INSERT INTO country VALUES(7,'Chile');
INSERT INTO country VALUES(8,'China');
INSERT INTO country VALUES(9,'Czechoslovakia');
INSERT INTO country VALUES(10,'Denmark');
INSERT INTO country VALUES(11,'Egypt');
INSERT INTO country VALUES(12,'Finland');
INSERT INTO country VALUES(13,'France');
INSERT INTO country VALUES(14,'Germany');
INSERT INTO country VALUES(15,'Great Britain');
INSERT INTO country VALUES(16,'Greece');
INSERT INTO country VALUES(17,'Hong Kong');
INSERT INTO country VALUES(18,'Hungary');
INSERT INTO country VALUES(19,'Iceland');
INSERT INTO country VALUES(20,'India');
INSERT INTO country VALUES(21,'Ireland');
INSERT INTO country VALUES(22,'Israel');
INSERT INTO country VALUES(23,'Italy');
INSERT INTO country VALUES(24,'Japan');
INSERT INTO country VALUES(25,'Luxembourg');
INSERT INTO country VALUES(26,'Mexico');
INSERT INTO country VALUES(27,'Monaco');
INSERT INTO country VALUES(28,'Netherlands');
INSERT INTO country VALUES(29,'New Zealand');
INSERT INTO country VALUES(30,'Norway');
INSERT INTO country VALUES(31,'Poland');
INSERT INTO country VALUES(32,'Portugal');
INSERT INTO country VALUES(33,'Russia');
INSERT INTO country VALUES(34,'San Marino');
INSERT INTO country VALUES(35,'South Africa');
INSERT INTO country VALUES(36,'Spain');
INSERT INTO country VALUES(37,'Sweden');
INSERT INTO country VALUES(38,'Switzerland');
INSERT INTO country VALUES(39,'Turkey');
INSERT INTO country VALUES(40,'United States');
INSERT INTO country VALUES(41,'Vatican City');
INSERT INTO country VALUES(42,'Österreich');
INSERT INTO country VALUES(43,'Åland');
INSERT INTO country VALUES(44,'Ελλάδα');
CREATE TABLE format (formID INTEGER PRIMARY KEY AUTOINCREMENT, FormDesc TEXT COLLATE NOCASE);
INSERT INTO format VALUES(1,'Block of 4');
INSERT INTO format VALUES(2,'Booklet pane');
INSERT INTO format VALUES(3,'Coil');
INSERT INTO format VALUES(4,'Cover');
INSERT INTO format VALUES(5,'First day cover');
INSERT INTO format VALUES(6,'Full sheet');
INSERT INTO format VALUES(7,'Pair');
INSERT INTO format VALUES(8,'Plate block');
INSERT INTO format VALUES(9,'Postal card');
INSERT INTO format VALUES(10,'Single');
INSERT INTO format VALUES(11,'Souvenir sheet');
INSERT INTO format VALUES(12,'Strip of 3');
CREATE TABLE gum (gumID INTEGER PRIMARY KEY AUTOINCREMENT, GumDesc TEXT COLLATE NOCASE);
INSERT INTO gum VALUES(1,'Disturbed gum');
INSERT INTO gum VALUES(2,'No gum');
INSERT INTO gum VALUES(3,'Original gum');
INSERT INTO gum VALUES(4,'Regummed');
INSERT INTO gum VALUES(5,'Self-adhesive');
INSERT INTO gum VALUES(6,'Hinge remnant');
CREATE TABLE paper (papID INTEGER PRIMARY KEY AUTOINCREMENT, Papdesc TEXT COLLATE NOCASE);
INSERT INTO paper VALUES(1,'Chalk-surfaced');
INSERT INTO paper VALUES(2,'Fluorescent');
INSERT INTO paper VALUES(3,'Granite');
INSERT INTO paper VALUES(4,'Laid');
INSERT INTO paper VALUES(5,'Pelure');
INSERT INTO paper VALUES(6,'Phosphor-tagged');
INSERT INTO paper VALUES(7,'Silk thread');
INSERT INTO paper VALUES(8,'Wove');
CREATE TABLE Perf (perfID INTEGER PRIMARY KEY AUTOINCREMENT, PerfDesc TEXT COLLATE NOCASE);
INSERT INTO Perf VALUES(1,'Die cut');
INSERT INTO Perf VALUES(2,'Imperforate');
INSERT INTO Perf VALUES(3,'Perf 10');
INSERT INTO Perf VALUES(4,'Perf 11');
INSERT INTO Perf VALUES(5,'Perf 11 x 10 1/2');
INSERT INTO Perf VALUES(6,'Perf 12');
INSERT INTO Perf VALUES(7,'Perf 12 1/2');
INSERT INTO Perf VALUES(8,'Perf 13');
INSERT INTO Perf VALUES(9,'Perf 14');
INSERT INTO Perf VALUES(10,'Perf 14 x 15');
INSERT INTO Perf VALUES(11,'Rouletted');
CREATE TABLE topic (topID INTEGER PRIMARY KEY AUTOINCREMENT, TopDesc TEXT COLLATE NOCASE);
INSERT INTO topic VALUES(1,'Architecture');
INSERT INTO topic VALUES(2,'Art');
INSERT INTO topic VALUES(3,'Aviation');
INSERT INTO topic VALUES(4,'Birds');
INSERT INTO topic VALUES(5,'Christmas');
INSERT INTO topic VALUES(6,'Famous people');
INSERT INTO topic VALUES(7,'Flowers');
INSERT INTO topic VALUES(8,'Insects');
INSERT INTO topic VALUES(9,'Maps');
INSERT INTO topic VALUES(10,'Music');
INSERT INTO topic VALUES(11,'Olympics');
INSERT INTO topic VALUES(12,'Royalty');
INSERT INTO topic VALUES(13,'Ships');
INSERT INTO topic VALUES(14,'Space');
INSERT INTO topic VALUES(15,'Sports');
INSERT INTO topic VALUES(16,'Trains');
CREATE TABLE type (typeID INTEGER PRIMARY KEY AUTOINCREMENT, Typedesc TEXT COLLATE NOCASE);
INSERT INTO type VALUES(1,'Airmail');
INSERT INTO type VALUES(2,'Commemorative');
INSERT INTO type VALUES(3,'Definitive');
INSERT INTO type VALUES(4,'Newspaper');
INSERT INTO type VALUES(5,'Official');
INSERT INTO type VALUES(6,'Postage due');
INSERT INTO type VALUES(7,'Revenue');
INSERT INTO type VALUES(8,'Semi-postal');
INSERT INTO type VALUES(9,'Special delivery');
INSERT INTO type VALUES(10,'Telegraph');
CREATE TABLE RptSpec (
  SpecID INTEGER PRIMARY KEY,
  "Desc" TEXT NOT NULL COLLATE NOCASE,
  fieldname TEXT NOT NULL,
  datatype INTEGER NOT NULL,
  filename TEXT NOT NULL,
  Linkfield TEXT NOT NULL DEFAULT '',
  defwidth REAL,
  IsCurrency INTEGER NOT NULL DEFAULT 0
);
INSERT INTO RptSpec VALUES(1,'Description','descr',1,'Stamp','',2.5,0);
INSERT INTO RptSpec VALUES(2,'Catalog Num','catnum',1,'Stamp','',1.0,0);
INSERT INTO RptSpec VALUES(3,'Face Value','face',2,'Stamp','',0.9000000000000000222,1);
INSERT INTO RptSpec VALUES(4,'Year','Year',2,'Stamp','',0.5,0);
INSERT INTO RptSpec VALUES(5,'Used','used',4,'Stamp','',0.5,0);
INSERT INTO RptSpec VALUES(6,'Want List','wantlist',4,'Stamp','',0.69999999999999995559,0);
INSERT INTO RptSpec VALUES(7,'Quantity','quantity',2,'Stamp','',0.69999999999999995559,0);
INSERT INTO RptSpec VALUES(8,'Country','Coudesc',1,'country','CouID',1.5,0);
INSERT INTO RptSpec VALUES(9,'Type','Typedesc',1,'type','typeID',1.1999999999999999555,0);
INSERT INTO RptSpec VALUES(10,'Format','FormDesc',1,'format','formID',1.1999999999999999555,0);
INSERT INTO RptSpec VALUES(11,'Paper','Papdesc',1,'paper','papID',1.1999999999999999555,0);
INSERT INTO RptSpec VALUES(12,'Cancellation','CanDesc',1,'cancel','CanID',1.5,0);
INSERT INTO RptSpec VALUES(13,'Perforation','PerfDesc',1,'Perf','perfID',1.1999999999999999555,0);
INSERT INTO RptSpec VALUES(14,'Topic','TopDesc',1,'topic','topID',1.1999999999999999555,0);
INSERT INTO RptSpec VALUES(15,'Gum','GumDesc',1,'gum','gumID',1.1999999999999999555,0);
INSERT INTO RptSpec VALUES(16,'Condition','conDesc',1,'Condition','ConID',1.3999999999999999111,0);
INSERT INTO RptSpec VALUES(17,'Color','Color',1,'Stamp','',1.0,0);
INSERT INTO RptSpec VALUES(18,'Watermark','watermark',1,'Stamp','',1.0,0);
INSERT INTO RptSpec VALUES(19,'Errors','Errors',1,'Stamp','',1.1999999999999999555,0);
INSERT INTO RptSpec VALUES(20,'Issue Date','issued',3,'Stamp','',1.0,0);
INSERT INTO RptSpec VALUES(21,'Price Paid','pricepaid',2,'Stamp','',1.0,1);
INSERT INTO RptSpec VALUES(22,'Total Paid','totalpaid',2,'Stamp','',1.0,1);
INSERT INTO RptSpec VALUES(23,'Catalog Value','catvalue',2,'Stamp','',1.0,1);
INSERT INTO RptSpec VALUES(24,'Total Value','totalval',2,'Stamp','',1.0,1);
INSERT INTO RptSpec VALUES(25,'Selling Price','priceask',2,'Stamp','',1.0,1);
INSERT INTO RptSpec VALUES(26,'Total Sales','totalsales',2,'Stamp','',1.0,1);
INSERT INTO RptSpec VALUES(27,'For Sale','forsale',4,'Stamp','',0.69999999999999995559,0);
INSERT INTO RptSpec VALUES(28,'Purchase Date','purchased',3,'Stamp','',1.0,0);
INSERT INTO RptSpec VALUES(29,'Sold','sold',4,'Stamp','',0.5,0);
INSERT INTO RptSpec VALUES(30,'Date Sold','datesold',3,'Stamp','',1.0,0);
INSERT INTO RptSpec VALUES(31,'Notes','notes',1,'Stamp','',3.0,0);
INSERT INTO RptSpec VALUES(32,'Misc. 1','misc1',1,'Stamp','',1.1999999999999999555,0);
INSERT INTO RptSpec VALUES(33,'Misc. 2','misc2',1,'Stamp','',1.1999999999999999555,0);
DELETE FROM sqlite_sequence;
INSERT INTO sqlite_sequence VALUES('cancel',13);
INSERT INTO sqlite_sequence VALUES('Condition',10);
INSERT INTO sqlite_sequence VALUES('country',44);
INSERT INTO sqlite_sequence VALUES('format',12);
INSERT INTO sqlite_sequence VALUES('gum',6);
INSERT INTO sqlite_sequence VALUES('paper',8);
INSERT INTO sqlite_sequence VALUES('Perf',11);
INSERT INTO sqlite_sequence VALUES('topic',16);
INSERT INTO sqlite_sequence VALUES('type',10);
INSERT INTO sqlite_sequence VALUES('Stamp',14);
CREATE INDEX StampDescr ON Stamp (descr);
CREATE INDEX StampCatsort ON Stamp (catsort);
CREATE INDEX StampCatnum ON Stamp (catnum);
CREATE INDEX StampIssued ON Stamp (issued);
CREATE INDEX StampCouID ON Stamp (CouID);
CREATE INDEX StampTypeID ON Stamp (typeID);
CREATE INDEX StampFormID ON Stamp (formID);
CREATE INDEX StampPapID ON Stamp (papID);
CREATE INDEX StampCanID ON Stamp (CanID);
CREATE INDEX StampPerfID ON Stamp (perfID);
CREATE INDEX StampTopID ON Stamp (topID);
CREATE INDEX StampGumID ON Stamp (gumID);
CREATE INDEX StampConID ON Stamp (ConID);
CREATE INDEX CancelDesc ON cancel (CanDesc);
CREATE INDEX ConditionDesc ON Condition (conDesc);
CREATE INDEX CountryDesc ON country (Coudesc);
CREATE INDEX FormatDesc ON format (FormDesc);
CREATE INDEX GumDesc ON gum (GumDesc);
CREATE INDEX PaperDesc ON paper (Papdesc);
CREATE INDEX PerfDesc ON Perf (PerfDesc);
CREATE INDEX TopicDesc ON topic (TopDesc);
CREATE INDEX TypeDesc ON type (Typedesc);
COMMIT;
