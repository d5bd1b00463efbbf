#include "TestCatalogue.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/FieldValue.h"
#include "db/Recordset.h"

#include <QTest>

namespace {

QStringList Descriptions(Recordset& rs)
{
    QStringList out;
    if (rs.IsEmpty()) return out;
    rs.MoveFirst();
    while (!rs.Eof()) {
        out << TextOf(rs.Field(QStringLiteral("descr")));
        rs.MoveNext();
    }
    return out;
}

int ErrorOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const DbError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace

class TestRecordset : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestCatalogue> mCat;
    std::unique_ptr<Database> mDb;

    void AddStamp(const QString& descr, const QString& catsort = QString())
    {
        auto rs = mDb->OpenDynaset(QStringLiteral("Select * from stamp"));
        rs->AddNew();
        rs->SetField(QStringLiteral("descr"), descr);
        rs->SetField(QStringLiteral("catsort"), catsort);
        rs->Update();
    }

private Q_SLOTS:
    void init()
    {
        mCat = std::make_unique<TestCatalogue>();
        mDb = Database::Open(mCat->Path(), true);
    }
    void cleanup()
    {
        mDb.reset();
        mCat.reset();
    }

    void emptyRecordset()
    {
        auto rs = mDb->OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
        QVERIFY(rs->Bof());
        QVERIFY(rs->Eof());
        QCOMPARE(rs->RecordCount(), 0);
        rs->MoveFirst();
        rs->MoveLast();
        QVERIFY(rs->IsEmpty());
        QCOMPARE(ErrorOf([&] { rs->Field(QStringLiteral("descr")); }), ErrNo::NoCurrentRecord);
        QCOMPARE(ErrorOf([&] { rs->MoveNext(); }), ErrNo::NoCurrentRecord);
    }

