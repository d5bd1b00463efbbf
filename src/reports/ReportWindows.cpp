#include "reports/ReportWindows.h"

#include "reports/frmOutput.h"
#include "reports/frmRptSel.h"

#include <QApplication>
#include <QPageSize>
#include <QPrinterInfo>

frmOutput* QtReportPresenter::Window() const { return mWindow; }

PrintSurface& QtReportPresenter::PreviewSurface()
{
    return LoadedWindow()->Surface();
}

void QtReportPresenter::SetPreviewSize(QSizeF twips)
{
    LoadedWindow()->SetSurfaceSize(twips);
}

QSizeF QtReportPresenter::PreviewSize() const
{
    return mWindow ? mWindow->SurfaceSize() : QSizeF();
}

void QtReportPresenter::ShowPreview()
{
    frmOutput* window = LoadedWindow();
    window->DocumentEnded();
    window->show();
    window->raise();
    window->activateWindow();
}

void QtReportPresenter::SelectCategory()
{
    frmRptSel dialog(QApplication::activeWindow());
    dialog.exec();
}

frmOutput* QtReportPresenter::LoadedWindow()
{
    if (!mWindow) mWindow = new frmOutput;
    return mWindow;
}

void InstallReportWindows()
{
    static QtReportPresenter presenter;
    InstallReportPresenter(&presenter);
    PrintSurface::SetDefaultPaperProvider([]() -> std::optional<QSize> {
        // Asking the printing system can take a moment: once per run is enough.
        static const std::optional<QSize> paper = []() -> std::optional<QSize> {
            const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
            if (printer.isNull()) return std::nullopt;
            switch (printer.defaultPageSize().id()) {
                case QPageSize::Letter:
                    return PrintSurface::LetterSize();
                case QPageSize::A4:
                    return PrintSurface::A4Size();
                default:
                    return std::nullopt;
            }
        }();
        return paper;
    });
}
