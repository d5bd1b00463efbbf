#pragma once

// The windows behind the reports: the preview window and the selection dialog,
// reached by the report routines through the presenter installed here.

#include "reports/ReportPresenter.h"

#include <QPointer>

class frmOutput;

class QtReportPresenter final : public ReportPresenter {
public:
    PrintSurface& PreviewSurface() override;
    void SetPreviewSize(QSizeF twips) override;
    QSizeF PreviewSize() const override;
    void ShowPreview() override;
    void SelectCategory() override;

    // The preview window while it is open (made by the first report after it
    // was closed), else null.
    frmOutput* Window() const;

private:
    frmOutput* LoadedWindow();
    QPointer<frmOutput> mWindow;
};

// Installs the windows' presenter and takes the default paper from the
// default printer. Called once at start-up, after the application object exists.
void InstallReportWindows();
