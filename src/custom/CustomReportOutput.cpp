#include "custom/CustomReportOutput.h"

#include "reports/ReportFile.h"

#include "custom/ReportTotals.h"
#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "db/Recordset.h"

namespace {

MemoryReportWriter& LastOutput()
{
    static MemoryReportWriter last;
    return last;
}

// Copies what it is given into the last output as well.
class LastOutputWriter final : public CustomReportWriter {
public:
    bool Open(const CustomReport& report) override
    {
        LastOutput() = MemoryReportWriter();
        return LastOutput().Open(report);
    }
    void StartDocument(const CustomReport& report) override { LastOutput().StartDocument(report); }
    bool WriteLine(const QString& line) override { return LastOutput().WriteLine(line); }
    void Close(bool complete) override { LastOutput().Close(complete); }
};

CustomReportWriterFactory& Factory()
{
    static CustomReportWriterFactory factory;
    return factory;
}

}  // namespace

QString CustomPageHeader(bool showDate, const QDate& today, const QString& title, PageNumbers numbers)
{
    QString header = (showDate ? FormatShortDate(today) : QString()) + u'|' + title + u'|';
    if (numbers == PageNumbers::InHeader) header += QStringLiteral("Page %d");
    return header;
}

QString CustomPageFooter(PageNumbers numbers)
{
    return numbers == PageNumbers::AtBottom ? QStringLiteral("|Page %d|") : QString();
}

CustomReport MakeCustomReport(CustomQuery query, const CustomReportOptions& options, const QDate& today)
{
    CustomReport report;
    report.target = options.target;
    report.query = std::move(query);
    report.title = options.title;
    report.landscape = options.landscape;
    report.pageHeader = CustomPageHeader(options.showDate, today, options.title, options.pageNumbers);
    report.pageFooter = CustomPageFooter(options.pageNumbers);
    if (options.target == CustomTarget::TextFile) {
        report.defaultFileName = QStringLiteral("Stamp") + QStringLiteral(".txt");
        report.fileFilter = kTextFileFilter;
    } else if (options.target == CustomTarget::HtmlFile) {
        report.defaultFileName = QStringLiteral("Stamp") + QStringLiteral(".htm");
        report.fileFilter = kHtmlFileFilter;
    }
    return report;
}

bool MemoryReportWriter::Open(const CustomReport& r)
{
    report = r;
    opened = true;
    return true;
}

bool MemoryReportWriter::WriteLine(const QString& line)
{
    lines << line;
    return true;
}

void MemoryReportWriter::Close(bool complete)
{
    closed = true;
    completed = complete;
}

void SetCustomReportWriterFactory(CustomReportWriterFactory factory)
{
    Factory() = std::move(factory);
}

const MemoryReportWriter& LastCustomReportOutput()
{
    return LastOutput();
}

void GenerateCustomReport(const CustomReport& report)
{
    std::unique_ptr<CustomReportWriter> writer;
    if (Factory()) writer = Factory()(report);
    if (!writer) writer = std::make_unique<LastOutputWriter>();
    GenerateCustomReport(report, *writer);
}

void GenerateCustomReport(const CustomReport& report, CustomReportWriter& writer)
{
    const CustomQuery& query = report.query;
    if (query.columns.isEmpty()) return;
    gRptNewPageHeader = true;
    gRptHeader = query.heading;

    if (!writer.Open(report)) {
        prompts().Busy(false);
        return;
    }
    const auto stop = [&writer] {
        writer.Close(false);
        prompts().Busy(false);
    };

    std::unique_ptr<Recordset> rs;
    const bool opened = Guard([&] {
        if (!gDb || !gDb->IsOpen())
            throw DbError(ErrNo::ObjectInvalid, QStringLiteral("Object invalid or no longer set."));
        rs = gDb->OpenForwardOnly(query.sql);
    });
    if (!opened || !rs) return stop();

    if (report.target == CustomTarget::Preview) prompts().Busy(true);
    writer.StartDocument(report);
    if (report.target == CustomTarget::HtmlFile) {
        for (const QString& line : query.htmlHead)
            if (!writer.WriteLine(line)) return stop();
    }

    if (rs->IsEmpty()) {
        MsgBox(QStringLiteral("No Stamps have been entered that may be included in the specified report"));
        return stop();
    }

    ReportTotals totals;
    bool written = true;
    const bool read = Guard([&] {
        QStringList cells;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            cells.clear();
            for (qsizetype i = 0; i < query.columns.size(); ++i) {
                const QVariant value = rs->FieldAt(static_cast<int>(i));
                cells << CellText(query.columns[i], value);
                totals.Add(query.columns[i], value);
            }
            if (!writer.WriteLine(RecordLine(report.target, query.columnFormat, query.columns, cells))) {
                written = false;
                return;
            }
        }
    });
    rs->Close();
    if (!read || !written) return stop();

    if (query.HasTotals()) {
        QStringList cells;
        if (!Guard([&] { cells = totals.Cells(query.columns); })) return stop();
        if (!writer.WriteLine(TotalsLine(report.target, query.columnFormat, query.columns, cells))) return stop();
    }
    if (report.target == CustomTarget::HtmlFile) {
        for (const QString& line : HtmlTail())
            if (!writer.WriteLine(line)) return stop();
    }
    writer.Close(true);
    prompts().Busy(false);
}
