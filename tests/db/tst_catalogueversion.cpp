// Catalogue files of every earlier layout open and are brought up to date once;
// the stored text keys stay true to their texts whoever wrote the file; the
// file stays an ordinary SQLite file.
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "db/CatalogueVersion.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/FieldValue.h"
#include "db/Recordset.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

// A catalogue file of the layout a kept dump describes.
QString FileFromDump(const QTemporaryDir& dir, const QString& dumpName)
{
    QFile dump(QStringLiteral(TESS_SOURCE_DIR "/tests/data/") + dumpName);
    if (!dump.open(QIODevice::ReadOnly)) qFatal("no dump %s", qPrintable(dumpName));
    const QString path = dir.filePath(QStringLiteral("stamp.mdb"));
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    char* error = nullptr;
    if (sqlite3_exec(db, dump.readAll().constData(), nullptr, nullptr, &error) != SQLITE_OK) qFatal("%s", error);
    sqlite3_close(db);
    return path;
}

// What the sqlite3 command prints for some SQL on a file.
QString Sqlite3(const QString& path, const QString& sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {path, sql});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The description the main window's find by description would show.
QString FindDescription(Database& db, const QString& typed)
{
    auto rs = db.OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
    rs->FindFirst(QStringLiteral("descr like '") + typed + QStringLiteral("*'"));
    return rs->NoMatch() ? QString() : TextOf(rs->Field(QStringLiteral("descr")));
}

QStringList Countries(Database& db)
{
    auto rs = db.OpenSnapshot(QStringLiteral("Select * from country order by Coudesc"));
    QStringList names;
    for (; !rs->Eof(); rs->MoveNext()) names << TextOf(rs->Field(QStringLiteral("Coudesc")));
    return names;
}

}  // namespace

