#include "reports/frmOutput.h"

#include "db/DbError.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "help/HelpContext.h"
#include "reports/PageView.h"
#include "reports/ReportFile.h"
#include "reports/ReportPdf.h"
#include "reports/ReportPresenter.h"
#include "reports/ReportPrinting.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace {

// 60 percent of an 8 by 11 inch page, until the zoom bar is first moved.
constexpr double kLoadWidth = 6912;
constexpr double kLoadHeight = 9504;

frmOutput::PrinterChooser& Chooser()
{
    static frmOutput::PrinterChooser chooser = [](QPrinter& printer, int pageCount, QWidget* parent) {
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, pageCount);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        return dialog.exec() == QDialog::Accepted;
    };
    return chooser;
}

// A small magnifying glass beside the zoom bar.
QPixmap Magnifier()
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(0xCF, 0xE3, 0xF5));
    p.drawEllipse(QRectF(2.5, 2.5, 11.5, 11.5));
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(13.2, 13.2), QPointF(19.5, 19.5));
    return pixmap;
}

}  // namespace

void frmOutput::SetPrinterChooser(PrinterChooser chooser)
{
    Chooser() = std::move(chooser);
}

frmOutput::frmOutput(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmOutput"));
    setWindowTitle(QStringLiteral("Report Output"));
    setAttribute(Qt::WA_DeleteOnClose);
    SetHelpContext(this, 65);
    mSurface.SetNewPageHandler(RepeatReportHeader);

    vsPrinter = new PageView(mSurface);
    vsPrinter->setObjectName(QStringLiteral("vsPrinter"));
    vsViewPort1 = new QScrollArea(this);
    vsViewPort1->setObjectName(QStringLiteral("vsViewPort1"));
    vsViewPort1->setWidgetResizable(false);
    vsViewPort1->setBackgroundRole(QPalette::Mid);
    vsViewPort1->setWidget(vsPrinter);

    scrlPage = new QScrollBar(Qt::Vertical, this);
    scrlPage->setObjectName(QStringLiteral("scrlPage"));
    scrlPage->setRange(1, 1);
    scrlPage->setValue(1);
    scrlPage->setPageStep(2);
    scrlPage->setSingleStep(1);

    scrlZoom = new QScrollBar(Qt::Horizontal, this);
    scrlZoom->setObjectName(QStringLiteral("scrlZoom"));
    scrlZoom->setRange(10, 250);
    scrlZoom->setSingleStep(10);
    scrlZoom->setPageStep(50);
    scrlZoom->setValue(60);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(Magnifier());

    cmdPrint = new QPushButton(QStringLiteral("&Print"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdSavePdf = new QPushButton(QStringLiteral("&Save as PDF..."), this);
    cmdSavePdf->setObjectName(QStringLiteral("cmdSavePdf"));
    SetHelpContext(cmdSavePdf, 80);
    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    // A focused button takes Enter, as in a dialog.
    cmdPrint->setAutoDefault(true);
    cmdOk->setAutoDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(vsViewPort1, 0, 0);
    grid->addWidget(scrlPage, 0, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Picture1);
    bottom->addWidget(scrlZoom, 1);
    bottom->addSpacing(12);
    bottom->addWidget(cmdPrint);
    bottom->addWidget(cmdSavePdf);
    bottom->addWidget(cmdOk);
    grid->addLayout(bottom, 1, 0, 1, 2);

    setTabOrder(vsViewPort1, scrlPage);
    setTabOrder(scrlPage, scrlZoom);
    setTabOrder(scrlZoom, cmdPrint);
    setTabOrder(cmdPrint, cmdSavePdf);
    setTabOrder(cmdSavePdf, cmdOk);
    resize(560, 760);

    Form_Load();

    connect(scrlZoom, &QScrollBar::valueChanged, this, &frmOutput::scrlZoom_Change);
    connect(scrlPage, &QScrollBar::valueChanged, this, &frmOutput::scrlPage_Change);
    connect(cmdPrint, &QPushButton::clicked, this, &frmOutput::cmdPrint_Click);
    connect(cmdSavePdf, &QPushButton::clicked, this, &frmOutput::cmdSavePdf_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmOutput::cmdOk_Click);
}

frmOutput::~frmOutput() = default;

void frmOutput::Form_Load()
{
    SetSurfaceSize(QSizeF(kLoadWidth, kLoadHeight));
    scrlZoom->setValue(60);
    scrlPage->setValue(1);
    vsPrinter->SetPage(1);
}

void frmOutput::SetSurfaceSize(QSizeF twips)
{
    vsPrinter->SetTwipsSize(twips);
}

QSizeF frmOutput::SurfaceSize() const
{
    return vsPrinter->TwipsSize();
}

void frmOutput::DocumentEnded()
{
    scrlPage->setMaximum(std::max(1, mSurface.PageCount()));
    vsPrinter->SetPage(scrlPage->value());
    vsPrinter->update();
}

void frmOutput::scrlZoom_Change(int value)
{
    // A whole-number product, divided in single precision.
    const QSize page = mSurface.DocumentPageSize();
    const float width = static_cast<float>(static_cast<qint32>(page.width()) * value) / 100.0f;
    const float height = static_cast<float>(static_cast<qint32>(page.height()) * value) / 100.0f;
    SetSurfaceSize(QSizeF(width, height));
}

void frmOutput::scrlPage_Change(int value)
{
    vsPrinter->SetPage(value);
}

void frmOutput::cmdPrint_Click()
{
    const int pages = mSurface.PageCount();
    if (pages < 1) return;
    QPrinter printer(QPrinter::HighResolution);
    PrepareReportPrinter(mSurface, printer);
    const QString title = DocumentTitle(mSurface);
    if (!title.isEmpty()) printer.setDocName(title);
    if (!Chooser()(printer, pages, this)) return;
    prompts().Busy(true);
    const bool printed = PrintReportDocument(mSurface, printer);
    prompts().Busy(false);
    if (!printed) MsgBox(QStringLiteral("The report could not be sent to the printer."));
}

void frmOutput::cmdSavePdf_Click()
{
    if (mSurface.PageCount() < 1) return;
    QString name = mSurface.DocumentSaveName();
    if (name.isEmpty()) name = PdfFileName(DocumentTitle(mSurface));
    const std::optional<QString> chosen = prompts().SaveFile(name, kPdfFileFilter);
    if (!chosen || chosen->isEmpty()) return;
    // A name typed without an extension still makes a PDF a file manager knows.
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    ConfirmOverwrite(path);
    if (gRptCancel) return;
    prompts().Busy(true);
    QString error;
    const bool written = WriteReportPdf(mSurface, path, &error);
    prompts().Busy(false);
    if (!written)
        ShowReportFileError(ErrNo::FileError,
                            QStringLiteral("Could not write the report file '") + path + QStringLiteral("': ") + error);
}

void frmOutput::cmdOk_Click()
{
    close();
}
