#include "custom/CustomRows.h"
#include "custom/ReportTotals.h"

#include <QLocale>
#include <QTest>

namespace {

ReportColumn Column(int datatype, bool currency = false, bool total = false, int specId = 1)
{
    return {specId, QStringLiteral("Column"), QStringLiteral("col"), datatype, currency, total};
}

}  // namespace

class TestCustomRows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void cellText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("datatype");
        QTest::addColumn<bool>("currency");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("cell");

        QTest::newRow("text") << "en_US" << 1 << false << QVariant(QStringLiteral("Penny Black")) << "Penny Black";
        QTest::newRow("text empty") << "en_US" << 1 << false << QVariant() << "";
        QTest::newRow("money") << "en_US" << 2 << true << QVariant(12.5) << "$12.50";
        QTest::newRow("money de_DE") << "de_DE" << 2 << true << QVariant(1234.5) << "1.234,50\u00a0€";
        QTest::newRow("money empty") << "en_US" << 2 << true << QVariant() << "";
        QTest::newRow("whole number") << "en_US" << 2 << false << QVariant(qint64(1998)) << "1998";
        QTest::newRow("general number") << "en_US" << 2 << false << QVariant(1234.5) << "1234.5";
        QTest::newRow("general number de_DE") << "de_DE" << 2 << false << QVariant(1234.5) << "1234,5";
        QTest::newRow("number empty") << "en_US" << 2 << false << QVariant() << "";
        QTest::newRow("date") << "en_US" << 3 << false << QVariant(QStringLiteral("1996-03-05")) << "3/5/1996";
        QTest::newRow("date de_DE") << "de_DE" << 3 << false << QVariant(QStringLiteral("1996-03-05")) << "05.03.1996";
        QTest::newRow("date empty") << "en_US" << 3 << false << QVariant() << "";
        QTest::newRow("yes") << "en_US" << 4 << false << QVariant(qint64(1)) << "Yes";
        QTest::newRow("no") << "en_US" << 4 << false << QVariant(qint64(0)) << "No";
        QTest::newRow("yes/no empty") << "en_US" << 4 << false << QVariant() << "No";
    }
    void cellText()
    {
        QFETCH(QString, locale);
        QFETCH(int, datatype);
        QFETCH(bool, currency);
        QFETCH(QVariant, value);
        QFETCH(QString, cell);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(CellText(Column(datatype, currency), value), cell);
    }

    void totals_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("currency");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("total");

        QTest::newRow("money, partly empty")
            << "en_US" << true << QVariantList{12.5, QVariant(), 0.25, 1000.0} << "$1,012.75";
        QTest::newRow("money de_DE") << "de_DE" << true << QVariantList{1.5, QVariant(), 2.25} << "3,75\u00a0€";
        QTest::newRow("general number, partly empty")
            << "en_US" << false << QVariantList{qint64(1000), QVariant(), 234.5} << "1234.5";
        QTest::newRow("general number shows no binary residue") << "en_US" << false << QVariantList{0.1, 0.2} << "0.3";
        QTest::newRow("general number de_DE") << "de_DE" << false << QVariantList{1.25, 1.0} << "2,25";
        QTest::newRow("all empty") << "en_US" << false << QVariantList{QVariant(), QVariant()} << "0";
        QTest::newRow("all empty money") << "en_US" << true << QVariantList{QVariant()} << "$0.00";
    }
    void totals()
    {
        QFETCH(QString, locale);
        QFETCH(bool, currency);
        QFETCH(QVariantList, values);
        QFETCH(QString, total);
        QLocale::setDefault(QLocale(locale));
        const QList<ReportColumn> columns = {Column(1, false, false, 1), Column(2, currency, true, 2),
                                             Column(2, false, false, 3)};
        ReportTotals totals;
        for (const QVariant& value : values) {
            totals.Add(columns[0], QStringLiteral("text"));
            totals.Add(columns[1], value);
            totals.Add(columns[2], value);  // not totalled
        }
        QCOMPARE(totals.Cells(columns), (QStringList{QString(), total, QString()}));
    }

    // A "|" or ";" inside a value stays as it is in every target; HTML escapes.
    void lines_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("totalsRow");

        QTest::newRow("preview") << 1 << "2880|>1440|1440;Pen & Ink|a;b|$1.00|Yes;"
                                 << "2880|>1440|1440;|$9.00|;";
        QTest::newRow("text file") << 2 << "Pen & Ink|a;b\t$1.00\tYes"
                                   << "\t$9.00\t";
        QTest::newRow("html file") << 3 << "<tr><td>Pen &amp; Ink|a;b</td><td align=right>$1.00</td><td>Yes</td></tr>"
                                   << "<tr><TD>&nbsp;</TD><td align=right>$9.00</td><TD>&nbsp;</TD></tr>";
    }
    void lines()
    {
        QFETCH(int, target);
        QFETCH(QString, record);
        QFETCH(QString, totalsRow);
        const QList<ReportColumn> columns = {Column(1), Column(2, true, true), Column(4)};
        const QString format = QStringLiteral("2880|>1440|1440;");
        const auto to = static_cast<CustomTarget>(target);
        QCOMPARE(RecordLine(to, format, columns, {"Pen & Ink|a;b", "$1.00", "Yes"}), record);
        QCOMPARE(TotalsLine(to, format, columns, {QString(), "$9.00", QString()}), totalsRow);
    }
};

QTEST_APPLESS_MAIN(TestCustomRows)
#include "tst_customrows.moc"
