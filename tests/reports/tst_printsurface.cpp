// The print surface's page model: pagination, heading rows, alignment,
// wrapping, page header and footer, paper and orientation, drawing.

#include "db/Globals.h"
#include "reports/PrintSurface.h"
#include "reports/ReportPresenter.h"

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTest>

namespace {

const QString kHeading = QStringLiteral("2160|1400|>1400;Description|Cat #|Quantity;");

// A surface that repeats kHeading on every page, as the preview does.
struct HeadedSurface {
    PrintSurface surface;
    HeadedSurface()
    {
        surface.SetPaperSize(PrintSurface::LetterSize());
        gRptHeader = kHeading;
        gRptNewPageHeader = true;
        surface.SetNewPageHandler(RepeatReportHeader);
    }
    void Rows(int count)
    {
        for (int i = 1; i <= count; ++i) surface.AddTable(QStringLiteral("2160|1400|>1400;Stamp %1|%1|1;").arg(i));
    }
};

QStringList FirstCellLines(const std::vector<PrintSurface::RowView>& rows)
{
    QStringList out;
    for (const auto& row : rows)
        if (!row.heading && !row.cells.empty()) out << row.cells[0].lines.join(u'/');
    return out;
}

}  // namespace

class TestPrintSurface : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void headingOnEveryPage_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("several pages") << 250;
    }
    void headingOnEveryPage()
    {
        QFETCH(int, rows);
        HeadedSurface h;
        h.surface.StartDoc();
        h.Rows(rows);
        h.surface.EndDoc();
        QVERIFY(h.surface.PageCount() >= 1);
        QStringList seen;
        for (int page = 1; page <= h.surface.PageCount(); ++page) {
            const auto pageRows = h.surface.PageRows(page);
            QVERIFY(!pageRows.empty());
            QVERIFY2(pageRows.front().heading, qPrintable(QString("page %1").arg(page)));
            QCOMPARE(pageRows.front().cells.size(), size_t(3));
            QCOMPARE(pageRows.front().cells[0].lines, QStringList{"Description"});
            QCOMPARE(pageRows.front().cells[2].lines, QStringList{"Quantity"});
            // Rows follow one another without overlapping, inside the page body.
            int bottom = 0;
            for (const auto& row : pageRows) {
                QVERIFY(row.top >= bottom);
                bottom = row.top + row.height;
            }
            QVERIFY(bottom <= h.surface.DocumentPageSize().height() - PrintSurface::kMarginBottom);
            if (page < h.surface.PageCount()) QVERIFY(pageRows.size() > 2);
            seen += FirstCellLines(pageRows);
        }
        QStringList expected;
        for (int i = 1; i <= rows; ++i) expected << QString("Stamp %1").arg(i);
        QCOMPARE(seen, expected);
    }

    void pageCount()
    {
        // Find how many rows fill one page, then check the boundary.
        HeadedSurface h;
        h.surface.StartDoc();
        h.Rows(1);
        h.surface.EndDoc();
        const auto rows = h.surface.PageRows(1);
        const int rowHeight = rows.back().height;
        const int body = h.surface.DocumentPageSize().height() - PrintSurface::kMarginBottom - rows.back().top -
                         rowHeight - PrintSurface::kBandGap - (rows.back().height - 2 * PrintSurface::kRowPadding);
        const int perPage = 1 + body / rowHeight;
        QVERIFY(perPage > 20);

        for (const auto& [count, pages] : {std::pair{perPage, 1}, std::pair{perPage + 1, 2}, std::pair{2 * perPage, 2},
                                           std::pair{2 * perPage + 1, 3}}) {
            HeadedSurface s;
            s.surface.StartDoc();
            s.Rows(count);
            s.surface.EndDoc();
            QCOMPARE(s.surface.PageCount(), pages);
        }
    }

    void headingOnlyWhileFlagged()
    {
        HeadedSurface h;
        gRptNewPageHeader = false;
        h.surface.StartDoc();
        h.Rows(3);
        h.surface.EndDoc();
        const auto rows = h.surface.PageRows(1);
        QCOMPARE(rows.size(), size_t(3));
        QVERIFY(!rows.front().heading);
        gRptNewPageHeader = true;
    }

    void columns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QList<int>>("lefts");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<QList<bool>>("right");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("sales format") << "2160|1400|>1400|>1400;Penny Black|1|3|$1.50;"
                                      << QList<int>{576, 2736, 4136, 5536} << QList<int>{2160, 1400, 1400, 1400}
                                      << QList<bool>{false, false, true, true}
                                      << QStringList{"Penny Black", "1", "3", "$1.50"};
        // The want list's heading has a seventh, empty cell: it has no column.
        QTest::newRow("more cells than columns")
            << "2160|>700;a|b||extra;" << QList<int>{576, 2736} << QList<int>{2160, 700} << QList<bool>{false, true}
            << QStringList{"a", "b"};
        QTest::newRow("fewer cells") << "1000|1000|1000;only;" << QList<int>{576} << QList<int>{1000}
                                     << QList<bool>{false} << QStringList{"only"};
        QTest::newRow("totals label spanning")
            << "3560|>7000;Sale Price Minus Cost|$2.00;" << QList<int>{576, 4136} << QList<int>{3560, 7000}
            << QList<bool>{false, true} << QStringList{"Sale Price Minus Cost", "$2.00"};
        QTest::newRow("no rows") << "1000;" << QList<int>{} << QList<int>{} << QList<bool>{} << QStringList{};
    }
    void columns()
    {
        QFETCH(QString, table);
        QFETCH(QList<int>, lefts);
        QFETCH(QList<int>, widths);
        QFETCH(QList<bool>, right);
        QFETCH(QStringList, cells);
        PrintSurface s;
        s.StartDoc();
        s.AddTable(table);
        s.EndDoc();
        const auto rows = s.PageRows(1);
        if (cells.isEmpty()) {
            QVERIFY(rows.empty());
            return;
        }
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].cells.size(), size_t(cells.size()));
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const auto& cell = rows[0].cells[size_t(i)];
            QCOMPARE(cell.left, lefts[i]);
            QCOMPARE(cell.width, widths[i]);
            QCOMPARE(cell.rightAligned, right[i]);
            QCOMPARE(cell.lines.join(u'/'), cells[i]);
        }
    }

    void severalRowsInOneTable()
    {
        PrintSurface s;
        s.StartDoc();
        s.AddTable(u"1000|1000;a|b;c|d;;e");
        s.EndDoc();
        QStringList firsts;
        for (const auto& row : s.PageRows(1)) firsts << (row.cells.empty() ? "-" : row.cells[0].lines.join(u'/'));
        QCOMPARE(firsts, (QStringList{"a", "c", "", "e"}));
    }

    void wrapping_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minLines");
        QTest::newRow("fits") << 2880 << "Penny Black" << 1;
        QTest::newRow("words") << 1000 << "Queen Victoria one penny black plate 11 imperforate" << 3;
        QTest::newRow("one long word") << 700 << "Südamerikafahrtsonderstempelmarke" << 2;
        QTest::newRow("line breaks") << 5000 << "Bought at the fair.\nHinged.\r\nCertificate." << 3;
        QTest::newRow("right aligned") << 600 << "1234567890123" << 2;
        QTest::newRow("shaped text") << 900 << "نص عربي طويل جدا في عمود ضيق" << 2;
    }
    void wrapping()
    {
        QFETCH(int, width);
        QFETCH(QString, text);
        QFETCH(int, minLines);
        PrintSurface s;
        s.StartDoc();
        s.AddTable(QString(QString::number(width) + ";" + text + ";"));
        s.EndDoc();
        const auto rows = s.PageRows(1);
        QCOMPARE(rows.size(), size_t(1));
        const QStringList lines = rows[0].cells[0].lines;
        QVERIFY2(lines.size() >= minLines, qPrintable(lines.join(u'/')));
        PrintSurface one;
        one.StartDoc();
        one.AddTable(u"1000;x;");
        one.EndDoc();
        const int lineHeight = one.PageRows(1)[0].height - 2 * PrintSurface::kRowPadding;
        QCOMPARE(rows[0].height, int(lines.size()) * lineHeight + 2 * PrintSurface::kRowPadding);
        // Nothing is lost but the blanks and line ends where the text was broken.
        QString joined = lines.join(QString());
        QString plain = text;
        plain.remove(u' ').remove(u'\n').remove(u'\r');
        joined.remove(u' ');
        QCOMPARE(joined, plain);
        // Words are kept whole where they fit.
        if (QTest::currentDataTag() == QByteArray("words"))
            for (const QString& line : lines)
                QVERIFY2(!line.startsWith(u' ') && !line.endsWith(u' '), qPrintable(line));
    }

    void tallRowContinues()
    {
        HeadedSurface h;
        QString notes;
        for (int i = 0; i < 200; ++i) notes += QString("Line %1\n").arg(i);
        notes.chop(1);
        h.surface.StartDoc();
        h.Rows(2);
        h.surface.AddTable(QString(QStringLiteral("2160|1400|>1400;") + notes + "|x|1;"));
        h.Rows(1);
        h.surface.EndDoc();
        QVERIFY(h.surface.PageCount() >= 3);
        QStringList lines;
        for (int page = 1; page <= h.surface.PageCount(); ++page) {
            const auto rows = h.surface.PageRows(page);
            QVERIFY(rows.front().heading);
            for (const auto& row : rows)
                if (!row.heading) lines += row.cells[0].lines;
        }
        QCOMPARE(lines.size(), 2 + 200 + 1);
        QCOMPARE(lines[2], QString("Line 0"));
        QCOMPARE(lines[201], QString("Line 199"));
        QCOMPARE(lines.last(), QString("Stamp 1"));
    }

    // A heading taller than a page (a heading cell full of ";") is cut short on
    // each page, so that every page still shows body rows, all on the paper.
    void headingTallerThanThePage()
    {
        HeadedSurface h;
        gRptHeader = "2160|1400|>1400;Description|Cat #|Quantity;" + QString(300, u';');
        h.surface.StartDoc();
        h.Rows(40);
        h.surface.EndDoc();
        QStringList body;
        for (int page = 1; page <= h.surface.PageCount(); ++page) {
            const auto rows = h.surface.PageRows(page);
            QVERIFY(!rows.empty() && !rows.back().heading);
            for (const auto& row : rows) QVERIFY(row.top + row.height <= h.surface.PageHeight());
            body += FirstCellLines(rows);
        }
        QCOMPARE(body.size(), 40);
        QCOMPARE(body.last(), QString("Stamp 40"));
    }

    // Columns far wider than any paper keep their order without overflowing.
    void columnsPastThePaper()
    {
        PrintSurface surface;
        surface.StartDoc();
        surface.AddTable(QString(QString("9e6|").repeated(300) + "1;a|" + QString("x|").repeated(298) + "b|c;"));
        surface.EndDoc();
        const auto rows = surface.PageRows(1);
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].cells.size(), size_t(301));
        for (size_t c = 1; c < rows[0].cells.size(); ++c) QVERIFY(rows[0].cells[c].left >= rows[0].cells[c - 1].left);
        QImage image(100, 130, QImage::Format_RGB32);
        QPainter painter(&image);
        surface.DrawPage(painter, 1, QRectF(0, 0, 100, 130));
    }

    void headerAndFooter_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("footer");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("headerText");
        QTest::addColumn<QString>("footerText");
        QTest::newRow("standard") << "1/2/2024|Stamp Sales Report|Page %d"
                                  << "" << 2 << "1/2/2024|Stamp Sales Report|Page 2"
                                  << "||";
        QTest::newRow("centred footer") << "|Title|"
                                        << "|Page %d|" << 3 << "|Title|"
                                        << "|Page 3|";
        QTest::newRow("one part") << "Left only"
                                  << "" << 1 << "Left only||"
                                  << "||";
    }
    void headerAndFooter()
    {
        QFETCH(QString, header);
        QFETCH(QString, footer);
        QFETCH(int, page);
        QFETCH(QString, headerText);
        QFETCH(QString, footerText);
        HeadedSurface h;
        h.surface.StartDoc();
        // Set after the document started, as the reports do.
        h.surface.SetHeader(header);
        h.surface.SetFooter(footer);
        h.Rows(200);
        h.surface.EndDoc();
        QVERIFY(h.surface.PageCount() >= page);
        QCOMPARE(h.surface.PageHeaderText(page), headerText);
        QCOMPARE(h.surface.PageFooterText(page), footerText);
    }

    void finishedDocumentStaysUntilEnd()
    {
        HeadedSurface h;
        h.surface.StartDoc();
        h.Rows(200);
        h.surface.EndDoc();
        const int pages = h.surface.PageCount();
        h.surface.StartDoc();
        h.Rows(1);
        QCOMPARE(h.surface.PageCount(), pages);
        QCOMPARE(FirstCellLines(h.surface.PageRows(1)).first(), QString("Stamp 1"));
        h.surface.EndDoc();
        QCOMPARE(h.surface.PageCount(), 1);
        // Outside a document tables are ignored.
        h.surface.AddTable(u"1000;late;");
        QCOMPARE(h.surface.PageRows(1).size(), size_t(2));
    }

    void paper_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QSize>("page");
        QTest::newRow("US letter") << QLocale(QLocale::English, QLocale::UnitedStates) << false << QSize(12240, 15840);
        QTest::newRow("US letter landscape")
            << QLocale(QLocale::English, QLocale::UnitedStates) << true << QSize(15840, 12240);
        QTest::newRow("Germany A4") << QLocale(QLocale::German, QLocale::Germany) << false << QSize(11906, 16838);
        QTest::newRow("Canada letter") << QLocale(QLocale::French, QLocale::Canada) << false << QSize(12240, 15840);
    }
    void paper()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, landscape);
        QFETCH(QSize, page);
        QLocale::setDefault(locale);
        PrintSurface s;
        s.SetOrientation(landscape ? PrintSurface::Orientation::Landscape : PrintSurface::Orientation::Portrait);
        QCOMPARE(QSize(s.PageWidth(), s.PageHeight()), page);
        s.StartDoc();
        s.EndDoc();
        QCOMPARE(s.DocumentPageSize(), page);
    }

    void printerPaperWins()
    {
        PrintSurface::SetDefaultPaperProvider([] { return std::optional<QSize>(PrintSurface::A4Size()); });
        PrintSurface s;
        QCOMPARE(s.PaperSize(), PrintSurface::A4Size());
        PrintSurface::SetDefaultPaperProvider([] { return std::optional<QSize>(); });
        QCOMPARE(s.PaperSize(), PrintSurface::LetterSize());
        PrintSurface::SetDefaultPaperProvider(nullptr);
    }

    void widestTableFitsA4()
    {
        QVERIFY(PrintSurface::kMarginLeft + 10600 + PrintSurface::kMarginRight <= PrintSurface::A4Size().width());
    }

    void drawing()
    {
        HeadedSurface h;
        h.surface.StartDoc();
        h.surface.SetHeader("left|Title|Page %d");
        h.surface.AddTable(u"2160|1400|>1400;Stamp|1|8888;");
        h.surface.EndDoc();
        const QSize page = h.surface.DocumentPageSize();
        const double scale = 0.1;  // 1224 x 1584 pixels for Letter
        QImage image(int(page.width() * scale), int(page.height() * scale), QImage::Format_RGB32);
        image.fill(Qt::red);
        {
            QPainter p(&image);
            h.surface.DrawPage(p, 1, QRectF(0, 0, image.width(), image.height()));
        }
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));

        const auto rows = h.surface.PageRows(1);
        auto inkColumns = [&](const PrintSurface::RowView& row, const PrintSurface::CellView& cell) {
            int first = -1, last = -1;
            for (int x = int(cell.left * scale); x < int((cell.left + cell.width) * scale); ++x)
                for (int y = int((row.top + 5) * scale); y < int((row.top + row.height - 5) * scale); ++y)
                    if (qGray(image.pixel(x, y)) < 128) {
                        if (first < 0) first = x;
                        last = x;
                    }
            return std::pair{first, last};
        };
        // The heading row is shaded.
        const auto& heading = rows[0];
        QCOMPARE(image.pixelColor(int((heading.cells[0].left + 20) * scale), int((heading.top + 5) * scale)),
                 QColor(0xE4, 0xE4, 0xE4));
        // Left-aligned ink starts at the column's left, right-aligned ink ends at its right.
        const auto& data = rows[1];
        const auto [leftFirst, leftLast] = inkColumns(data, data.cells[0]);
        QVERIFY(leftFirst >= 0);
        QVERIFY(std::abs(leftFirst - (data.cells[0].left + PrintSurface::kCellPadding) * scale) <= 3);
        const auto [rightFirst, rightLast] = inkColumns(data, data.cells[2]);
        QVERIFY(rightFirst >= 0);
        QVERIFY(std::abs(rightLast - (data.cells[2].left + data.cells[2].width - PrintSurface::kCellPadding) * scale) <=
                3);
        QVERIFY(rightFirst > (data.cells[2].left + data.cells[2].width / 3) * scale);

        // Pages that do not exist draw nothing.
        QImage blank(10, 10, QImage::Format_RGB32);
        blank.fill(Qt::red);
        QPainter p(&blank);
        h.surface.DrawPage(p, 2, QRectF(0, 0, 10, 10));
        QCOMPARE(blank.pixelColor(5, 5), QColor(Qt::red));
    }
};

QTEST_MAIN(TestPrintSurface)
#include "tst_printsurface.moc"
