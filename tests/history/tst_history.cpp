// The history of changes: a change noted row by row is undone and redone to the
// exact stored values, whatever kind of value; stamps deleted into the trash
// come back with their key and images; a code entry deleted comes back with its
// key; a change overtaken by writes the history did not see is refused; the
// menu names each change.
#include "HistoryTestData.h"
#include "ScriptedPrompts.h"
#include "TestCatalogue.h"
#include "TestImages.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "history/ChangeCapture.h"
#include "history/ChangeNames.h"
#include "history/History.h"
#include "history/Trash.h"
#include "images/ImageStore.h"

#include <QLocale>
#include <QTest>

namespace {

std::shared_ptr<const PreparedPicture> Picture(int seed)
{
    const Intake intake = PrepareBytes(PngBytes(120, 80, seed));
    if (!intake.picture) qFatal("%s", qPrintable(intake.problem));
    return intake.picture;
}

ImageEntry NewImage(int seed, const QString& kind = kFrontKind)
{
    ImageEntry entry;
    entry.picture = Picture(seed);
    entry.kind = kind;
    return entry;
}

void Run(Database& db, const QString& sql)
{
    Statement statement(db.SharedConnection(), sql);
    while (statement.Step()) {
    }
}

QString One(Database& db, const QString& sql)
{
    auto rs = db.OpenSnapshot(sql);
    return rs->IsEmpty() || !rs->FieldAt(0).isValid() ? QString() : rs->FieldAt(0).toString();
}

// The description the main window's find by description shows.
QString Found(Database& db, const QString& typed)
{
    auto rs = db.OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
    rs->FindFirst(QStringLiteral("descr like '") + typed + QStringLiteral("*'"));
    return rs->NoMatch() ? QString() : rs->Field(QStringLiteral("descr")).toString();
}

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompts> mPrompts;
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<Database> mDb;

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mPrompts = std::make_unique<ScriptedPrompts>();
        if (QByteArray(QTest::currentTestFunction()) == "names") return;
        mCat = std::make_unique<TestCatalogue>(20);
        // A stamp whose every kind of value is set, to change one at a time.
        mCat->Exec(QStringLiteral(
            "UPDATE Stamp SET descr = 'Penny Black', catnum = '1', catsort = '                   1', face = 0.01, "
            "Year = 1840, used = 1, wantlist = 0, quantity = 3, CouID = 15, typeID = NULL, Color = 'black', "
            "issued = '1840-05-06', pricepaid = 0.1, totalpaid = 0.30000000000000004, catvalue = 1234567.89, "
            "totalval = 3703703.67, priceask = NULL, totalsales = NULL, forsale = 0, sold = 0, "
            "purchased = '1999-12-31', datesold = NULL, notes = 'line one' || char(10) || 'line ''two''', "
            "misc1 = '', misc2 = 'ü' WHERE StampID = 1"));
        mDb = Database::Open(mCat->Path(), true);
        // Many small commits: the test need not wait for the disk after each.
        Run(*mDb, QStringLiteral("PRAGMA synchronous = OFF"));
        TheHistory().Clear();
    }
    void cleanup()
    {
        TheHistory().Clear();
        mDb.reset();
        mCat.reset();
        mPrompts.reset();
    }

    // Each kind of value, changed and undone and redone: the catalogue holds
    // exactly what it held, down to the bits of money and the nulls.
    void updateRoundTripsEveryKindOfValue_data()
    {
        QTest::addColumn<QString>("set");
        QTest::newRow("text") << "descr = 'Tuppenny Blue Ωmega', catnum = '2a', catsort = '                  2a'";
        QTest::newRow("text emptied") << "Color = '', misc2 = ''";
        QTest::newRow("money to the last digit") << "pricepaid = 0.7, totalpaid = 2.0999999999999996";
        QTest::newRow("large money") << "catvalue = 922337203685477.5807, totalval = 0.0001";
        QTest::newRow("money to null") << "face = NULL, pricepaid = NULL, totalpaid = NULL";
        QTest::newRow("null to money") << "priceask = 12.5, totalsales = 37.5";
        QTest::newRow("dates") << "issued = '1841-02-01', purchased = NULL, datesold = '2024-02-29'";
        QTest::newRow("flags") << "used = 0, wantlist = 1, forsale = 1";
        QTest::newRow("codes") << "CouID = NULL, typeID = 3, gumID = 2";
        QTest::newRow("numbers") << "Year = NULL, quantity = 2147483647";
        QTest::newRow("notes") << "notes = 'new' || char(13) || char(10) || 'lines & \"quotes\"'";
    }
    void updateRoundTripsEveryKindOfValue()
    {
        QFETCH(QString, set);
        const QString before = CatalogueState(*mDb);
        QVERIFY(RecordChange(*mDb, ChangeKind::Update, [&] {
            Run(*mDb, QStringLiteral("UPDATE Stamp SET ") + set + QStringLiteral(" WHERE StampID = 1"));
        }));
        const QString after = CatalogueState(*mDb);
        QVERIFY(after != before);
        QVERIFY(TheHistory().CanUndo());

        const HistoryStep undone = TheHistory().Undo(*mDb);
        QVERIFY(undone.done);
        QCOMPARE(undone.focusStamp, qint64(1));
        QCOMPARE(CatalogueState(*mDb), before);
        QCOMPARE(Found(*mDb, QStringLiteral("penny b")), QStringLiteral("Penny Black"));

        QVERIFY(TheHistory().Redo(*mDb).done);
        QCOMPARE(CatalogueState(*mDb), after);
        QVERIFY(TheHistory().Undo(*mDb).done);
        QCOMPARE(CatalogueState(*mDb), before);
        QVERIFY(mPrompts->messages.empty());
    }

    // A deleted stamp waits in the trash with its images; undo brings it back
    // with its key, values and images; redo sends it back; emptying the trash
    // lets the images go.
    void deleteWithImagesComesBack()
    {
        ImageStore store(*mDb);
        store.SaveStampImages(1, {NewImage(1), NewImage(2, kBackKind)});
        store.SaveStampImages(2, {NewImage(1)});  // the front's picture is shared
        const QString before = CatalogueState(*mDb);
        const QString stamp1 =
            ExactRows(mDb->SharedConnection()->db, QStringLiteral("Stamp"), QStringLiteral("StampID = 1"));

        QVERIFY(TrashStamps(*mDb, {1, 3}));
        QCOMPARE(One(*mDb, QStringLiteral("SELECT count(*) FROM Stamp WHERE StampID IN (1, 3)")), QStringLiteral("0"));
        QCOMPARE(TrashCount(*mDb), 2);
        QCOMPARE(store.StampImages(1, false).size(), size_t(2));
        QCOMPARE(TheHistory().UndoName(), QStringLiteral("Delete of 2 stamps"));

        const HistoryStep undone = TheHistory().Undo(*mDb);
        QVERIFY(undone.done);
        QCOMPARE(undone.stamps, QList<qint64>({1, 3}));
        QCOMPARE(CatalogueState(*mDb), before);
        QCOMPARE(ExactRows(mDb->SharedConnection()->db, QStringLiteral("Stamp"), QStringLiteral("StampID = 1")),
                 stamp1);

        QVERIFY(TheHistory().Redo(*mDb).done);
        QCOMPARE(TrashCount(*mDb), 2);
        EmptyTrash(*mDb);
        QVERIFY(store.StampImages(1, false).empty());
        // The shared picture stays for stamp 2; the back's picture is gone.
        QCOMPARE(store.PictureCount(), 1);
        QCOMPARE(One(*mDb, QStringLiteral("SELECT count(*) FROM PictureData")), QStringLiteral("1"));
    }

    // Undo of an added stamp removes it entirely, its new picture too; redo
    // brings back the same bytes under the same key.
    void addWithNewPictureUndoneEntirely()
    {
        const QString before = CatalogueState(*mDb);
        qint64 added = 0;
        QVERIFY(RecordChange(*mDb, ChangeKind::Add, [&] {
            Run(*mDb, QStringLiteral("INSERT INTO Stamp (descr, quantity) VALUES ('Basel Dove', 1)"));
            added = One(*mDb, QStringLiteral("SELECT max(StampID) FROM Stamp")).toLongLong();
            ImageStore(*mDb).SaveStampImages(added, {NewImage(7)});
        }));
        const QString after = CatalogueState(*mDb);
        QCOMPARE(TheHistory().UndoName(), QStringLiteral("Add of 'Basel Dove'"));
        QVERIFY(TheHistory().Undo(*mDb).done);
        QCOMPARE(CatalogueState(*mDb), before);
        QCOMPARE(TrashCount(*mDb), 0);
        QVERIFY(TheHistory().Redo(*mDb).done);
        QCOMPARE(CatalogueState(*mDb), after);
        QCOMPARE(One(*mDb, QStringLiteral("SELECT descr FROM Stamp WHERE StampID = %1").arg(added)),
                 QStringLiteral("Basel Dove"));
    }

    // An image removed by an update frees its picture; undo brings the picture
    // back byte for byte.
    void imageRemovedByUpdateComesBack()
    {
        ImageStore store(*mDb);
        store.SaveStampImages(4, {NewImage(3), NewImage(4, kBackKind)});
        const QByteArray original = store.Original(store.StampImages(4, false).at(1).pictureId);
        const QString before = CatalogueState(*mDb);
        QVERIFY(RecordChange(*mDb, ChangeKind::Update, [&] {
            Run(*mDb, QStringLiteral("UPDATE Stamp SET Color = 'red' WHERE StampID = 4"));
            std::vector<ImageEntry> keep(1);
            keep[0].imageId = store.StampImages(4, false).at(0).imageId;
            keep[0].kind = kFrontKind;
            store.SaveStampImages(4, keep);
        }));
        QCOMPARE(store.PictureCount(), 1);
        QVERIFY(TheHistory().Undo(*mDb).done);
        QCOMPARE(CatalogueState(*mDb), before);
        QCOMPARE(store.Original(store.StampImages(4, false).at(1).pictureId), original);
    }

    // A country only a deleted stamp used can be deleted; undoing both brings
    // the country back under its old key, and the stamp points at it again.
    void codeDeleteComesBackWithItsKey()
    {
        Run(*mDb, QStringLiteral("INSERT INTO country (CouID, Coudesc) VALUES (500, 'Prussia')"));
        Run(*mDb, QStringLiteral("UPDATE Stamp SET CouID = 500 WHERE StampID = 5"));
        QVERIFY(TrashStamps(*mDb, {5}));
        QVERIFY(RecordChange(*mDb, ChangeKind::CodeDelete,
                             [&] { Run(*mDb, QStringLiteral("DELETE FROM country WHERE CouID = 500")); }));
        QCOMPARE(TheHistory().UndoName(), QStringLiteral("Delete of Country 'Prussia'"));
        const HistoryStep code = TheHistory().Undo(*mDb);
        QVERIFY(code.done);
        QCOMPARE(code.codeTables, QList<int>{3});
        QVERIFY(code.stamps.isEmpty());
        QCOMPARE(One(*mDb, QStringLiteral("SELECT Coudesc FROM country WHERE CouID = 500")), QStringLiteral("Prussia"));
        // The list orders it by its key, made again.
        QCOMPARE(One(*mDb, QStringLiteral("SELECT Coudesc FROM country ORDER BY Coudesc_sort LIMIT 1 OFFSET "
                                          "(SELECT count(*) FROM country WHERE Coudesc_sort < (SELECT Coudesc_sort "
                                          "FROM country WHERE CouID = 500))")),
                 QStringLiteral("Prussia"));
        QVERIFY(TheHistory().Undo(*mDb).done);
        QCOMPARE(One(*mDb, QStringLiteral("SELECT c.Coudesc FROM Stamp s JOIN country c ON c.CouID = s.CouID WHERE "
                                          "s.StampID = 5")),
                 QStringLiteral("Prussia"));
    }

    // Brought back from the trash after its country went, a stamp keeps its
    // key and its other values, and points at no country rather than at nothing.
    void restoreAfterItsCodeWentClearsTheCode()
    {
        Run(*mDb, QStringLiteral("INSERT INTO country (CouID, Coudesc) VALUES (501, 'Saxony')"));
        Run(*mDb, QStringLiteral("UPDATE Stamp SET CouID = 501, typeID = 2 WHERE StampID = 6"));
        const QString descr = One(*mDb, QStringLiteral("SELECT descr FROM Stamp WHERE StampID = 6"));
        QVERIFY(TrashStamps(*mDb, {6}));
        Run(*mDb, QStringLiteral("DELETE FROM country WHERE CouID = 501"));
        QList<qint64> restored;
        QVERIFY(RestoreStamps(*mDb, {6}, &restored));
        QCOMPARE(restored, QList<qint64>{6});
        QCOMPARE(One(*mDb, QStringLiteral("SELECT descr || '/' || ifnull(CouID, 'none') || '/' || typeID FROM Stamp "
                                          "WHERE StampID = 6")),
                 descr + QStringLiteral("/none/2"));
        QCOMPARE(TheHistory().UndoName(), QStringLiteral("Restore of '%1'").arg(descr));
    }

    // Writes the history did not see make the change unfit: it is refused with
    // a message, and the history forgets it and what lies behind it.
    void changeOvertakenElsewhereIsRefused()
    {
        QVERIFY(RecordChange(*mDb, ChangeKind::Update,
                             [&] { Run(*mDb, QStringLiteral("UPDATE Stamp SET Color = 'green' WHERE StampID = 7")); }));
        QVERIFY(RecordChange(*mDb, ChangeKind::Update,
                             [&] { Run(*mDb, QStringLiteral("UPDATE Stamp SET Color = 'blue' WHERE StampID = 7")); }));
        Run(*mDb, QStringLiteral("UPDATE Stamp SET Color = 'mauve' WHERE StampID = 7"));
        const QString state = CatalogueState(*mDb);
        const HistoryStep step = TheHistory().Undo(*mDb);
        QVERIFY(!step.done);
        QVERIFY(step.problem.startsWith(QStringLiteral("\"Update of ")));
        QVERIFY(step.problem.contains(QStringLiteral("cannot be undone")));
        QCOMPARE(CatalogueState(*mDb), state);
        QVERIFY(!TheHistory().CanUndo());
        QVERIFY(!TheHistory().CanRedo());
    }

    // A new change drops what could be redone; at least a hundred changes are
    // kept, newest first.
    void newChangeEndsRedoAndHundredsAreKept()
    {
        for (int i = 0; i < 130; ++i)
            QVERIFY(RecordChange(*mDb, ChangeKind::Update, [&] {
                Run(*mDb, QStringLiteral("UPDATE Stamp SET misc1 = '%1' WHERE StampID = 8").arg(i));
            }));
        QVERIFY(TheHistory().UndoCount() >= History::kKept);
        QVERIFY(TheHistory().Undo(*mDb).done);
        QCOMPARE(One(*mDb, QStringLiteral("SELECT misc1 FROM Stamp WHERE StampID = 8")), QStringLiteral("128"));
        QVERIFY(TheHistory().CanRedo());
        QVERIFY(RecordChange(*mDb, ChangeKind::Update,
                             [&] { Run(*mDb, QStringLiteral("UPDATE Stamp SET misc1 = 'x' WHERE StampID = 8")); }));
        QVERIFY(!TheHistory().CanRedo());
        for (int i = 0; i < History::kKept; ++i) QVERIFY(TheHistory().Undo(*mDb).done);
        QCOMPARE(One(*mDb, QStringLiteral("SELECT misc1 FROM Stamp WHERE StampID = 8")),
                 QString::number(128 - History::kKept + 1));
    }

    // Writing a row back as it was, or writing nothing, is no change.
    void nothingChangedIsNoChange()
    {
        QVERIFY(RecordChange(*mDb, ChangeKind::Update,
                             [&] { Run(*mDb, QStringLiteral("UPDATE Stamp SET descr = descr WHERE StampID = 1")); }));
        QVERIFY(RecordChange(*mDb, ChangeKind::Change, [] {}));
        QVERIFY(!TheHistory().CanUndo());
    }

    // A recording inside another joins it: one change to undo.
    void innerRecordingJoinsTheOuter()
    {
        QVERIFY(RecordChange(*mDb, ChangeKind::Import, [&] {
            Run(*mDb, QStringLiteral("UPDATE Stamp SET Color = 'teal' WHERE StampID = 9"));
            QVERIFY(TrashStamps(*mDb, {10}));
            Run(*mDb, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Levant')"));
        }));
        QCOMPARE(TheHistory().UndoCount(), 1);
        QCOMPARE(TheHistory().UndoName(), QStringLiteral("Import of 2 stamps"));
        const HistoryStep step = TheHistory().Undo(*mDb);
        QCOMPARE(step.codeTables, QList<int>{3});
        QCOMPARE(TrashCount(*mDb), 0);
        QCOMPARE(One(*mDb, QStringLiteral("SELECT count(*) FROM country WHERE Coudesc = 'Levant'")),
                 QStringLiteral("0"));
    }

    // A command with a transaction of its own (an import) noted from outside
    // it: what it commits is one change; what it rolls back is none.
    void recordingAroundATransactionOfItsOwn()
    {
        const QString before = CatalogueState(*mDb);
        {
            ChangeRecording recording(*mDb, ChangeKind::Import);
            Run(*mDb, QStringLiteral("BEGIN IMMEDIATE"));
            Run(*mDb, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Natal')"));
            Run(*mDb, QStringLiteral("INSERT INTO Stamp (descr, CouID) VALUES ('Natal Queen', "
                                     "(SELECT CouID FROM country WHERE Coudesc = 'Natal'))"));
            Run(*mDb, QStringLiteral("UPDATE Stamp SET quantity = 9 WHERE StampID = 2"));
            Run(*mDb, QStringLiteral("COMMIT"));
            TheHistory().Push(recording.Finish());
        }
        QCOMPARE(TheHistory().UndoName(), QStringLiteral("Import of 2 stamps"));
        {
            ChangeRecording recording(*mDb, ChangeKind::Import);
            Run(*mDb, QStringLiteral("BEGIN IMMEDIATE"));
            Run(*mDb, QStringLiteral("UPDATE Stamp SET quantity = 7 WHERE StampID = 3"));
            Run(*mDb, QStringLiteral("ROLLBACK"));
            TheHistory().Push(recording.Finish());
        }
        QCOMPARE(TheHistory().UndoCount(), 1);
        QVERIFY(TheHistory().Undo(*mDb).done);
        QCOMPARE(CatalogueState(*mDb), before);
    }

    void names_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("stamps");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("undo");
        QTest::addColumn<QString>("redo");
        QTest::newRow("update") << int(ChangeKind::Update) << 1 << "Penny Black"
                                << "&Undo Update of 'Penny Black'"
                                << "&Redo Update of 'Penny Black'";
        QTest::newRow("delete of three") << int(ChangeKind::Delete) << 3 << ""
                                         << "&Undo Delete of 3 stamps"
                                         << "&Redo Delete of 3 stamps";
        QTest::newRow("import, grouped") << int(ChangeKind::Import) << 1234 << ""
                                         << "&Undo Import of 1,234 stamps"
                                         << "&Redo Import of 1,234 stamps";
        QTest::newRow("import of one is counted") << int(ChangeKind::Import) << 1 << "Mozart"
                                                  << "&Undo Import of 1 stamp"
                                                  << "&Redo Import of 1 stamp";
        QTest::newRow("bulk change") << int(ChangeKind::Change) << 20 << ""
                                     << "&Undo Change of 20 stamps"
                                     << "&Redo Change of 20 stamps";
        QTest::newRow("an ampersand shows as itself") << int(ChangeKind::Add) << 1 << "Sun & Moon"
                                                      << "&Undo Add of 'Sun && Moon'"
                                                      << "&Redo Add of 'Sun && Moon'";
        QTest::newRow("a long description is shortened")
            << int(ChangeKind::Restore) << 1 << "A very long description of a stamp that goes on and on"
            << "&Undo Restore of 'A very long description of a stamp th...'"
            << "&Redo Restore of 'A very long description of a stamp th...'";
        QTest::newRow("nothing") << -1 << 0 << ""
                                 << "Nothing to &Undo"
                                 << "Nothing to &Redo";
    }
    void names()
    {
        QFETCH(int, kind);
        QFETCH(int, stamps);
        QFETCH(QString, description);
        QFETCH(QString, undo);
        QFETCH(QString, redo);
        QString name;
        if (kind >= 0) {
            CapturedTable table;
            table.stamps = true;
            StampNaming naming;
            for (int i = 0; i < stamps; ++i) naming.Note(table, i + 1, description);
            name = naming.Name(static_cast<ChangeKind>(kind));
        }
        QCOMPARE(UndoMenuText(name), undo);
        QCOMPARE(RedoMenuText(name), redo);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
