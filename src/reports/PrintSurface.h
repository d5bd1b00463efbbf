#pragma once

// The page layout of report documents. A report starts a document, sends its
// tables as table strings (a format part of column widths in twips, a leading
// ">" for a right-aligned column, ended by ";", then rows of cells joined by "|"
// and ended by ";"), and ends the document. The surface breaks the rows into
// pages of the chosen paper, wraps each cell's text inside its column, puts the
// three-part page header and footer on every page ("left|centre|right", "%d" is
// the page number), and tells its owner whenever a page starts so that the
// column headings can be repeated there.
//
// Pages are kept as compact layout data: offsets into one text pool, column
// geometry and line breaks. Nothing is drawn until a page is asked for, so a
// document of a hundred thousand rows costs a few megabytes and no widgets.

#include <QSize>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QRectF;

class PrintSurface {
public:
    enum class Orientation { Portrait = 0, Landscape = 1 };

    static constexpr int kTwipsPerInch = 1440;
    // Page geometry, in twips. The side margins leave room for the widest
    // standard table (10,600 twips) on A4 as well as on Letter.
    static constexpr int kMarginLeft = 576;
    static constexpr int kMarginRight = 576;
    static constexpr int kMarginTop = 720;
    static constexpr int kMarginBottom = 720;
    static constexpr int kBandGap = 216;     // between the header or footer and the body
    static constexpr int kCellPadding = 72;  // inside each cell, left and right
    static constexpr int kRowPadding = 30;   // above and below each row's text
    static constexpr int kFontTwips = 180;   // 9 point
    static constexpr int kPictureHeight = 1440;  // the tallest a picture in a cell is drawn

    // What a laid-out page holds, for anyone who needs to look at it without
    // drawing it (the tests, mostly).
    struct CellView {
        int left = 0;  // from the page's left edge
        int width = 0;
        bool rightAligned = false;
        QStringList lines;
        QSize picture;  // the picture drawn in the cell, in twips; empty for none
    };
    struct RowView {
        int top = 0;  // from the page's top edge
        int height = 0;
        bool heading = false;
        std::vector<CellView> cells;
    };

    PrintSurface();
    ~PrintSurface();
    PrintSurface(const PrintSurface&) = delete;
    PrintSurface& operator=(const PrintSurface&) = delete;

    // The paper, portrait way up, in twips; the default printer's or the locale's
    // paper unless set. Orientation and paper take effect at the next StartDoc.
    void SetPaperSize(QSize portraitTwips);
    QSize PaperSize() const;
    void SetOrientation(Orientation orientation) { mOrientation = orientation; }
    Orientation PageOrientation() const { return mOrientation; }
    // The full page as the paper and orientation now stand, in twips.
    int PageWidth() const;
    int PageHeight() const;

    // "left|centre|right"; "%d" stands for the page number. They belong to the
    // document that is ended next, so they may be set before or after StartDoc.
    void SetHeader(const QString& header) { mHeader = header; }
    const QString& Header() const { return mHeader; }
    void SetFooter(const QString& footer) { mFooter = footer; }
    const QString& Footer() const { return mFooter; }
    // The file name a saved copy of the document is offered under ("Sales.pdf").
    // Like the header, it belongs to the document that is ended next.
    void SetSaveName(const QString& name) { mSaveName = name; }

    // Called at the start of every page, the first one included, while the
    // document is being composed. Tables it adds head the new page.
    void SetNewPageHandler(std::function<void(PrintSurface&)> handler) { mNewPage = std::move(handler); }

    // Starts composing a new document. The finished document (if any) stays
    // drawable until EndDoc replaces it.
    void StartDoc();
    // Ends the document being composed; it becomes the finished document.
    void EndDoc();
    bool Composing() const { return mBuilding != nullptr; }

    // Appends the table a table string describes. A row with more cells than
    // the format has columns keeps only the cells that have a column; a table
    // sent outside a document is ignored. Pictures (encoded images, by column;
    // an empty one for none) go into the cells of the table's first row, each
    // fitted to its column and at most kPictureHeight tall, the row as tall as
    // its tallest picture.
    void AddTable(QStringView table, const std::vector<QByteArray>& pictures = {});
    // Rows added while this is on are heading rows, drawn bold and shaded.
    void SetHeadingRows(bool on) { mHeadingRows = on; }
    bool HeadingRows() const { return mHeadingRows; }

    // The finished document.
    int PageCount() const;
    QSize DocumentPageSize() const;
    QString PageHeaderText(int page) const;  // "%d" replaced
    QString PageFooterText(int page) const;
    QString DocumentSaveName() const;
    std::vector<RowView> PageRows(int page) const;
    // Draws page (1-based) scaled uniformly into target, at its top left.
    void DrawPage(QPainter& painter, int page, const QRectF& target) const;

    // Where the default paper comes from: the windows install the default
    // printer's paper (nothing when there is no printer, or when its paper is
    // neither Letter nor A4); otherwise the locale decides.
    static void SetDefaultPaperProvider(std::function<std::optional<QSize>()> provider);
    static QSize DefaultPaperSize();
    static QSize LetterSize();
    static QSize A4Size();

    struct Document;
    struct Metrics;

private:
    void NewPage();
    void AddRow(quint32 format, QStringView row, const std::vector<QByteArray>* pictures);
    void PlaceRow(quint32 firstCell, quint32 cellCount, quint32 format, quint32 lineCount, bool heading);
    quint32 FormatIndex(QStringView format);
    void LayOutCell(QStringView text, int columnWidth, bool heading, quint32& firstLine, quint32& lineCount);
    Metrics& Measures();

    QSize mPaper;
    Orientation mOrientation = Orientation::Portrait;
    QString mHeader;
    QString mFooter;
    QString mSaveName;
    bool mHeadingRows = false;
    std::function<void(PrintSurface&)> mNewPage;

    std::unique_ptr<Document> mBuilding;
    std::unique_ptr<Document> mFinished;
    std::unique_ptr<Metrics> mMetrics;

    // Composition state of the document being built.
    int mY = 0;
    bool mPageHasBody = false;  // rows besides those the new-page handler added
    bool mInNewPage = false;
    QString mLastFormatText;
    quint32 mLastFormat = 0;
};
