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
, "descr_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "descr_sort" BLOB NOT NULL DEFAULT x'', "catnum_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "catsort_sort" BLOB NOT NULL DEFAULT x'', "Color_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "Color_sort" BLOB NOT NULL DEFAULT x'', "watermark_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "watermark_sort" BLOB NOT NULL DEFAULT x'', "Errors_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "Errors_sort" BLOB NOT NULL DEFAULT x'', "notes_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "notes_sort" BLOB NOT NULL DEFAULT x'', "misc1_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "misc1_sort" BLOB NOT NULL DEFAULT x'', "misc2_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "misc2_sort" BLOB NOT NULL DEFAULT x'', "find_text" TEXT NOT NULL DEFAULT '');
INSERT INTO Stamp VALUES(1,'Inverted Jenny 450c (specimen)','1235','                1235',4.1699999999999999289,1980,0,0,1,11,3,NULL,NULL,3,4,11,1,8,'Rose','Multiple crown','','1980-04-25',6.6600000000000001421,6.6600000000000001421,5.2000000000000001776,5.2000000000000001776,NULL,NULL,0,'1995-03-18',0,NULL,'','','Lot 275','inverted jenny 450c (specimen)',X'3a4454324c503230043c3244445a040f4d7c2e0409924e48322e3a4232440994012001dcbedc16','1235',X'040404040404040404040404040404040f509301150115','rose',X'4c464e32010801dc07','multiple crown',X'425240503a484032042e4c465644011201dc11','',X'','',X'','',X'','lot 275',X'404650040f4ccb010901dc08',replace('inverted jenny 450c (specimen)\n1235\nrose\nmultiple crown\n\n','\n',char(10)));
INSERT INTO Stamp VALUES(2,'Orchid 150d (surcharge)','9d','                  9d',3.3599999999999998756,1942,1,0,1,21,8,6,NULL,4,NULL,8,1,9,'','Multiple crown','','1942-02-24',1.3000000000000000444,1.3000000000000000444,14.070000000000000284,14.070000000000000284,NULL,NULL,0,'2023-06-28',0,NULL,'','','','orchid 150d (surcharge)',X'464c2e383a30040f4c4e300409924e524c2e382a4c36320994011901dc18','9d',X'0404040404040404040404040404040404040f0b3001180118','',X'','multiple crown',X'425240503a484032042e4c465644011201dc11','',X'','',X'','',X'','',X'',replace('orchid 150d (surcharge)\n9d\n\nmultiple crown\n\n','\n',char(10)));
INSERT INTO Stamp VALUES(3,'Totem Pole 190d (booklet)','14','                  14',2.5499999999999998223,1841,1,1,1,9,7,4,NULL,6,10,8,3,10,'Orange','Small star','','1841-06-15',2.2400000000000002131,2.2400000000000002131,NULL,NULL,NULL,NULL,0,NULL,0,NULL,'','','','totem pole 190d (booklet)',X'50465032420448464032040f4c76300409922c46463e4032500994011b01dcc1dc14','14',X'0404040404040404040404040404040404040f1001170117','orange',X'464c2a443632010a01dc09','small star',X'4e422a4040044e502a4c010e01dc0d','',X'','',X'','',X'','',X'',replace('totem pole 190d (booklet)\n14\norange\nsmall star\n\n','\n',char(10)));
INSERT INTO Stamp VALUES(4,'Mount Fuji 16d (shade)','1858','                1858',4.6299999999999998934,1971,0,0,1,32,3,11,2,3,7,9,6,2,'Olive','','','1971-08-01',16.989999999999998436,16.989999999999998436,4.5199999999999995736,4.5199999999999995736,NULL,NULL,0,'2003-09-09',0,NULL,'','','','mount fuji 16d (shade)',X'42465244500434523c3a040f12300409924e382a30320994011901dcc1dc12','1858',X'040404040404040404040404040404040f530801150115','olive',X'46403a5432010901dc08','',X'','',X'','',X'','',X'','',X'',replace('mount fuji 16d (shade)\n1858\nolive\n\n\n','\n',char(10)));
INSERT INTO Stamp VALUES(5,'Columbus Landing 25d','48','                  48',4.7599999999999997868,1987,0,0,1,17,8,5,5,3,6,10,3,1,'Slate','Multiple crown','','1987-01-18',6.75,6.75,3.1200000000000001065,3.1200000000000001065,NULL,NULL,0,'1990-08-20',0,NULL,'','','','columbus landing 25d',X'2e464052422c524e04402a44303a4436040f1b30011701dcbedc0d','48',X'0404040404040404040404040404040404040f3201170117','slate',X'4e402a5032010901dc08','multiple crown',X'425240503a484032042e4c465644011201dc11','',X'','',X'','',X'','',X'',replace('columbus landing 25d\n48\nslate\nmultiple crown\n\n','\n',char(10)));
INSERT INTO Stamp VALUES(6,'Steam Locomotive 1d (surcharge)','2879','                2879',3.2099999999999999644,2011,0,0,1,19,NULL,7,5,6,5,6,6,8,'Sepia','','','2011-02-24',2.1099999999999998756,2.1099999999999998756,NULL,NULL,NULL,NULL,0,'2018-10-24',0,NULL,'','','','steam locomotive 1d (surcharge)',X'4e50322a420440462e464246503a5432040f03300409924e524c2e382a4c36320994012301dcc1dc1c','2879',X'040404040404040404040404040404040f570d01150115','sepia',X'4e32483a2a010901dc08','',X'','',X'','',X'','',X'','',X'',replace('steam locomotive 1d (surcharge)\n2879\nsepia\n\n\n','\n',char(10)));
INSERT INTO Stamp VALUES(8,'Penny Black 23d','3373','                3373',1.8500000000000000888,1879,1,0,1,15,4,1,4,6,9,10,2,9,'Red','Posthorn','',NULL,NULL,NULL,24.899999999999998579,24.899999999999998579,NULL,NULL,0,'2014-01-18',0,NULL,'','Album 2, page 16','','penny black 23d',X'483244445a042c402a2e3e040f1930011201dcc1dc0b','3373',X'040404040404040404040404040404040f58fd01150115','red',X'4c3230010701dc06','posthorn',X'48464e5038464c44010c01dc0b','',X'','',X'','album 2, page 16',X'2a402c5242040f040604482a3632040f12011301dc12','',X'',replace('penny black 23d\n3373\nred\nposthorn\n\n','\n',char(10)));
INSERT INTO Stamp VALUES(9,'Penguin 26c (coil)','C28','                 C28',1.15999999999999992,1883,0,0,1,NULL,NULL,1,2,3,7,11,5,5,'Olive','None','','1883-11-24',3.1600000000000001421,3.1600000000000001421,NULL,NULL,NULL,NULL,0,'1998-04-04',0,NULL,'','','','penguin 26c (coil)',X'48324436523a44040f1c2e0409922e463a400994011501dc14','c28',X'04040404040404040404040404040404042e0f1e011701b5dc05','olive',X'46403a5432010901dc08','none',X'44464432010801dc07','',X'','',X'','',X'','',X'',replace('penguin 26c (coil)\nc28\nolive\nnone\n\n','\n',char(10)));
INSERT INTO Stamp VALUES(10,'Zeppelin 37c','61','                  61',0.13000000000000000444,NULL,0,0,1,40,NULL,9,1,1,8,13,2,1,'','Crown CA','','2012-01-18',NULL,NULL,5.6699999999999999289,5.6699999999999999289,NULL,NULL,0,'2021-07-14',0,NULL,replace('Expertised.\nCertificate no. 4471.\nKeep in the safe.','\n',char(10)),'Album 9, page 17','','zeppelin 37c',X'5c32484832403a44040f272e010f01dc0e','61',X'0404040404040404040404040404040404040f3f01170117','',X'','crown ca',X'2e4c465644042e2a010c01dcc1dcdc','',X'',replace('expertised.\ncertificate no. 4471.\nkeep in the safe.','\n',char(10)),X'325848324c503a4e32300803062e324c503a343a2e2a503204444608040f5d510803063e323248043a4404503832044e2a34320801251301dcbbdcb4dc14','album 9, page 17',X'2a402c5242040f0b0604482a3632040f13011301dc12','',X'',replace('zeppelin 37c\n61\n\ncrown ca\n\nexpertised.\ncertificate no. 4471.\nkeep in the safe.','\n',char(10)));
INSERT INTO Stamp VALUES(11,'Waterfall 11c','J3','                  J3',3.3199999999999998401,1902,0,0,10,34,2,12,5,13,3,16,1,4,'Black','','','1902-03-17',0.35999999999999998667,3.6000000000000000888,15.499999999999999999,155.0,14.179999999999999716,141.80000000000001136,0,'2023-10-17',1,'2031-10-16','','','','waterfall 11c',X'562a50324c342a4040040f0d2e011001e00f','j3',X'0404040404040404040404040404040404043c0f05011801b4dc05','black',X'2c402a2e3e010901dc08','',X'','',X'','',X'','',X'','',X'',replace('waterfall 11c\nj3\nblack\n\n\n','\n',char(10)));
INSERT INTO Stamp VALUES(12,'Airmail Biplane 17c (surcharge)','3712','                3712',NULL,1896,1,0,1,26,3,12,2,3,10,1,1,6,'Black','Crown','',NULL,2.8799999999999998934,2.8799999999999998934,NULL,NULL,NULL,NULL,0,'2006-05-13',0,NULL,replace('Expertised.\nCertificate no. 4471.\nKeep in the safe.','\n',char(10)),'','','airmail biplane 17c (surcharge)',X'2a3a4c422a3a40042c3a48402a4432040f132e0409924e524c2e382a4c36320994012201dcbfdc19','3712',X'040404040404040404040404040404040f5a5401150115','black',X'2c402a2e3e010901dc08','crown',X'2e4c465644010901dc08','',X'',replace('expertised.\ncertificate no. 4471.\nkeep in the safe.','\n',char(10)),X'325848324c503a4e32300803062e324c503a343a2e2a503204444608040f5d510803063e323248043a4404503832044e2a34320801251301dcbbdcb4dc14','',X'','',X'',replace('airmail biplane 17c (surcharge)\n3712\nblack\ncrown\n\nexpertised.\ncertificate no. 4471.\nkeep in the safe.','\n',char(10)));
CREATE TABLE cancel (CanID INTEGER PRIMARY KEY AUTOINCREMENT, CanDesc TEXT COLLATE NOCASE, "CanDesc_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "CanDesc_sort" BLOB NOT NULL DEFAULT x'');
INSERT INTO cancel VALUES(1,'Circular date stamp','circular date stamp',X'2e3a4c2e52402a4c04302a5032044e502a4248011701dc16');
INSERT INTO cancel VALUES(2,'Duplex','duplex',X'305248403258010a01dc09');
INSERT INTO cancel VALUES(3,'Favour cancel','favour cancel',X'342a5446524c042e2a442e3240011101dc10');
INSERT INTO cancel VALUES(4,'First day of issue','first day of issue',X'343a4c4e5004302a5a044634043a4e4e5232011601dc15');
INSERT INTO cancel VALUES(5,'Killer bars','killer bars',X'3e3a4040324c042c2a4c4e010f01dc0e');
INSERT INTO cancel VALUES(6,'Maltese cross','maltese cross',X'422a4050324e32042e4c464e4e011101dc10');
INSERT INTO cancel VALUES(7,'Manuscript','manuscript',X'422a44524e2e4c3a4850010e01dc0d');
INSERT INTO cancel VALUES(8,'Numeral','numeral',X'445242324c2a40010b01dc0a');
INSERT INTO cancel VALUES(9,'Pen cancel','pen cancel',X'483244042e2a442e3240010e01dc0d');
INSERT INTO cancel VALUES(10,'Pictorial','pictorial',X'483a2e50464c3a2a40010d01dc0c');
INSERT INTO cancel VALUES(11,'Slogan','slogan',X'4e4046362a44010a01dc09');
INSERT INTO cancel VALUES(12,'Squared circle','squared circle',X'4e4a522a4c3230042e3a4c2e4032011201dc11');
INSERT INTO cancel VALUES(13,'Unused','unused',X'5244524e3230010a01dc09');
CREATE TABLE Condition (ConID INTEGER PRIMARY KEY AUTOINCREMENT, conDesc TEXT COLLATE NOCASE, "conDesc_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "conDesc_sort" BLOB NOT NULL DEFAULT x'');
INSERT INTO Condition VALUES(1,'Average','average',X'2a54324c2a3632010b01dc0a');
INSERT INTO Condition VALUES(2,'Fine','fine',X'343a4432010801dc07');
INSERT INTO Condition VALUES(3,'Fine-Very Fine','fine-very fine',X'343a4432050e54324c5a04343a4432011201dcc2dcc2dc07');
INSERT INTO Condition VALUES(4,'Good','good',X'36464630010801dc07');
INSERT INTO Condition VALUES(5,'Mint hinged','mint hinged',X'423a445004383a44363230010f01dc0e');
INSERT INTO Condition VALUES(6,'Mint never hinged','mint never hinged',X'423a445004443254324c04383a44363230011501dc14');
INSERT INTO Condition VALUES(7,'Poor','poor',X'4846464c010801dc07');
INSERT INTO Condition VALUES(8,'Superb','superb',X'4e5248324c2c010a01dc09');
INSERT INTO Condition VALUES(9,'Very Fine','very fine',X'54324c5a04343a4432010d01dcc2dc07');
INSERT INTO Condition VALUES(10,'Damaged','damaged',X'302a422a363230010b01dc0a');
CREATE TABLE country (CouID INTEGER PRIMARY KEY AUTOINCREMENT, Coudesc TEXT COLLATE NOCASE, "Coudesc_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "Coudesc_sort" BLOB NOT NULL DEFAULT x'');
INSERT INTO country VALUES(1,'Argentina','argentina',X'2a4c363244503a442a010d01dc0c');
INSERT INTO country VALUES(2,'Australia','australia',X'2a524e504c2a403a2a010d01dc0c');
INSERT INTO country VALUES(3,'Österreich','osterreich',X'464e50324c4c323a2e380145960d01dc0e');
INSERT INTO country VALUES(4,'Belgium','belgium',X'2c3240363a5242010b01dc0a');
INSERT INTO country VALUES(5,'Brazil','brazil',X'2c4c2a5c3a40010a01dc09');
INSERT INTO country VALUES(6,'Canada','canada',X'2e2a442a302a010a01dc09');
INSERT INTO country VALUES(7,'Côte d''Ivoire','cote d''ivoire',X'2e4650320430096e3a54463a4c3201448e0f01dcbfdc09');
INSERT INTO country VALUES(8,'China','china',X'2e383a442a010901dc08');
INSERT INTO country VALUES(9,'Czechoslovakia','czechoslovakia',X'2e5c322e38464e4046542a3e3a2a011201dc11');
INSERT INTO country VALUES(10,'Denmark','denmark',X'303244422a4c3e010b01dc0a');
INSERT INTO country VALUES(11,'Egypt','egypt',X'32365a4850010901dc08');
INSERT INTO country VALUES(12,'Finland','finland',X'343a44402a4430010b01dc0a');
INSERT INTO country VALUES(13,'France','france',X'344c2a442e32010a01dc09');
INSERT INTO country VALUES(14,'Germany','germany',X'36324c422a445a010b01dc0a');
INSERT INTO country VALUES(15,'Great Britain','great britain',X'364c322a50042c4c3a502a3a44011101dcc1dc0a');
INSERT INTO country VALUES(16,'Ελλάδα','ελλαδα',X'60102626060e060142880601e60a');
INSERT INTO country VALUES(17,'Hong Kong','hong kong',X'38464436043e464436010d01dcc2dc07');
INSERT INTO country VALUES(18,'Hungary','hungary',X'385244362a4c5a010b01dc0a');
INSERT INTO country VALUES(19,'Ísland','island',X'3a4e402a44300145880901dc0a');
INSERT INTO country VALUES(20,'India','india',X'3a44303a2a010901dc08');
INSERT INTO country VALUES(21,'Ireland','ireland',X'3a4c32402a4430010b01dc0a');
INSERT INTO country VALUES(22,'Israel','israel',X'3a4e4c2a3240010a01dc09');
INSERT INTO country VALUES(23,'Italy','italy',X'3a502a405a010901dc08');
INSERT INTO country VALUES(24,'Japan','japan',X'3c2a482a44010901dc08');
INSERT INTO country VALUES(25,'Åland','aland',X'2a402a44300145920801dc09');
INSERT INTO country VALUES(26,'Mexico','mexico',X'4232583a2e46010a01dc09');
INSERT INTO country VALUES(27,'Monaco','monaco',X'4246442a2e46010a01dc09');
INSERT INTO country VALUES(28,'Netherlands','netherlands',X'44325038324c402a44304e010f01dc0e');
INSERT INTO country VALUES(29,'New Zealand','new zealand',X'443256045c322a402a4430010f01dcc3dc0a');
INSERT INTO country VALUES(30,'Norway','norway',X'44464c562a5a010a01dc09');
INSERT INTO country VALUES(31,'Polska','polska',X'4846404e3e2a010a01dc09');
INSERT INTO country VALUES(32,'Portugal','portugal',X'48464c5052362a40010c01dc0b');
INSERT INTO country VALUES(33,'Россия','россия',X'61968a9c9c46f4010a01de09');
INSERT INTO country VALUES(34,'San Marino','san marino',X'4e2a4404422a4c3a4446010e01dcc3dc09');
INSERT INTO country VALUES(35,'South Africa','south africa',X'4e46525038042a344c3a2e2a011001dcc1dc09');
INSERT INTO country VALUES(36,'España','espana',X'324e482a442a01419a0501dc0a');
INSERT INTO country VALUES(37,'Sweden','sweden',X'4e5632303244010a01dc09');
INSERT INTO country VALUES(38,'Switzerland','switzerland',X'4e563a505c324c402a4430010f01dc0e');
INSERT INTO country VALUES(39,'Turkey','turkey',X'50524c3e325a010a01dc09');
INSERT INTO country VALUES(40,'United States','united states',X'52443a503230044e502a50324e011101dcc0dc09');
INSERT INTO country VALUES(41,'Vatican City','vatican city',X'542a503a2e2a44042e3a505a011001dcbfdc07');
CREATE TABLE format (formID INTEGER PRIMARY KEY AUTOINCREMENT, FormDesc TEXT COLLATE NOCASE, "FormDesc_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "FormDesc_sort" BLOB NOT NULL DEFAULT x'');
INSERT INTO format VALUES(1,'Block of 4','block of 4',X'2c40462e3e044634040f06010e01dc0d');
INSERT INTO format VALUES(2,'Booklet pane','booklet pane',X'2c46463e40325004482a4432011001dc0f');
INSERT INTO format VALUES(3,'Coil','coil',X'2e463a40010801dc07');
INSERT INTO format VALUES(4,'Cover','cover',X'2e4654324c010901dc08');
INSERT INTO format VALUES(5,'First day cover','first day cover',X'343a4c4e5004302a5a042e4654324c011301dc12');
INSERT INTO format VALUES(6,'Full sheet','full sheet',X'34524040044e38323250010e01dc0d');
INSERT INTO format VALUES(7,'Pair','pair',X'482a3a4c010801dc07');
INSERT INTO format VALUES(8,'Plate block','plate block',X'48402a5032042c40462e3e010f01dc0e');
INSERT INTO format VALUES(9,'Postal card','postal card',X'48464e502a40042e2a4c30010f01dc0e');
INSERT INTO format VALUES(10,'Single','single',X'4e3a44364032010a01dc09');
INSERT INTO format VALUES(11,'Souvenir sheet','souvenir sheet',X'4e46525432443a4c044e38323250011201dc11');
INSERT INTO format VALUES(12,'Strip of 3','strip of 3',X'4e504c3a48044634040f05010e01dc0d');
CREATE TABLE gum (gumID INTEGER PRIMARY KEY AUTOINCREMENT, GumDesc TEXT COLLATE NOCASE, "GumDesc_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "GumDesc_sort" BLOB NOT NULL DEFAULT x'');
INSERT INTO gum VALUES(1,'Disturbed gum','disturbed gum',X'303a4e50524c2c323004365242011101dc10');
INSERT INTO gum VALUES(2,'No gum','no gum',X'444604365242010a01dc09');
INSERT INTO gum VALUES(3,'Original gum','original gum',X'464c3a363a442a4004365242011001dc0f');
INSERT INTO gum VALUES(4,'Regummed','regummed',X'4c32365242423230010c01dc0b');
INSERT INTO gum VALUES(5,'Self-adhesive','self-adhesive',X'4e324034050e2a3038324e3a5432011101dc10');
INSERT INTO gum VALUES(6,'Hinge remnant','hinge remnant',X'383a443632044c3242442a4450011101dc10');
CREATE TABLE paper (papID INTEGER PRIMARY KEY AUTOINCREMENT, Papdesc TEXT COLLATE NOCASE, "Papdesc_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "Papdesc_sort" BLOB NOT NULL DEFAULT x'');
INSERT INTO paper VALUES(1,'Chalk-surfaced','chalk-surfaced',X'2e382a403e050e4e524c342a2e3230011201dc11');
INSERT INTO paper VALUES(2,'Fluorescent','fluorescent',X'344052464c324e2e324450010f01dc0e');
INSERT INTO paper VALUES(3,'Granite','granite',X'364c2a443a5032010b01dc0a');
INSERT INTO paper VALUES(4,'Laid','laid',X'402a3a30010801dc07');
INSERT INTO paper VALUES(5,'Pelure','pelure',X'483240524c32010a01dc09');
INSERT INTO paper VALUES(6,'Phosphor-tagged','phosphor-tagged',X'4838464e4838464c050e502a36363230011301dc12');
INSERT INTO paper VALUES(7,'Silk thread','silk thread',X'4e3a403e0450384c322a30010f01dc0e');
INSERT INTO paper VALUES(8,'Wove','wove',X'56465432010801e007');
CREATE TABLE Perf (perfID INTEGER PRIMARY KEY AUTOINCREMENT, PerfDesc TEXT COLLATE NOCASE, "PerfDesc_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "PerfDesc_sort" BLOB NOT NULL DEFAULT x'');
INSERT INTO Perf VALUES(1,'Die cut','die cut',X'303a32042e5250010b01dc0a');
INSERT INTO Perf VALUES(2,'Imperforate','imperforate',X'3a4248324c34464c2a5032010f01dc0e');
INSERT INTO Perf VALUES(3,'Perf 10','perf 10',X'48324c34040f0c010a01dc09');
INSERT INTO Perf VALUES(4,'Perf 11','perf 11',X'48324c34040f0d010a01dc09');
INSERT INTO Perf VALUES(5,'Perf 11 x 10 1/2','perf 11 x 10 1/2',X'48324c34040f0d0458040f0c040f030a9e0f04011201dc11');
INSERT INTO Perf VALUES(6,'Perf 12','perf 12',X'48324c34040f0e010a01dc09');
INSERT INTO Perf VALUES(7,'Perf 12 1/2','perf 12 1/2',X'48324c34040f0e040f030a9e0f04010e01dc0d');
INSERT INTO Perf VALUES(8,'Perf 13','perf 13',X'48324c34040f0f010a01dc09');
INSERT INTO Perf VALUES(9,'Perf 14','perf 14',X'48324c34040f10010a01dc09');
INSERT INTO Perf VALUES(10,'Perf 14 x 15','perf 14 x 15',X'48324c34040f100458040f11010e01dc0d');
INSERT INTO Perf VALUES(11,'Rouletted','rouletted',X'4c4652403250503230010d01dc0c');
CREATE TABLE topic (topID INTEGER PRIMARY KEY AUTOINCREMENT, TopDesc TEXT COLLATE NOCASE, "TopDesc_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "TopDesc_sort" BLOB NOT NULL DEFAULT x'');
INSERT INTO topic VALUES(1,'Architecture','architecture',X'2a4c2e383a50322e50524c32011001dc0f');
INSERT INTO topic VALUES(2,'Art','art',X'2a4c50010701dc06');
INSERT INTO topic VALUES(3,'Aviation','aviation',X'2a543a2a503a4644010c01dc0b');
INSERT INTO topic VALUES(4,'Birds','birds',X'2c3a4c304e010901dc08');
INSERT INTO topic VALUES(5,'Christmas','christmas',X'2e384c3a4e50422a4e010d01dc0c');
INSERT INTO topic VALUES(6,'Famous people','famous people',X'342a4246524e04483246484032011101dc10');
INSERT INTO topic VALUES(7,'Flowers','flowers',X'34404656324c4e010b01dc0a');
INSERT INTO topic VALUES(8,'Insects','insects',X'3a444e322e504e010b01dc0a');
INSERT INTO topic VALUES(9,'Maps','maps',X'422a484e010801dc07');
INSERT INTO topic VALUES(10,'Music','music',X'42524e3a2e010901dc08');
INSERT INTO topic VALUES(11,'Olympics','olympics',X'46405a42483a2e4e010c01dc0b');
INSERT INTO topic VALUES(12,'Royalty','royalty',X'4c465a2a40505a010b01dc0a');
INSERT INTO topic VALUES(13,'Ships','ships',X'4e383a484e010901dc08');
INSERT INTO topic VALUES(14,'Space','space',X'4e482a2e32010901dc08');
INSERT INTO topic VALUES(15,'Sports','sports',X'4e48464c504e010a01dc09');
INSERT INTO topic VALUES(16,'Trains','trains',X'504c2a3a444e010a01dc09');
CREATE TABLE type (typeID INTEGER PRIMARY KEY AUTOINCREMENT, Typedesc TEXT COLLATE NOCASE, "Typedesc_fold" TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "Typedesc_sort" BLOB NOT NULL DEFAULT x'');
INSERT INTO type VALUES(1,'Airmail','airmail',X'2a3a4c422a3a40010b01dc0a');
INSERT INTO type VALUES(2,'Commemorative','commemorative',X'2e4642423242464c2a503a5432011101dc10');
INSERT INTO type VALUES(3,'Definitive','definitive',X'3032343a443a503a5432010e01dc0d');
INSERT INTO type VALUES(4,'Newspaper','newspaper',X'4432564e482a48324c010d01dc0c');
INSERT INTO type VALUES(5,'Official','official',X'4634343a2e3a2a40010c01dc0b');
INSERT INTO type VALUES(6,'Postage due','postage due',X'48464e502a363204305232010f01dc0e');
INSERT INTO type VALUES(7,'Revenue','revenue',X'4c325432445232010b01dc0a');
INSERT INTO type VALUES(8,'Semi-postal','semi-postal',X'4e32423a050e48464e502a40010f01dc0e');
INSERT INTO type VALUES(9,'Special delivery','special delivery',X'4e48322e3a2a40043032403a54324c5a011401dc13');
INSERT INTO type VALUES(10,'Telegraph','telegraph',X'50324032364c2a4838010d01dc0c');
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
INSERT INTO RptSpec VALUES(34,'Image','FrontThumbnail',5,'FrontImage','StampID',1.0,0);
CREATE TABLE CatalogueInfo (name TEXT PRIMARY KEY, value TEXT);
INSERT INTO CatalogueInfo VALUES('text keys','C collation 153.120 key 2 fold 1 unicode 24');
CREATE TABLE TextKeyQueue (tbl TEXT NOT NULL, id INTEGER NOT NULL, PRIMARY KEY (tbl, id)) WITHOUT ROWID;
CREATE TABLE Picture (
  PictureID INTEGER PRIMARY KEY,
  Hash BLOB NOT NULL UNIQUE,
  Format TEXT NOT NULL,
  Width INTEGER NOT NULL,
  Height INTEGER NOT NULL,
  ByteSize INTEGER NOT NULL,
  Thumbnail BLOB NOT NULL
);
CREATE TABLE PictureData (
  PictureID INTEGER PRIMARY KEY,
  Original BLOB NOT NULL
);
CREATE TABLE StampImage (
  ImageID INTEGER PRIMARY KEY,
  StampID INTEGER NOT NULL,
  Position INTEGER NOT NULL,
  Kind TEXT NOT NULL DEFAULT 'Front',
  Caption TEXT NOT NULL DEFAULT '',
  PictureID INTEGER NOT NULL
);
CREATE TABLE DeletedStamp (StampID INTEGER PRIMARY KEY, "descr" TEXT, "catnum" TEXT, "catsort" TEXT, "face" REAL, "Year" INTEGER, "used" INTEGER, "wantlist" INTEGER, "quantity" INTEGER, "CouID" INTEGER, "typeID" INTEGER, "formID" INTEGER, "papID" INTEGER, "CanID" INTEGER, "perfID" INTEGER, "topID" INTEGER, "gumID" INTEGER, "ConID" INTEGER, "Color" TEXT, "watermark" TEXT, "Errors" TEXT, "issued" TEXT, "pricepaid" REAL, "totalpaid" REAL, "catvalue" REAL, "totalval" REAL, "priceask" REAL, "totalsales" REAL, "forsale" INTEGER, "purchased" TEXT, "sold" INTEGER, "datesold" TEXT, "notes" TEXT, "misc1" TEXT, "misc2" TEXT, DeletedAt TEXT NOT NULL);
INSERT INTO DeletedStamp VALUES(7,'Mozart 18d','C87','                 C87',4.7999999999999998223,1877,1,0,1,4,5,5,NULL,3,9,7,1,9,'Blue','Small star','','1877-02-09',7.8899999999999996802,7.8899999999999996802,6.9800000000000004263,6.9800000000000004263,NULL,NULL,0,'2002-11-03',0,NULL,'','','','2026-12-01T10:00:00');
DELETE FROM sqlite_sequence;
INSERT INTO sqlite_sequence VALUES('cancel',13);
INSERT INTO sqlite_sequence VALUES('Condition',10);
INSERT INTO sqlite_sequence VALUES('country',41);
INSERT INTO sqlite_sequence VALUES('format',12);
INSERT INTO sqlite_sequence VALUES('gum',6);
INSERT INTO sqlite_sequence VALUES('paper',8);
INSERT INTO sqlite_sequence VALUES('Perf',11);
INSERT INTO sqlite_sequence VALUES('topic',16);
INSERT INTO sqlite_sequence VALUES('type',10);
INSERT INTO sqlite_sequence VALUES('Stamp',12);
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
CREATE TRIGGER "Stamp_text_keys_insert" AFTER INSERT ON "Stamp" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Stamp', NEW.rowid); END;
CREATE TRIGGER "Stamp_text_keys_update" AFTER UPDATE OF "descr","catnum","catsort","Color","watermark","Errors","notes","misc1","misc2" ON "Stamp" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Stamp', NEW.rowid); END;
CREATE TRIGGER "cancel_text_keys_insert" AFTER INSERT ON "cancel" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('cancel', NEW.rowid); END;
CREATE TRIGGER "cancel_text_keys_update" AFTER UPDATE OF "CanDesc" ON "cancel" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('cancel', NEW.rowid); END;
CREATE TRIGGER "Condition_text_keys_insert" AFTER INSERT ON "Condition" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Condition', NEW.rowid); END;
CREATE TRIGGER "Condition_text_keys_update" AFTER UPDATE OF "conDesc" ON "Condition" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Condition', NEW.rowid); END;
CREATE TRIGGER "country_text_keys_insert" AFTER INSERT ON "country" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('country', NEW.rowid); END;
CREATE TRIGGER "country_text_keys_update" AFTER UPDATE OF "Coudesc" ON "country" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('country', NEW.rowid); END;
CREATE TRIGGER "format_text_keys_insert" AFTER INSERT ON "format" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('format', NEW.rowid); END;
CREATE TRIGGER "format_text_keys_update" AFTER UPDATE OF "FormDesc" ON "format" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('format', NEW.rowid); END;
CREATE TRIGGER "gum_text_keys_insert" AFTER INSERT ON "gum" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('gum', NEW.rowid); END;
CREATE TRIGGER "gum_text_keys_update" AFTER UPDATE OF "GumDesc" ON "gum" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('gum', NEW.rowid); END;
CREATE TRIGGER "paper_text_keys_insert" AFTER INSERT ON "paper" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('paper', NEW.rowid); END;
CREATE TRIGGER "paper_text_keys_update" AFTER UPDATE OF "Papdesc" ON "paper" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('paper', NEW.rowid); END;
CREATE TRIGGER "Perf_text_keys_insert" AFTER INSERT ON "Perf" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Perf', NEW.rowid); END;
CREATE TRIGGER "Perf_text_keys_update" AFTER UPDATE OF "PerfDesc" ON "Perf" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('Perf', NEW.rowid); END;
CREATE TRIGGER "topic_text_keys_insert" AFTER INSERT ON "topic" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('topic', NEW.rowid); END;
CREATE TRIGGER "topic_text_keys_update" AFTER UPDATE OF "TopDesc" ON "topic" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('topic', NEW.rowid); END;
CREATE TRIGGER "type_text_keys_insert" AFTER INSERT ON "type" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('type', NEW.rowid); END;
CREATE TRIGGER "type_text_keys_update" AFTER UPDATE OF "Typedesc" ON "type" BEGIN INSERT OR IGNORE INTO TextKeyQueue (tbl, id) VALUES ('type', NEW.rowid); END;
CREATE INDEX StampImageStamp ON StampImage (StampID, Position);
CREATE INDEX StampImagePicture ON StampImage (PictureID);
CREATE VIEW FrontImage AS SELECT s.StampID AS StampID,
  (SELECT p.Thumbnail FROM StampImage i JOIN Picture p ON p.PictureID = i.PictureID
   WHERE i.StampID = s.StampID AND i.Kind = 'Front' ORDER BY i.Position LIMIT 1) AS FrontThumbnail
FROM Stamp s;
CREATE TRIGGER StampImage_owner_deleted AFTER DELETE ON Stamp BEGIN DELETE FROM StampImage WHERE StampID = OLD.StampID AND NOT EXISTS (SELECT 1 FROM ImageOwner WHERE StampID = OLD.StampID); END;
CREATE TRIGGER StampImage_picture_freed AFTER DELETE ON StampImage BEGIN DELETE FROM Picture WHERE PictureID = OLD.PictureID AND NOT EXISTS (SELECT 1 FROM StampImage WHERE PictureID = OLD.PictureID); END;
CREATE TRIGGER StampImage_picture_changed AFTER UPDATE OF PictureID ON StampImage BEGIN DELETE FROM Picture WHERE PictureID = OLD.PictureID AND NOT EXISTS (SELECT 1 FROM StampImage WHERE PictureID = OLD.PictureID); END;
CREATE TRIGGER Picture_data_freed AFTER DELETE ON Picture BEGIN DELETE FROM PictureData WHERE PictureID = OLD.PictureID; END;
CREATE VIEW ImageOwner AS SELECT StampID FROM Stamp UNION ALL SELECT StampID FROM DeletedStamp;
CREATE TRIGGER DeletedStamp_images_freed AFTER DELETE ON DeletedStamp BEGIN DELETE FROM StampImage WHERE StampID = OLD.StampID AND NOT EXISTS (SELECT 1 FROM ImageOwner WHERE StampID = OLD.StampID); END;
CREATE INDEX StampDescrSort ON Stamp (descr_sort);
CREATE INDEX StampCatsortSort ON Stamp (catsort_sort);
CREATE INDEX StampDescrFold ON Stamp (descr_fold);
CREATE INDEX StampCatnumFold ON Stamp (catnum_fold);
CREATE INDEX StampFindText ON Stamp (find_text, CouID, topID);
CREATE INDEX CancelDescSort ON cancel (CanDesc_sort);
CREATE INDEX ConditionDescSort ON Condition (conDesc_sort);
CREATE INDEX CountryDescSort ON country (Coudesc_sort);
CREATE INDEX FormatDescSort ON format (FormDesc_sort);
CREATE INDEX GumDescSort ON gum (GumDesc_sort);
CREATE INDEX PaperDescSort ON paper (Papdesc_sort);
CREATE INDEX PerfDescSort ON Perf (PerfDesc_sort);
CREATE INDEX TopicDescSort ON topic (TopDesc_sort);
CREATE INDEX TypeDescSort ON type (Typedesc_sort);
PRAGMA user_version=4;
COMMIT;
