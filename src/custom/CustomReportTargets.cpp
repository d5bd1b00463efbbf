#include "custom/CustomReportTargets.h"

#include "reports/PrintSurface.h"
#include "reports/ReportFile.h"
#include "reports/ReportPdf.h"
#include "reports/ReportPresenter.h"

#include <QSizeF>

namespace {

// The preview: each line is a one-row table under the heading table that the
// preview repeats on every page.
class PreviewWriter final : public CustomReportWriter {
public:
    bool Open(const CustomReport&) override { return true; }

    void StartDocument(const CustomReport& report) override
    {
        mSurface = &reportPresenter().PreviewSurface();
        mSurface->SetOrientation(report.landscape ? PrintSurface::Orientation::Landscape
                                                  : PrintSurface::Orientation::Portrait);
        if (report.landscape) {
            // Drawn at 60 percent, the page keeps its landscape shape.
            reportPresenter().SetPreviewSize(QSizeF(0.6 * mSurface->PageWidth(), 0.6 * mSurface->PageHeight()));
        }
        mSurface->StartDoc();
        mSurface->SetHeader(report.pageHeader);
        mSurface->SetFooter(report.pageFooter);
        mSurface->SetSaveName(PdfFileName(report.title));
    }

    bool WriteLine(const QString& line) override
    {
        if (mSurface) mSurface->AddTable(line);
        return true;
    }

    bool WriteRecord(const QString& line, const std::vector<QByteArray>& pictures) override
    {
        if (mSurface) mSurface->AddTable(line, pictures);
        return true;
    }

    void Close(bool complete) override
    {
        if (!complete || !mSurface) return;
        mSurface->EndDoc();
        reportPresenter().ShowPreview();
    }

private:
    PrintSurface* mSurface = nullptr;
};

// A text or HTML file, through the report engine's Save dialog, "File Exists"
// question and safe file writer.
class FileWriter final : public CustomReportWriter {
public:
    bool Open(const CustomReport& report) override
    {
        const auto path = AskReportFile(report.defaultFileName, report.fileFilter);
        if (!path) return false;
        mFile = std::make_unique<ReportFile>(*path);
        if (mFile->Open()) return true;
        mFile.reset();
        return false;
    }

    void StartDocument(const CustomReport&) override {}

    bool WriteLine(const QString& line) override { return mFile && mFile->WriteLine(line); }

    // A report without records keeps what it wrote (an empty text file, the head
    // of an HTML page); one whose writing failed leaves the chosen file as it was.
    void Close(bool) override
    {
        if (!mFile) return;
        if (mFile->Failed()) mFile->Discard();
        else mFile->Close();
        mFile.reset();
    }

private:
    std::unique_ptr<ReportFile> mFile;
};

}  // namespace

std::unique_ptr<CustomReportWriter> MakeCustomReportWriter(const CustomReport& report)
{
    if (report.target == CustomTarget::Preview) return std::make_unique<PreviewWriter>();
    return std::make_unique<FileWriter>();
}

void InstallCustomReportTargets() { SetCustomReportWriterFactory(MakeCustomReportWriter); }