    void movesAndEnds()
    {
        for (const char* d : {"Charlie", "alpha", "Bravo"}) AddStamp(QString::fromLatin1(d));
        auto rs = mDb->OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
        QCOMPARE(rs->RecordCount(), 3);
        QCOMPARE(Descriptions(*rs), (QStringList{"alpha", "Bravo", "Charlie"}));  // without regard to case
        QVERIFY(rs->Eof());
        QVERIFY(!rs->Bof());
        rs->MoveLast();
        QCOMPARE(rs->Field(QStringLiteral("DESCR")).toString(), QStringLiteral("Charlie"));
        rs->MovePrevious();
        rs->MovePrevious();
        rs->MovePrevious();
        QVERIFY(rs->Bof());
        rs->MoveNext();
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("alpha"));
        QCOMPARE(ErrorOf([&] { rs->Field(QStringLiteral("nosuchfield")); }), 3265);
    }

    void findFirst()
    {
        for (const char* d : {"Penny Black", "Penny Red", "Inverted Jenny", "O'Brien's Cover"}) AddStamp(QString::fromLatin1(d));
        auto rs = mDb->OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
        rs->MoveLast();
        rs->FindFirst(QStringLiteral("descr like 'pen*'"));
        QVERIFY(!rs->NoMatch());
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("Penny Black"));
        rs->FindFirst(QStringLiteral("descr like 'O''Brien*'"));
        QVERIFY(!rs->NoMatch());
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("O'Brien's Cover"));
        // No match: the position stays.
        rs->FindFirst(QStringLiteral("descr like 'zzz*'"));
        QVERIFY(rs->NoMatch());
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("O'Brien's Cover"));
        // A literal percent sign is not a wildcard.
        rs->FindFirst(QStringLiteral("descr like '%*'"));
        QVERIFY(rs->NoMatch());
    }

    // The record found is the first in the recordset's own order, whatever the
    // order in which the engine returns the matching rows.
    void findFirstFollowsTheOrder_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("found");  // empty: no match
        QTest::newRow("later key, earlier in order") << "Select * from stamp order by [descr]"
                                                     << "descr like '*stamp'"
                                                     << "Alpha stamp";
        QTest::newRow("descending") << "Select * from stamp order by descr desc"
                                    << "descr like '*stamp'"
                                    << "Zulu stamp";
        QTest::newRow("by another column") << "Select * from stamp order by catsort"
                                           << "descr like '*stamp'"
                                           << "Mike stamp";
        QTest::newRow("every record") << "Select * from stamp order by [descr]"
                                      << "StampID > 0"
                                      << "Alpha stamp";
        QTest::newRow("one by key") << "Select * from stamp order by catsort"
                                    << "StampID = 3"
                                    << "Mike stamp";
        QTest::newRow("outside a filtered recordset") << "Select * from stamp where catsort > 'b' order by [descr]"
                                                      << "descr = 'Mike stamp'"
                                                      << "";
    }
    void findFirstFollowsTheOrder()
    {
        QFETCH(QString, sql);
        QFETCH(QString, condition);
        QFETCH(QString, found);
        AddStamp(QStringLiteral("Zulu stamp"), QStringLiteral("c"));
        AddStamp(QStringLiteral("Cover"), QStringLiteral("d"));
        AddStamp(QStringLiteral("Mike stamp"), QStringLiteral("a"));
        AddStamp(QStringLiteral("Alpha stamp"), QStringLiteral("b"));
        auto rs = mDb->OpenDynaset(sql);
        rs->MoveLast();
        const QString before = rs->Field(QStringLiteral("descr")).toString();
        rs->FindFirst(condition);
        QCOMPARE(rs->NoMatch(), found.isEmpty());
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), found.isEmpty() ? before : found);
    }

    void addEditDeleteKeepSortedOrder()
    {
        for (const char* d : {"Bravo", "Delta", "Foxtrot"}) AddStamp(QString::fromLatin1(d));
        auto rs = mDb->OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
        rs->MoveFirst();  // on Bravo

        // A new row takes its sorted place; the recordset stays where it was.
        rs->AddNew();
        const qint64 newId = rs->Field(QStringLiteral("StampID")).toLongLong();
        QCOMPARE(newId, 4);
        rs->SetField(QStringLiteral("descr"), QStringLiteral("Charlie"));
        rs->Update();
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("Bravo"));
        QCOMPARE(rs->RecordCount(), 4);
        rs->FindFirst(QStringLiteral("StampID = 4"));
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("Charlie"));

        // A renamed row moves to its new place and stays current.
        rs->Edit();
        rs->SetField(QStringLiteral("descr"), QStringLiteral("Golf"));
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("Golf"));  // the edit buffer
        rs->Update();
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("Golf"));
        rs->MovePrevious();
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("Foxtrot"));
        QCOMPARE(Descriptions(*rs), (QStringList{"Bravo", "Delta", "Foxtrot", "Golf"}));

        // Deleting leaves the position on the deleted row: the next move goes on
        // to the row that followed it.
        rs->FindFirst(QStringLiteral("descr = 'Delta'"));
        rs->Delete();
        QCOMPARE(ErrorOf([&] { rs->Field(QStringLiteral("descr")); }), ErrNo::RecordDeleted);
        rs->MoveNext();
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("Foxtrot"));
        QCOMPARE(rs->RecordCount(), 3);

        // Deleting the last row: the move passes the end.
        rs->MoveLast();
        rs->Delete();
        rs->MoveNext();
        QVERIFY(rs->Eof());
        rs->MovePrevious();
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), QStringLiteral("Foxtrot"));
    }

    void counterNeverReused()
    {
        AddStamp(QStringLiteral("One"));
        AddStamp(QStringLiteral("Two"));
        auto rs = mDb->OpenDynaset(QStringLiteral("Select * from stamp order by StampID"));
        rs->MoveLast();
        rs->Delete();
        rs->AddNew();
        QCOMPARE(rs->Field(QStringLiteral("StampID")).toLongLong(), 3);
        rs->SetField(QStringLiteral("descr"), QStringLiteral("Three"));
        rs->Update();
        rs->AddNew();
        QCOMPARE(rs->Field(QStringLiteral("StampID")).toLongLong(), 4);
        rs->CancelUpdate();
        QCOMPARE(rs->RecordCount(), 2);
    }

    void nullsAndDefaults()
    {
        auto rs = mDb->OpenDynaset(QStringLiteral("Select * from stamp"));
        rs->AddNew();
        rs->SetField(QStringLiteral("descr"), QStringLiteral("Plain"));
        rs->SetField(QStringLiteral("issued"), QVariant());
        rs->SetField(QStringLiteral("face"), MoneyValue(Money::FromUnits(15000)));
        rs->SetField(QStringLiteral("purchased"), QDate(1998, 5, 30));
        rs->Update();
        rs->MoveFirst();
        QVERIFY(rs->Field(QStringLiteral("issued")).isNull());
        QVERIFY(rs->Field(QStringLiteral("pricepaid")).isNull());
        QCOMPARE(rs->Field(QStringLiteral("Color")).toString(), QString());
        QVERIFY(!rs->Field(QStringLiteral("Color")).isNull());
        QCOMPARE(rs->Field(QStringLiteral("quantity")).toLongLong(), 1);
        QCOMPARE(*MoneyOf(rs->Field(QStringLiteral("face"))), Money::FromUnits(15000));
        QCOMPARE(*DateOf(rs->Field(QStringLiteral("purchased"))), QDate(1998, 5, 30));
    }

    // Money goes into the catalogue's REAL columns and comes back with the digits
    // it was written with, for every amount a double can hold to the last one.
    void moneyComesBackAsWritten_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::newRow("a ten-thousandth") << qint64(1);
        QTest::newRow("negative cents") << qint64(-123456700);
        QTest::newRow("eleven whole digits, four decimals") << qint64(999'999'999'999'999);
        QTest::newRow("thirteen whole digits and cents") << qint64(12'345'678'901'234'500);
        QTest::newRow("fourteen whole digits") << qint64(499'999'999'999'980'000);
        QTest::newRow("the largest whole amount") << qint64(999'999'999'999'990'000);
    }
    void moneyComesBackAsWritten()
    {
        QFETCH(qint64, units);
        auto rs = mDb->OpenDynaset(QStringLiteral("Select * from stamp"));
        rs->AddNew();
        rs->SetField(QStringLiteral("descr"), QStringLiteral("Dear"));
        rs->SetField(QStringLiteral("totalpaid"), MoneyValue(Money::FromUnits(units)));
        rs->Update();
        rs->MoveLast();
        QCOMPARE(MoneyOf(rs->Field(QStringLiteral("totalpaid"))).value_or(Money()).Units(), units);
    }

    void snapshotAndFind()
    {
        auto rs = mDb->OpenSnapshot(QStringLiteral("Select * from RptSpec order by [desc]"));
        QVERIFY(!rs->IsEmpty());
        rs->MoveLast();
        const int count = rs->RecordCount();
        QVERIFY(count > 20);
        rs->MoveFirst();
        rs->FindFirst(QStringLiteral("specID = 8"));
        QVERIFY(!rs->NoMatch());
        QCOMPARE(rs->Field(QStringLiteral("Desc")).toString(), QStringLiteral("Country"));
        rs->FindFirst(QStringLiteral("SpecID = 999"));
        QVERIFY(rs->NoMatch());
        QCOMPARE(rs->Field(QStringLiteral("Desc")).toString(), QStringLiteral("Country"));
        QCOMPARE(ErrorOf([&] { rs->Edit(); }), 3027);
    }

    // A forward-only read gives the rows a snapshot gives, in the same order,
    // with their values, and counts them as it goes.
    void forwardOnlyReadsWhatASnapshotReads_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("ordered") << "Select descr, catsort, quantity from stamp order by [descr]";
        QTest::newRow("filtered, nulls") << "Select descr, issued from stamp where catsort >= 'b' order by catsort desc";
        QTest::newRow("joined") << "Select descr, Coudesc from stamp left join country on stamp.couid = "
                                   "country.couid order by descr";
        QTest::newRow("no rows") << "Select descr from stamp where descr = 'none'";
    }
    void forwardOnlyReadsWhatASnapshotReads()
    {
        QFETCH(QString, sql);
        AddStamp(QStringLiteral("Zulu"), QStringLiteral("c"));
        AddStamp(QStringLiteral("Alpha"), QStringLiteral("a"));
        AddStamp(QStringLiteral("Mike"), QStringLiteral("b"));
        AddStamp(QStringLiteral("Bravo"), QStringLiteral("d"));
        const auto rowsOf = [](Recordset& rs) {
            QList<QVariantList> rows;
            for (; !rs.Eof(); rs.MoveNext()) {
                QVariantList row;
                for (int i = 0; i < rs.FieldCount(); ++i) row << rs.FieldAt(i);
                rows << row;
                if (rs.RecordCount() != rows.size()) return QList<QVariantList>();
            }
            return rows;
        };
        auto snapshot = mDb->OpenSnapshot(sql);
        auto forward = mDb->OpenForwardOnly(sql);
        QCOMPARE(forward->IsEmpty(), snapshot->IsEmpty());
        const QList<QVariantList> expected = rowsOf(*snapshot);
        QCOMPARE(rowsOf(*forward), expected);
        QCOMPARE(forward->RecordCount(), expected.size());
        QVERIFY(forward->Eof());
        QCOMPARE(ErrorOf([&] { forward->FieldAt(0); }), ErrNo::NoCurrentRecord);
        QCOMPARE(ErrorOf([&] { forward->MoveNext(); }), ErrNo::NoCurrentRecord);
    }

    // Going back is refused with the engine's "not supported" error, and leaves
    // the current row as it was; MoveFirst is allowed before the first move.
    void forwardOnlyRefusesToGoBack_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("afterAMove");
        QTest::addColumn<int>("error");
        QTest::newRow("MoveFirst at the start") << 0 << false << 0;
        QTest::newRow("MoveFirst later") << 0 << true << 3251;
        QTest::newRow("MovePrevious") << 1 << true << 3251;
        QTest::newRow("MoveLast") << 2 << false << 3251;
        QTest::newRow("FindFirst") << 3 << false << 3251;
        QTest::newRow("Edit") << 4 << false << 3027;
    }
    void forwardOnlyRefusesToGoBack()
    {
        QFETCH(int, step);
        QFETCH(bool, afterAMove);
        QFETCH(int, error);
        for (const char* d : {"Alpha", "Bravo", "Charlie"}) AddStamp(QString::fromLatin1(d));
        auto rs = mDb->OpenForwardOnly(QStringLiteral("Select descr from stamp order by descr"));
        if (afterAMove) rs->MoveNext();
        const QString before = rs->Field(QStringLiteral("descr")).toString();
        const std::function<void()> steps[] = {
            [&] { rs->MoveFirst(); },
            [&] { rs->MovePrevious(); },
            [&] { rs->MoveLast(); },
            [&] { rs->FindFirst(QStringLiteral("descr = 'Alpha'")); },
            [&] { rs->Edit(); },
        };
        QCOMPARE(ErrorOf(steps[step]), error);
        QCOMPARE(rs->Field(QStringLiteral("descr")).toString(), before);
    }

    // A filtered dynaset holds exactly what the one query would give, in its
    // order with ties by key, however its keys are read; and a write is seen
    // by the next dynaset of the same order.
    void filteredDynasetIsItsQuery_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("plainOrder");  // the same in plain SQL
        QTest::newRow("all, description") << ""
                                          << "[descr]"
                                          << "descr_sort";
        QTest::newRow("year, description") << "Year > 1950"
                                           << "[descr]"
                                           << "descr_sort";
        QTest::newRow("a country, year descending") << "CouID = 3"
                                                    << "Year desc"
                                                    << "Year desc";
        QTest::newRow("a word, catalogue number") << "instr(find_text, 'an') > 0"
                                                  << "catsort"
                                                  << "catsort_sort";
        QTest::newRow("none at all") << "StampID < 0"
                                     << "Issued"
                                     << "issued";
        QTest::newRow("a country's name") << "CouID in (select CouID from country where Coudesc like 'a*')"
                                          << "(select Coudesc_sort from country where country.CouID = stamp.CouID)"
                                          << "(select Coudesc_sort from country where country.CouID = stamp.CouID)";
    }
    void filteredDynasetIsItsQuery()
    {
        QFETCH(QString, condition);
        QFETCH(QString, order);
        QFETCH(QString, plainOrder);
        mDb.reset();
        mCat = std::make_unique<TestCatalogue>(150);
        mDb = Database::Open(mCat->Path(), true);
        const auto keys = [](Recordset& rs) {
            std::vector<qint64> out;
            for (int i = 0; i < rs.RecordCount(); ++i) out.push_back(rs.KeyAt(i));
            return out;
        };
        const auto plain = [&] {
            std::vector<qint64> out;
            QString where = condition;
            where.replace(QStringLiteral("Coudesc like 'a*'"), QStringLiteral("substr(Coudesc_fold, 1, 1) = 'a'"));
            auto rs = mDb->OpenSnapshot(QStringLiteral("SELECT StampID FROM Stamp ") +
                                        (where.isEmpty() ? QString() : QStringLiteral("WHERE ") + where) +
                                        QStringLiteral(" ORDER BY ") + plainOrder + QStringLiteral(", StampID"));
            for (; !rs->Eof(); rs->MoveNext()) out.push_back(rs->FieldAt(0).toLongLong());
            return out;
        };
        // Every row in the order first, so that the dynaset may take the order as kept.
        mDb->OpenFilteredDynaset(QStringLiteral("stamp"), QString(), order);
        auto rs = mDb->OpenFilteredDynaset(QStringLiteral("stamp"), condition, order);
        QCOMPARE(keys(*rs), plain());
        // A write on the connection: the order is read anew.
        mDb->Execute(
            QStringLiteral("UPDATE Stamp SET descr = 'Aaa ' || descr, Year = 2000 - Year, CouID = 3, "
                           "catsort = '0' WHERE StampID % 7 = 0"));
        auto again = mDb->OpenFilteredDynaset(QStringLiteral("stamp"), condition, order);
        QCOMPARE(keys(*again), plain());
        QVERIFY(again->KeysetVersion() != rs->KeysetVersion());
        for (int i = 0; i < again->RecordCount(); i += 37) QCOMPARE(again->PositionOf(again->KeyAt(i)), i);
    }

    // Rows the dynaset itself adds or changes stay in it while it is open, in
    // their sorted place, even when they no longer meet its condition.
    void filteredDynasetKeepsWhatItWrote()
    {
        AddStamp(QStringLiteral("Bravo"));
        AddStamp(QStringLiteral("Delta"));
        AddStamp(QStringLiteral("Echo"));
        auto rs = mDb->OpenFilteredDynaset(QStringLiteral("stamp"), QStringLiteral("descr like '*e*'"),
                                           QStringLiteral("[descr]"));
        QCOMPARE(Descriptions(*rs), QStringList({"Delta", "Echo"}));
        rs->AddNew();
        rs->SetField(QStringLiteral("descr"), QStringLiteral("Alpha"));
        rs->Update();
        rs->MoveLast();
        rs->Edit();
        rs->SetField(QStringLiteral("descr"), QStringLiteral("Foxtrot"));
        rs->Update();
        QCOMPARE(Descriptions(*rs), QStringList({"Alpha", "Delta", "Foxtrot"}));
        rs->SetAbsolutePosition(1);
        QCOMPARE(rs->AbsolutePosition(), 1);
        QCOMPARE(TextOf(rs->Field(QStringLiteral("descr"))), QStringLiteral("Delta"));
        auto fresh = mDb->OpenFilteredDynaset(QStringLiteral("stamp"), QStringLiteral("descr like '*e*'"),
                                              QStringLiteral("[descr]"));
        QCOMPARE(Descriptions(*fresh), QStringList({"Delta"}));
        QCOMPARE(ErrorOf([&] { fresh->SetAbsolutePosition(1); }), int(ErrNo::NoCurrentRecord));
        auto snapshot = mDb->OpenSnapshot(QStringLiteral("Select * from stamp"));
        QCOMPARE(ErrorOf([&] { snapshot->KeyAt(0); }), 3251);
    }

    void closedDatabaseInvalidatesRecordsets()
    {
        AddStamp(QStringLiteral("One"));
        auto rs = mDb->OpenDynaset(QStringLiteral("Select * from stamp"));
        mDb->Close();
        QCOMPARE(ErrorOf([&] { rs->MoveFirst(); }), ErrNo::ObjectInvalid);
        QCOMPARE(ErrorOf([&] { rs->Field(QStringLiteral("descr")); }), ErrNo::ObjectInvalid);
        QCOMPARE(ErrorOf([&] { mDb->OpenSnapshot(QStringLiteral("select 1")); }), ErrNo::ObjectInvalid);
    }

    void openFailures()
    {
        QCOMPARE(ErrorOf([&] { Database::Open(mCat->File(QStringLiteral("nothing.mdb")), true); }), ErrNo::FileNotFound);
        try {
            Database::Open(mCat->File(QStringLiteral("nothing.mdb")), true);
        } catch (const DbError& e) {
            QVERIFY(e.Text().startsWith(QStringLiteral("Could not find file '")));
        }
        QFile text(mCat->File(QStringLiteral("text.mdb")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray("This is not a catalogue, just some words in a file.\n").repeated(100));
        text.close();
        QCOMPARE(ErrorOf([&] { Database::Open(text.fileName(), true); }), 26);
    }

    void compaction()
    {
        for (int i = 0; i < 50; ++i) AddStamp(QStringLiteral("Stamp %1").arg(i));
        mDb.reset();
        const QString target = mCat->File(QStringLiteral("stampnew.mdb"));
        Database::CompactInto(mCat->Path(), target);
        auto copy = Database::Open(target, true);
        auto rs = copy->OpenSnapshot(QStringLiteral("select count(*) as n from stamp"));
        QCOMPARE(rs->Field(QStringLiteral("n")).toInt(), 50);
    }
};

QTEST_APPLESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
