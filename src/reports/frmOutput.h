#pragma once

// The report preview window: the document a view/print report composed, one
// page at a time at a chosen zoom, with printing and saving as a PDF. Modeless; a report that
// finds it open writes its document into it again.

#include "reports/PrintSurface.h"

#include <QSizeF>
#include <QWidget>

#include <functional>

class PageView;
class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;
class QScrollBar;

class frmOutput : public QWidget {
    Q_OBJECT
public:
    explicit frmOutput(QWidget* parent = nullptr);
    ~frmOutput() override;

    PrintSurface& Surface() { return mSurface; }
    // The size at which the page is drawn, in twips; the viewport scrolls over it.
    void SetSurfaceSize(QSizeF twips);
    QSizeF SurfaceSize() const;
    // A report has ended its document: the page bar's maximum becomes the page
    // count and the shown page is drawn anew.
    void DocumentEnded();

    // How "&Print" asks which printer to use; false when the collector cancels.
    // The program's own shows the print dialog (which offers "Print to file",
    // a PDF); tests install one that chooses a PDF file.
    using PrinterChooser = std::function<bool(QPrinter& printer, int pageCount, QWidget* parent)>;
    static void SetPrinterChooser(PrinterChooser chooser);

private Q_SLOTS:
    void scrlZoom_Change(int value);
    void scrlPage_Change(int value);
    void cmdPrint_Click();
    void cmdSavePdf_Click();
    void cmdOk_Click();

private:
    void Form_Load();

    PrintSurface mSurface;
    QScrollArea* vsViewPort1;
    PageView* vsPrinter;
    QScrollBar* scrlPage;
    QScrollBar* scrlZoom;
    QLabel* Picture1;
    QPushButton* cmdPrint;
    QPushButton* cmdSavePdf;
    QPushButton* cmdOk;
};
