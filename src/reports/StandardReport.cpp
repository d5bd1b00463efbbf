#include "reports/StandardReport.h"

#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "db/Recordset.h"
#include "reports/PrintSurface.h"
#include "reports/ReportFile.h"
#include "reports/ReportPresenter.h"

#include <QDate>

#include <memory>

namespace {

enum Target { Preview = 1, TextFile = 2, HtmlFile = 3 };

// The hourglass goes back to the normal pointer however the report ends.
struct PointerRestore {
    ~PointerRestore() { prompts().Busy(false); }
};

}  // namespace

int ColumnOf(const Recordset& rs, const QString& name)
{
    const int i = rs.FieldIndex(name);
    if (i < 0) throw DbError(3265, QStringLiteral("Item not found in this collection. (%1)").arg(name));
    return i;
}

void StandardReport::Run()
{
    const PointerRestore pointer;
    gRptNewPageHeader = true;
    const int target = gRptTarget == TextFile || gRptTarget == HtmlFile ? gRptTarget : Preview;

    PrintSurface* surface = nullptr;
    std::unique_ptr<ReportFile> file;
    if (target == Preview) {
        gRptHeader = mTexts.formatPart + mTexts.headingRow;
        prompts().Busy(true);
        surface = &reportPresenter().PreviewSurface();
        // A custom report may have left the surface turned or with a footer.
        surface->SetOrientation(PrintSurface::Orientation::Portrait);
        surface->SetFooter(QString());
        surface->SetSaveName(mTexts.pdfFileName);
        surface->StartDoc();
        surface->SetHeader(FormatShortDate(QDate::currentDate()) + u'|' + mTexts.pageTitle +
                           QStringLiteral("|Page %d"));
    } else {
        const bool text = target == TextFile;
        const auto path =
            AskReportFile(text ? mTexts.textFileName : mTexts.htmlFileName, text ? kTextFileFilter : kHtmlFileFilter);
        if (!path) return;
        file = std::make_unique<ReportFile>(*path);
        if (!file->Open()) return;
        prompts().Busy(true);
        if (!text) {
            bool written = file->WriteLine(u"<html>") && file->WriteLine(mTexts.htmlHeadLine) &&
                           file->WriteLine(u"<body>") && file->WriteLine(u"<table border=1>") &&
                           file->WriteLine(mTexts.htmlTitleRow);
            for (const QString& line : mTexts.htmlHeadingLines) written = written && file->WriteLine(line);
            if (!written) return;
        }
    }

    std::unique_ptr<Recordset> rs;
    try {
        if (!gDb) throw DbError(ErrNo::NoObject, QStringLiteral("Object variable not set."));
        rs = gDb->OpenForwardOnly(mTexts.query);
    } catch (const DbError& error) {
        HandleError(error);
        return;
    }
    if (rs->IsEmpty()) {
        rs->Close();
        MsgBox(mTexts.emptyMessage);
        // The file keeps what was written: nothing, or the head of the page.
        if (file) file->Close();
        return;
    }

    std::vector<QString> cells;
    QString line;
    TotalsLines totals;
    try {
        Begin(*rs);
        while (!rs->Eof()) {
            cells.clear();
            Cells(*rs, cells);
            line.resize(0);
            if (target == HtmlFile) {
                line += u"<tr>";
                for (size_t i = 0; i < cells.size(); ++i) {
                    const bool right = i < mTexts.htmlRightAligned.size() && mTexts.htmlRightAligned[i];
                    line += right ? QStringView(u"<td align=right>") : QStringView(u"<td>");
                    AppendHtmlEscaped(line, cells[i]);
                    line += u"</td>";
                }
                if (mTexts.htmlCloseRow) line += u"</tr>";
                if (!file->WriteLine(line)) return;
            } else {
                if (target == Preview) line += mTexts.formatPart;
                for (size_t i = 0; i < cells.size(); ++i) {
                    if (i > 0) line += u'|';
                    // In a text file a tab, a "|" (which becomes a tab) or a line
                    // break inside a value would make a column or a line of its
                    // own: each becomes a space.
                    if (target == TextFile)
                        line += OneLineText(cells[i]).replace(u'\t', u' ').replace(u'|', u' ');
                    else
                        line += cells[i];
                }
                line += u';';
                if (target == Preview) {
                    surface->AddTable(line);
                } else if (!file->WriteLine(TextFileLine(line))) {
                    return;
                }
            }
            rs->MoveNext();
        }
        rs->Close();
        totals = Totals();
    } catch (const DbError& error) {
        HandleError(error);
        return;
    }

    switch (target) {
        case Preview:
            for (const QString& table : totals.preview) surface->AddTable(table);
            surface->EndDoc();
            reportPresenter().ShowPreview();
            break;
        case TextFile:
            for (const QString& text : totals.text)
                if (!file->WriteLine(text)) return;
            file->Close();
            break;
        default:
            for (const QString& html : totals.html)
                if (!file->WriteLine(html)) return;
            if (file->WriteLine(u"</table>") && file->WriteLine(HtmlFooterLine()) && file->WriteLine(u"</body>") &&
                file->WriteLine(u"</html>"))
                file->Close();
            break;
    }
}
