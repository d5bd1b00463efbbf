#pragma once

// What a report needs of the windows, without knowing them: the preview
// window's print surface and its showing, and the category selection dialog.
// The window library installs its own presenter at start-up; without one, a
// presenter that keeps the preview in memory stands in (tools and tests).

#include "reports/PrintSurface.h"

#include <QSizeF>

#include <optional>

class ReportPresenter {
public:
    virtual ~ReportPresenter() = default;

    // The preview's print surface. The preview window is made first when it is
    // not open (made afresh after it was closed), before the report starts its
    // document.
    virtual PrintSurface& PreviewSurface() = 0;
    // The size at which the preview draws the page, in twips, until the zoom
    // bar next moves.
    virtual void SetPreviewSize(QSizeF twips) = 0;
    virtual QSizeF PreviewSize() const = 0;
    // After the document has ended: the page bar's maximum becomes the page
    // count and the window is shown without blocking the rest of the program.
    virtual void ShowPreview() = 0;
    // The category selection dialog, modal, for gRptCategory. It sets
    // gRptCancel (true unless a valid OK) and gRptSelID.
    virtual void SelectCategory() = 0;
};

ReportPresenter& reportPresenter();
void InstallReportPresenter(ReportPresenter* presenter);

// The preview's new-page handling: while gRptNewPageHeader is true the column
// headings (gRptHeader) head every page, as heading rows.
void RepeatReportHeader(PrintSurface& surface);

// A preview kept in memory: what tools and tests use.
class MemoryReportPresenter final : public ReportPresenter {
public:
    MemoryReportPresenter();

    PrintSurface& PreviewSurface() override;
    void SetPreviewSize(QSizeF twips) override { previewSize = twips; }
    QSizeF PreviewSize() const override { return previewSize; }
    void ShowPreview() override;
    void SelectCategory() override;

    PrintSurface surface;
    QSizeF previewSize{6912, 9504};
    int shows = 0;
    int shownPageCount = 0;
    // The dialog's answer: an entry's code, -1 for all entries, nothing for Cancel.
    std::optional<qint32> selection = -1;
    int selections = 0;
};
