#include "reports/ReportPresenter.h"

#include "db/Globals.h"

namespace {

ReportPresenter* gInstalledPresenter = nullptr;

}  // namespace

ReportPresenter& reportPresenter()
{
    static MemoryReportPresenter memory;
    return gInstalledPresenter ? *gInstalledPresenter : memory;
}

void InstallReportPresenter(ReportPresenter* presenter)
{
    gInstalledPresenter = presenter;
}

void RepeatReportHeader(PrintSurface& surface)
{
    if (!gRptNewPageHeader) return;
    surface.SetHeadingRows(true);
    surface.AddTable(gRptHeader);
    surface.SetHeadingRows(false);
}

MemoryReportPresenter::MemoryReportPresenter()
{
    surface.SetNewPageHandler(RepeatReportHeader);
}

PrintSurface& MemoryReportPresenter::PreviewSurface()
{
    return surface;
}

void MemoryReportPresenter::ShowPreview()
{
    ++shows;
    shownPageCount = surface.PageCount();
}

void MemoryReportPresenter::SelectCategory()
{
    ++selections;
    gRptCancel = !selection.has_value();
    if (selection) gRptSelID = *selection;
}
