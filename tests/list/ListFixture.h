#pragma once

// The main window with its stamp list shown, on a catalogue of a few known
// stamps, and what a test does with the list: filter, click rows, read them.

#include "MainWindowFixture.h"

#include "list/StampListDock.h"
#include "list/StampListModel.h"
#include "list/StampQuery.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

// Countries 1 Österreich, 2 Great Britain, 3 Ελλάδα; topics 1 Ships, 2 Birds;
// conditions 1 Fine, 2 Superb. Eight stamps, described so that their
// description order is plain to see; a few with numbers in other catalogues
// (1 Scott, 2 Stanley Gibbons, 3 Michel, 4 Yvert et Tellier).
inline const QString kListStamps = QStringLiteral(
    "INSERT INTO country (Coudesc) VALUES ('Österreich'), ('Great Britain'), ('Ελλάδα');"
    "INSERT INTO topic (TopDesc) VALUES ('Ships'), ('Birds');"
    "INSERT INTO Condition (conDesc) VALUES ('Fine'), ('Superb');"
    "INSERT INTO Stamp (descr, catnum, catsort, CouID, topID, ConID, Year, quantity, pricepaid, totalpaid, catvalue, "
    "totalval, notes, Color) VALUES "
    "('Penny Black', '1', '                   1', 2, NULL, 1, 1840, 2, 100, 200, 3000, 6000, 'The first stamp', "
    "'Black'),"
    "('Twopenny Blue', '2', '                   2', 2, NULL, 2, 1840, 1, 80, 80, 900, 900, '', 'Blue'),"
    "('Wappen 1850', '5', '                   5', 1, NULL, 1, 1850, 3, NULL, NULL, 12, 36, '', 'Red'),"
    "('Hermes head', '10', '                  10', 3, NULL, NULL, 1861, 1, 5, 5, 40, 40, 'Large Hermes', 'Violet'),"
    "('Straße der Einheit', '7', '                   7', 1, NULL, 2, 1990, 1, 1, 1, 2, 2, '', 'Green'),"
    "('Clipper', '3', '                   3', NULL, 1, NULL, 1900, 5, 2, 10, 3, 15, 'a * and a ? in the notes', ''),"
    "('Albatross', '4', '                   4', NULL, 2, 1, 1950, 1, NULL, NULL, NULL, NULL, '100% perforated', ''),"
    "('Zeppelin', '12', '                  12', 2, NULL, NULL, 1933, 1, 7, 7, 9, 9, 'O''Brien collection', '');"
    "INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo) VALUES (8, 3, 1, 'C40b'), (8, 1, 2, 'C13'), "
    "(4, 4, 1, 'Préo 30'), (1, 2, 1, '1'), (2, 2, 1, '4');");

class ListFixture : public MainWindowFixture {
public:
    explicit ListFixture(int demoStamps = 0, const QString& sql = kListStamps) : MainWindowFixture(demoStamps, sql)
    {
        Show();
        window->findChild<QAction*>(QStringLiteral("mnuViewList"))->trigger();
        QCoreApplication::processEvents();
    }

    StampListDock* Dock() const { return window->StampList(); }
    QTableView* View() const { return Dock()->View(); }
    StampListModel* Model() const { return Dock()->Model(); }

    QString Cell(int row, StampColumn column = StampColumn::Description) const
    {
        return Model()->index(row, StampColumnIndex(column)).data().toString();
    }
    QStringList Listed(StampColumn column = StampColumn::Description) const
    {
        QStringList texts;
        for (int row = 0; row < Model()->rowCount(); ++row) texts << Cell(row, column);
        return texts;
    }
    int CurrentRow() const { return View()->selectionModel()->currentIndex().row(); }
    int RowOf(const QString& descr) const { return Listed().indexOf(descr); }

    // Typed into the filter box, then Enter: filtered at once, without the pause.
    void Filter(const QString& text)
    {
        auto* box = W<QLineEdit>("txtFilter");
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        View()->scrollTo(Model()->index(row, 0));
        const QRect cell = View()->visualRect(Model()->index(row, 0));
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
    void ClickHeading(StampColumn column)
    {
        QHeaderView* heading = View()->horizontalHeader();
        const int x = heading->sectionViewportPosition(StampColumnIndex(column)) +
                      heading->sectionSize(StampColumnIndex(column)) / 2;
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, QPoint(x, heading->height() / 2));
    }

    // The editor and the list are on the same stamp: the row selected is the
    // recordset's current one, and it shows the editor's description.
    bool Agree() const
    {
        const int position = gStampRs ? gStampRs->AbsolutePosition() : -1;
        if (position < 0 || CurrentRow() != position) return false;
        if (!View()->selectionModel()->isRowSelected(position, QModelIndex())) return false;
        return Cell(position) == Text("txtDescr");
    }
};