class TestCatalogueVersion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void newCatalogueIsCurrentAndOrdinary()
    {
        TestCatalogue cat(30);
        QCOMPARE(Sqlite3(cat.Path(), QStringLiteral("PRAGMA user_version")), QString::number(kCatalogueVersion));
        QCOMPARE(Sqlite3(cat.Path(), QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    }

    void olderFileIsUpgradedOnce_data()
    {
        QTest::addColumn<QString>("dump");
        QTest::addColumn<QStringList>("finds");      // typed, found, typed, found ...
        QTest::addColumn<QStringList>("countries");  // pairs in their order, then the last country
        QTest::addColumn<QStringList>("filtered");   // a word of the quick filter, the stamps it finds
        QTest::newRow("version 0") << "catalogue-v0.sql"
                                   << QStringList{"oster", "Österreich Wappen 1850", "ΕΛΛΑΔΑ", "Ελλάδα Hermes head"}
                                   << QStringList{"Åland", "Argentina", "Österreich", "Poland", "Ελλάδα"}
                                   << QStringList{"wappen", "Österreich Wappen 1850"};
        QTest::newRow("version 1") << "catalogue-v1.sql"
                                   << QStringList{"penny b", "Penny Black 23d", "STEAM", "Steam Locomotive 1d (surcharge)"}
                                   << QStringList{"Åland", "Argentina", "Österreich", "Polska", "Россия"}
                                   << QStringList{"certificate no. 4471", "Zeppelin 37c|Airmail Biplane 17c (surcharge)"};
        QTest::newRow("version 2") << "catalogue-v2.sql"
                                   << QStringList{"penny b", "Penny Black 23d", "zeppelin", "Zeppelin 37c"}
                                   << QStringList{"Åland", "Argentina", "Österreich", "Polska", "Россия"}
                                   << QStringList{"certificate no. 4471",
                                                  "Zeppelin 37c|Airmail Biplane 17c (surcharge)"};
        QTest::newRow("version 3") << "catalogue-v3.sql"
                                   << QStringList{"columbus", "Columbus Landing 25d", "ZEPP", "Zeppelin 37c"}
                                   << QStringList{"Åland", "Argentina", "Österreich", "Polska", "Россия"}
                                   << QStringList{"certificate no. 4471",
                                                  "Zeppelin 37c|Airmail Biplane 17c (surcharge)"};
        // With Mozart 18d in the trash.
        QTest::newRow("version 4") << "catalogue-v4.sql"
                                   << QStringList{"columbus", "Columbus Landing 25d", "mozart", ""}
                                   << QStringList{"Åland", "Argentina", "Österreich", "Polska", "Россия"}
                                   << QStringList{"certificate no. 4471",
                                                  "Zeppelin 37c|Airmail Biplane 17c (surcharge)"};
    }
    void olderFileIsUpgradedOnce()
    {
        QFETCH(QString, dump);
        QFETCH(QStringList, finds);
        QFETCH(QStringList, countries);
        QFETCH(QStringList, filtered);
        QTemporaryDir dir;
        const QString path = FileFromDump(dir, dump);
        const QString stamps = Sqlite3(path, QStringLiteral("SELECT group_concat(StampID || descr) FROM Stamp"));
        const QString trashed =
            Sqlite3(path, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'DeletedStamp'")) == u'1'
                ? Sqlite3(path, QStringLiteral("SELECT group_concat(StampID || descr || DeletedAt) FROM DeletedStamp"))
                : QString();
        // The fields there were before the image field (which a file of version 2 has already).
        const QString fields = Sqlite3(
            path, QStringLiteral("SELECT group_concat(SpecID || Desc || fieldname) FROM RptSpec WHERE SpecID <= 33"));
        ScriptedPrompts prompts;
        {
            auto db = Database::Open(path, true);
            for (qsizetype i = 0; i + 1 < finds.size(); i += 2) QCOMPARE(FindDescription(*db, finds[i]), finds[i + 1]);
            const QStringList ordered = Countries(*db);
            for (qsizetype i = 0; i + 1 < countries.size(); i += 2)
                QVERIFY(ordered.indexOf(countries[i]) < ordered.indexOf(countries[i + 1]));
            QCOMPARE(ordered.last(), countries.last());
        }
        QVERIFY(prompts.messages.empty());
        // The images came with the upgrade: their tables, and one more field for
        // custom reports after the fields there were, which are as they were.
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT count(*) FROM StampImage; SELECT count(*) FROM Picture; "
                                              "SELECT count(*) FROM PictureData; SELECT count(*) FROM FrontImage")),
                 QStringLiteral("0\n0\n0\n") + Sqlite3(path, QStringLiteral("SELECT count(*) FROM Stamp")));
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT group_concat(SpecID || Desc || fieldname) FROM RptSpec WHERE "
                                              "SpecID <= 33")),
                 fields);
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT SpecID || ' ' || Desc || ' ' || datatype FROM RptSpec WHERE "
                                              "fieldname = 'FrontThumbnail'")),
                 QStringLiteral("34 Image 5"));
        // The trash came with the upgrade (or kept what it held), and the stamps
        // in it own their images and numbers as the stamps do.
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT group_concat(StampID || descr || DeletedAt) FROM DeletedStamp")),
                 trashed);
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN "
                                              "('DeletedStamp_images_freed', 'StampNumber_trash_emptied')")),
                 QStringLiteral("2"));
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'ImageOwner'")),
                 QStringLiteral("CREATE VIEW ImageOwner AS SELECT StampID FROM Stamp UNION ALL SELECT StampID FROM "
                                "DeletedStamp"));
        // The list of catalogues came with the upgrade, once, its names found and
        // ordered by their keys; no stamp has numbers in them yet.
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT count(*) FROM StampNumber; SELECT group_concat(CatalogDesc || "
                                              "'/' || Prefix, ', ') FROM (SELECT * FROM Catalog ORDER BY "
                                              "CatalogDesc_sort) WHERE CatalogDesc_fold LIKE 's%'")),
                 QStringLiteral("0\nSakura/Sk, Sassone/Sa, Scott/Sc, Stanley Gibbons/SG"));
        // Nothing of the collector's changed, and the plain sqlite3 command reads it.
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT group_concat(StampID || descr) FROM Stamp")), stamps);
        QCOMPARE(Sqlite3(path, QStringLiteral("PRAGMA user_version")), QString::number(kCatalogueVersion));
        QCOMPARE(Sqlite3(path, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        // The stamp list's filter finds stamps by a word of their texts.
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT group_concat(descr, '|') FROM (SELECT descr FROM Stamp WHERE "
                                              "instr(find_text, '%1') > 0 ORDER BY StampID)")
                                   .arg(filtered[0])),
                 filtered[1]);
        QVERIFY(!Sqlite3(path, QStringLiteral("Select * from stamp order by descr; Select * from country order by "
                                              "Coudesc; Select * from stamp where descr like 'A%'"))
                     .startsWith(QStringLiteral("sqlite3 failed")));
        // The next open finds nothing to do.
        prompts.Clear();
        Database::Open(path, true);
        QVERIFY(prompts.progress.empty());
        QCOMPARE(Sqlite3(path, QStringLiteral("SELECT count(*) FROM Catalog")), QStringLiteral("11"));
    }

    // Rows written by another tool are found by their folded text at the next open,
    // even when that tool removed the triggers that note what it wrote.
    void textWrittenByAnotherToolIsFound_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("update") << "UPDATE Stamp SET descr = 'Åland Lighthouse' WHERE StampID = 3";
        QTest::newRow("insert") << "INSERT INTO Stamp (descr) VALUES ('Åland Lighthouse')";
        QTest::newRow("triggers dropped")
            << "DROP TRIGGER Stamp_text_keys_update; UPDATE Stamp SET descr = 'Åland Lighthouse' WHERE StampID = 3";
    }
    void textWrittenByAnotherToolIsFound()
    {
        QFETCH(QString, sql);
        TestCatalogue cat(20);
        QCOMPARE(Sqlite3(cat.Path(), sql), QString());
        auto db = Database::Open(cat.Path(), true);
        QCOMPARE(FindDescription(*db, QStringLiteral("aland l")), QStringLiteral("Åland Lighthouse"));
        db.reset();
        QCOMPARE(Sqlite3(cat.Path(), QStringLiteral("SELECT count(*) FROM TextKeyQueue")), QStringLiteral("0"));
        QCOMPARE(Sqlite3(cat.Path(), QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND "
                                                    "name LIKE '%text_keys%'")),
                 QStringLiteral("24"));
    }

    // Keys made under one locale's collation are made anew under another's.
    void anotherLocaleOrdersAnew()
    {
        TestCatalogue cat;
        cat.Exec(QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Zambia'), ('Åland'), ('Austria')"));
        ScriptedPrompts prompts;
        {
            auto db = Database::Open(cat.Path(), true);
            QCOMPARE(Countries(*db), QStringList({"Åland", "Austria", "Zambia"}));
        }
        QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
        auto db = Database::Open(cat.Path(), true);
        QCOMPARE(Countries(*db), QStringList({"Austria", "Zambia", "Åland"}));
    }

    void newerFileIsRefusedUntouched()
    {
        TestCatalogue cat;
        cat.Exec(QStringLiteral("PRAGMA user_version = %1").arg(kCatalogueVersion + 1));
        QFile file(cat.Path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        try {
            Database::Open(cat.Path(), true);
            QFAIL("opened");
        } catch (const DbError& e) {
            QCOMPARE(e.Number(), ErrNo::NewerCatalogue);
            QCOMPARE(e.Text(), QStringLiteral("'%1' was written by a newer version of Tessarine (catalogue version %2); "
                                              "this version can open catalogues up to version %3.  The file has not "
                                              "been changed.")
                                   .arg(cat.Path())
                                   .arg(kCatalogueVersion + 1)
                                   .arg(kCatalogueVersion));
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(TestCatalogueVersion)
#include "tst_catalogueversion.moc"
