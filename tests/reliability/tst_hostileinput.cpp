#include "../app/MainWindowFixture.h"
#include "HostileTexts.h"

#include "codes/frmCodesMaint.h"

#include <QLocale>
#include <QTest>

// Whatever is typed is stored as typed, found as typed, and never breaks a query.
class TestHostileInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void stampFields_data()
    {
        QTest::addColumn<QString>("text");
        for (const auto& [name, text] : HostileTexts()) QTest::newRow(name) << text;
    }
    void stampFields()
    {
        QFETCH(QString, text);
        MainWindowFixture f(
            0, QStringLiteral("INSERT INTO Stamp (descr, catnum) VALUES ('Aardvark', '1'), ('Zebra', '2');"));
        f.window->cmdAddNew_Click();
        const char* boxes[] = {"txtDescr",    "txtCatNum",    "txtFace",   "txtYear",      "txtQuantity",
                               "txtColor",    "txtWatermark", "txtErrors", "txtPricePaid", "txtCatValue",
                               "txtPriceAsk", "txtMisc1",     "txtMisc2"};
        for (const char* box : boxes) f.W<QLineEdit>(box)->setText(text);
        f.W<QLineEdit>("txtQuantity")->setText(QStringLiteral("1"));
        for (const char* date : {"dcIssued", "dcPurchased", "dcDateSold"}) f.W<QComboBox>(date)->setEditText(text);
        f.W<QPlainTextEdit>("txtNotes")->setPlainText(text + QStringLiteral("\nsecond line"));
        for (const char* rule : {"txtFace_LostFocus", "txtYear_LostFocus", "txtPricePaid_LostFocus",
                                 "dcIssued_LostFocus", "dcPurchased_LostFocus"})
            QVERIFY(QMetaObject::invokeMethod(f.window.get(), rule));
        f.window->cmdUpdate_Click();
        QVERIFY(!f.prompts.endedWith);
        QCOMPARE(f.Scalar("select count(*) from Stamp"), QStringLiteral("3"));

        const QString descr = text.left(80);
        const QString catnum = text.left(30);
        QCOMPARE(f.Scalar("select count(*) from Stamp where descr = '" + QString(descr).replace("'", "''") + "'"),
                 QStringLiteral("1"));
        // Not numbers, not dates: stored as nothing.
        QCOMPARE(f.Scalar("select ifnull(face, 'null') || ifnull(Year, 'null') || ifnull(issued, 'null') from Stamp "
                          "where descr <> 'Aardvark' and descr <> 'Zebra'"),
                 QStringLiteral("nullnullnull"));

        // Found again as typed, in both text orders.
        f.window->cmdFirst_Click();
        QString prefix = descr.left(12);
        if (prefix.back().isHighSurrogate()) prefix.chop(1);  // a collector types whole characters
        f.prompts.inputs = {prefix};
        f.window->cmdFind_Click();
        QCOMPARE(f.Text("txtDescr"), descr);
        f.window->mnuSort_Click(2);
        f.prompts.inputs = {catnum};
        f.window->cmdFind_Click();
        QCOMPARE(f.Text("txtCatNum"), catnum);
        // The notes box takes any line break as the platform's own.
        QCOMPARE(f.Text("txtNotes"), QString(text).replace("\r\n", "\n").replace('\r', '\n') + "\nsecond line");
        QVERIFY(!f.prompts.endedWith);
        QCOMPARE(f.Scalar("PRAGMA integrity_check"), QStringLiteral("ok"));
    }

    void hugeNotes()
    {
        MainWindowFixture f;
        f.window->cmdAddNew_Click();
        f.W<QLineEdit>("txtDescr")->setText(QString(1 << 20, u'd'));  // a megabyte pasted: cut to 80
        QString notes;
        while (notes.size() < (1 << 20)) notes += QStringLiteral("Line with | and ; and\ttab 'quoted' \u00e9\n");
        f.W<QPlainTextEdit>("txtNotes")->setPlainText(notes);
        f.window->cmdUpdate_Click();
        QCOMPARE(f.Text("txtDescr"), QString(80, u'd'));
        f.window->Form_Unload();
        f.window->Form_Load();
        f.window->Form_Activate();
        QCOMPARE(f.Text("txtNotes"), notes);
        f.prompts.inputs = {QString(1 << 20, u'x')};
        f.window->cmdFind_Click();
        QCOMPARE(f.prompts.LastText(), QStringLiteral("That record was not found."));
    }

    void codeTableEntries_data()
    {
        QTest::addColumn<QString>("text");
        for (const auto& [name, text] : HostileTexts()) QTest::newRow(name) << text;
    }
    void codeTableEntries()
    {
        QFETCH(QString, text);
        MainWindowFixture f(0, QStringLiteral("INSERT INTO country (Coudesc) VALUES ('Austria');"));
        f.window->mnuMaint_Click(3);
        auto* codes = frmCodesMaint::Instance();
        codes->Form_Activate();
        codes->cmdAddNew_Click();
        codes->findChild<QLineEdit*>("txtDesc")->setText(text);
        codes->cmdUpdate_Click();
        codes->cmdFirst_Click();
        f.prompts.inputs = {text.left(50)};
        codes->cmdFind_Click();
        QCOMPARE(codes->findChild<QLineEdit*>("txtDesc")->text(), text.left(50));
        codes->cmdOk_Click();
        f.window->Form_Activate();
        QVERIFY(f.W<QComboBox>("cmbCou")->findText(text.left(50)) >= 0);
        QVERIFY(!f.prompts.endedWith);
    }

    // A find for a text no entry starts with finds nothing, whatever the text
    // holds, and leaves the window where it was; what an entry does start with is
    // found, the like wildcards * and ? working as wildcards.
    void finds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found");  // empty: nothing
        for (const auto& [name, text] : HostileTexts()) QTest::newRow(name) << text << QString();
        QTest::newRow("a % that is not a wildcard") << "Aus%" << QString();
        QTest::newRow("an _ that is not a wildcard") << "Aus_ria" << QString();
        QTest::newRow("wildcards") << "*ust?ia"
                                   << "Austria";
        QTest::newRow("megabyte") << MegabyteText() << QString();
        QTest::newRow("megabyte, wildcard first") << "*" + MegabyteText() << QString();
        QTest::newRow("megabyte right-to-left, wildcard first") << "*" + MegabyteText(u'\u05D0') << QString();
        QTest::newRow("megabyte of wildcards") << QString(1 << 20, u'*') << "Austria";
    }
    void finds()
    {
        QFETCH(QString, text);
        QFETCH(QString, found);
        MainWindowFixture f(0,
                            "INSERT INTO country (Coudesc) VALUES ('Austria'), ('x'), ('Zanzibar');"
                            "INSERT INTO Stamp (descr) VALUES ('Austria'), ('x'), ('Zanzibar');");
        f.window->cmdLast_Click();
        f.prompts.inputs = {text};
        f.window->cmdFind_Click();
        QCOMPARE(f.Text("txtDescr"), found.isEmpty() ? QString("Zanzibar") : found);
        QCOMPARE(f.prompts.LastText(), found.isEmpty() ? QString("That record was not found.") : QString());

        f.prompts.Clear();
        f.window->mnuMaint_Click(3);
        auto* codes = frmCodesMaint::Instance();
        codes->Form_Activate();
        codes->cmdLast_Click();
        f.prompts.inputs = {text};
        codes->cmdFind_Click();
        QCOMPARE(codes->findChild<QLineEdit*>("txtDesc")->text(), found.isEmpty() ? QString("Zanzibar") : found);
        QCOMPARE(f.prompts.LastText(), found.isEmpty() ? QString("That record was not found.") : QString());
        codes->cmdOk_Click();
        QVERIFY(!f.prompts.endedWith);
    }
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
