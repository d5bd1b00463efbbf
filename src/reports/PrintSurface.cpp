#include "reports/PrintSurface.h"

#include "images/PictureIntake.h"

#include <QCache>
#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QRectF>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

// Characters below this need no shaping: their widths simply add up.
constexpr char16_t kSimpleLimit = 0x0300;
// A cell whose text is one line needs no entry in the line table.
constexpr quint32 kWholeCell = std::numeric_limits<quint32>::max();

struct Column {
    qint32 left;
    qint32 width;
    bool right;
};

struct Cell {
    quint32 offset;  // into the document's text pool
    quint32 length;
    quint32 firstLine;  // into the line table, or kWholeCell
    quint32 lineCount;
};

struct Line {
    quint32 offset;
    quint32 length;
};

// A picture in a cell: the encoded image and the size it is drawn at, in twips.
struct Picture {
    quint32 cell;  // the cell's index; pictures are kept in the order of their cells
    QByteArray bytes;
    qint32 width;
    qint32 height;
};

// One row on one page. A row too tall for a page continues on the next one as a
// second Row over the same cells, showing the following lines.
struct Row {
    quint32 firstCell;
    quint32 cellCount;
    quint32 format;
    quint32 lineFrom;
    quint32 lineTo;
    qint32 top;
    bool heading;
};

std::function<std::optional<QSize>()>& PaperProvider()
{
    static std::function<std::optional<QSize>()> provider;
    return provider;
}

QSize TwipsOf(QPageSize::PageSizeId id)
{
    // From the size as the standard defines it (millimetres for A4), not from
    // a size already rounded to another unit.
    const QSizeF size = QPageSize::definitionSize(id);
    double perUnit = PrintSurface::kTwipsPerInch;
    switch (QPageSize::definitionUnits(id)) {
        case QPageSize::Millimeter:
            perUnit = PrintSurface::kTwipsPerInch / 25.4;
            break;
        case QPageSize::Point:
            perUnit = 20;
            break;
        default:
            break;
    }
    return {static_cast<int>(std::lround(size.width() * perUnit)),
            static_cast<int>(std::lround(size.height() * perUnit))};
}

// The header or footer text of a page: three parts, "%d" the page number.
std::array<QString, 3> BandParts(const QString& text, int page)
{
    std::array<QString, 3> parts;
    QString filled = text;
    filled.replace(QStringLiteral("%d"), QString::number(page));
    const QStringList split = filled.split(u'|');
    for (qsizetype i = 0; i < split.size() && i < 3; ++i) parts[static_cast<size_t>(i)] = split.at(i);
    // Anything after a third "|" stays with the right part.
    for (qsizetype i = 3; i < split.size(); ++i) parts[2] += u'|' + split.at(i);
    return parts;
}

}  // namespace

struct PrintSurface::Document {
    QSize pageSize;
    int lineHeight = 0;
    QString header;
    QString footer;
    QString saveName;
    QString text;
    std::vector<std::vector<Column>> formats;
    QHash<QString, quint32> formatsByText;
    std::vector<Cell> cells;
    std::vector<Line> lines;
    std::vector<Row> rows;
    std::vector<quint32> pageFirstRow;
    std::vector<Picture> pictures;
    // The pictures of the pages drawn last, decoded.
    mutable QCache<quint32, QImage> decoded{64};

    int BodyTop() const { return kMarginTop + lineHeight + kBandGap; }
    int BodyBottom() const { return pageSize.height() - kMarginBottom - lineHeight - kBandGap; }
    quint32 PageEnd(size_t page) const
    {
        return page + 1 < pageFirstRow.size() ? pageFirstRow[page + 1] : static_cast<quint32>(rows.size());
    }
    // Line i of a cell, as offset and length into the pool; nothing past its last line.
    std::optional<Line> CellLine(const Cell& cell, quint32 i) const
    {
        if (cell.firstLine == kWholeCell)
            return i == 0 ? std::optional<Line>(Line{cell.offset, cell.length}) : std::nullopt;
        if (i >= cell.lineCount) return std::nullopt;
        return lines[cell.firstLine + i];
    }
    QString LineText(const Line& line) const { return text.mid(line.offset, line.length); }
    const Picture* PictureOf(quint32 cell) const
    {
        const auto found = std::lower_bound(pictures.begin(), pictures.end(), cell,
                                            [](const Picture& p, quint32 c) { return p.cell < c; });
        return found != pictures.end() && found->cell == cell ? &*found : nullptr;
    }
};

struct PrintSurface::Metrics {
    QFont fonts[2];
    QFontMetricsF measures[2] = {QFontMetricsF(QFont()), QFontMetricsF(QFont())};
    std::array<float, kSimpleLimit> advances[2];
    int lineHeight = 0;

    Metrics()
    {
        QFont base;
        base.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        base.setPixelSize(kFontTwips);
        base.setHintingPreference(QFont::PreferNoHinting);
        // Without kerning the width of a text is the sum of its characters'
        // widths, which lets most cells be measured without shaping.
        base.setKerning(false);
        fonts[0] = base;
        fonts[1] = base;
        fonts[1].setBold(true);
        for (int i = 0; i < 2; ++i) {
            measures[i] = QFontMetricsF(fonts[i]);
            advances[i].fill(-1.0f);
        }
        lineHeight = static_cast<int>(std::ceil(std::max(measures[0].lineSpacing(), measures[1].lineSpacing())));
    }

    float Advance(int font, char16_t c)
    {
        float& a = advances[font][c];
        if (a < 0) a = static_cast<float>(measures[font].horizontalAdvance(QChar(c)));
        return a;
    }

    qreal Width(int font, QStringView text, bool simple)
    {
        if (!simple) return measures[font].horizontalAdvance(text.toString());
        qreal width = 0;
        for (QChar c : text) width += Advance(font, c.unicode());
        return width;
    }
};

PrintSurface::PrintSurface() = default;
PrintSurface::~PrintSurface() = default;

void PrintSurface::SetPaperSize(QSize portraitTwips)
{
    mPaper = portraitTwips;
}

QSize PrintSurface::PaperSize() const
{
    return mPaper.isValid() ? mPaper : DefaultPaperSize();
}

int PrintSurface::PageWidth() const
{
    const QSize paper = PaperSize();
    return mOrientation == Orientation::Portrait ? paper.width() : paper.height();
}

int PrintSurface::PageHeight() const
{
    const QSize paper = PaperSize();
    return mOrientation == Orientation::Portrait ? paper.height() : paper.width();
}

PrintSurface::Metrics& PrintSurface::Measures()
{
    if (!mMetrics) mMetrics = std::make_unique<Metrics>();
    return *mMetrics;
}

void PrintSurface::StartDoc()
{
    mBuilding = std::make_unique<Document>();
    mBuilding->pageSize = QSize(PageWidth(), PageHeight());
    mBuilding->lineHeight = Measures().lineHeight;
    mLastFormatText.clear();
    mLastFormat = 0;
    mInNewPage = false;
    NewPage();
}

void PrintSurface::EndDoc()
{
    if (!mBuilding) return;
    mBuilding->header = mHeader;
    mBuilding->footer = mFooter;
    mBuilding->saveName = mSaveName;
    mBuilding->text.squeeze();
    mBuilding->cells.shrink_to_fit();
    mBuilding->rows.shrink_to_fit();
    mFinished = std::move(mBuilding);
}

void PrintSurface::NewPage()
{
    Document& d = *mBuilding;
    d.pageFirstRow.push_back(static_cast<quint32>(d.rows.size()));
    mY = d.BodyTop();
    mPageHasBody = false;
    if (!mNewPage || mInNewPage) return;
    struct Restore {
        PrintSurface& s;
        bool heading;
        ~Restore()
        {
            s.mInNewPage = false;
            s.mHeadingRows = heading;
        }
    } restore{*this, mHeadingRows};
    mInNewPage = true;
    mNewPage(*this);
}

quint32 PrintSurface::FormatIndex(QStringView format)
{
    if (!mLastFormatText.isNull() && format == mLastFormatText) return mLastFormat;
    Document& d = *mBuilding;
    mLastFormatText = format.toString();
    if (const auto found = d.formatsByText.constFind(mLastFormatText); found != d.formatsByText.cend()) {
        mLastFormat = *found;
        return mLastFormat;
    }
    std::vector<Column> columns;
    qint32 left = 0;
    for (QStringView part : format.split(u'|')) {
        part = part.trimmed();
        const bool right = part.startsWith(u'>');
        if (right) part = part.mid(1);
        // Widths come in one form whatever the locale: ASCII digits, a point.
        bool ok = false;
        const double twips = part.trimmed().toDouble(&ok);
        const qint32 width = ok && twips > 0 && twips < 1.0e7 ? static_cast<qint32>(std::lround(twips)) : 0;
        columns.push_back({left, width, right});
        // Columns past the paper are never seen; their position only must not overflow.
        left = static_cast<qint32>(std::min<qint64>(static_cast<qint64>(left) + width, 1'000'000'000));
    }
    mLastFormat = static_cast<quint32>(d.formats.size());
    d.formats.push_back(std::move(columns));
    d.formatsByText.insert(mLastFormatText, mLastFormat);
    return mLastFormat;
}

void PrintSurface::AddTable(QStringView table, const std::vector<QByteArray>& pictures)
{
    if (!mBuilding) return;
    const qsizetype formatEnd = table.indexOf(u';');
    if (formatEnd < 0) return;
    const quint32 format = FormatIndex(table.left(formatEnd));
    qsizetype pos = formatEnd + 1;
    bool first = true;
    while (pos < table.size()) {
        qsizetype end = table.indexOf(u';', pos);
        if (end < 0) end = table.size();
        AddRow(format, table.mid(pos, end - pos), first && !pictures.empty() ? &pictures : nullptr);
        first = false;
        pos = end + 1;
    }
}

void PrintSurface::AddRow(quint32 format, QStringView row, const std::vector<QByteArray>* pictures)
{
    Document& d = *mBuilding;
    const bool heading = mHeadingRows;
    const size_t columns = d.formats[format].size();
    const auto firstCell = static_cast<quint32>(d.cells.size());
    quint32 maxLines = 1;
    size_t column = 0;
    qsizetype start = 0;
    while (column < columns) {
        qsizetype end = row.indexOf(u'|', start);
        if (end < 0) end = row.size();
        Cell cell{};
        cell.offset = static_cast<quint32>(d.text.size());
        cell.length = static_cast<quint32>(end - start);
        d.text.append(row.mid(start, end - start));
        LayOutCell(QStringView(d.text).mid(cell.offset, cell.length), d.formats[format][column].width, heading,
                   cell.firstLine, cell.lineCount);
        maxLines = std::max(maxLines, cell.lineCount);
        if (pictures && column < pictures->size() && !(*pictures)[column].isEmpty()) {
            // Fitted into the column and the picture height, its shape kept; the
            // row takes as many lines as the picture is tall.
            const QByteArray& bytes = (*pictures)[column];
            const QSize pixels = ThumbnailSize(bytes);
            const int room = d.formats[format][column].width - 2 * kCellPadding;
            if (pixels.isValid() && !pixels.isEmpty() && room > 0) {
                const double scale = std::min(static_cast<double>(room) / pixels.width(),
                                              static_cast<double>(kPictureHeight) / pixels.height());
                const auto width = static_cast<qint32>(std::max(1.0, std::floor(pixels.width() * scale)));
                const auto height = static_cast<qint32>(std::max(1.0, std::floor(pixels.height() * scale)));
                d.pictures.push_back({static_cast<quint32>(d.cells.size()), bytes, width, height});
                const auto lines = static_cast<quint32>((height + d.lineHeight - 1) / d.lineHeight);
                maxLines = std::max(maxLines, lines);
            }
        }
        d.cells.push_back(cell);
        ++column;
        if (end >= row.size()) break;
        start = end + 1;
    }
    PlaceRow(firstCell, static_cast<quint32>(column), format, maxLines, heading);
}

void PrintSurface::LayOutCell(QStringView text, int columnWidth, bool heading, quint32& firstLine, quint32& lineCount)
{
    Metrics& m = Measures();
    const int font = heading ? 1 : 0;
    const qreal available = std::max(1, columnWidth - 2 * kCellPadding);
    bool simple = true;
    bool breaks = false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= kSimpleLimit)
            simple = false;
        else if (u == u'\n' || u == u'\r')
            breaks = true;
    }
    if (!breaks && m.Width(font, text, simple) <= available) {
        firstLine = kWholeCell;
        lineCount = 1;
        return;
    }

    Document& d = *mBuilding;
    const quint32 base = static_cast<quint32>(text.data() - d.text.constData());
    firstLine = static_cast<quint32>(d.lines.size());
    auto push = [&](qsizetype from, qsizetype to) {
        while (to > from && text.at(to - 1).isSpace()) --to;
        d.lines.push_back({base + static_cast<quint32>(from), static_cast<quint32>(to - from)});
    };

    qsizetype paragraph = 0;
    while (paragraph <= text.size()) {
        qsizetype paragraphEnd = text.indexOf(u'\n', paragraph);
        if (paragraphEnd < 0) paragraphEnd = text.size();
        qsizetype end = paragraphEnd;
        if (end > paragraph && text.at(end - 1) == u'\r') --end;

        if (simple) {
            // Greedy word wrap on summed widths; a word wider than the column
            // is broken between characters.
            qsizetype start = paragraph;
            if (start == end) push(start, end);
            while (start < end) {
                qreal width = 0;
                qsizetype lastSpace = -1;
                qsizetype i = start;
                while (i < end) {
                    const qreal w = m.Advance(font, text.at(i).unicode());
                    if (width + w > available && i > start) break;
                    width += w;
                    if (text.at(i) == u' ') lastSpace = i;
                    ++i;
                }
                if (i >= end) {
                    push(start, end);
                    break;
                }
                qsizetype next = i;
                if (lastSpace > start) {
                    push(start, lastSpace);
                    next = lastSpace + 1;
                } else {
                    push(start, i);
                }
                while (next < end && text.at(next) == u' ') ++next;
                start = next;
            }
        } else {
            // The text engine's line breaking slows down more than linearly with
            // the length of a paragraph that offers no place to break (a pasted
            // megabyte took minutes): a long paragraph is laid out in pieces, each
            // ending after a space where it has one, never inside a character.
            constexpr qsizetype kPiece = 2048;
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            bool any = false;
            qsizetype from = paragraph;
            do {
                qsizetype to = end;
                if (to - from > kPiece) {
                    const qsizetype space = text.mid(from, kPiece).lastIndexOf(u' ');
                    to = space > 0 ? from + space + 1 : from + kPiece;
                    while (to > from + 1 && (text.at(to).isLowSurrogate() || text.at(to).isMark())) --to;
                }
                QTextLayout layout(text.mid(from, to - from).toString(), m.fonts[font]);
                layout.setTextOption(option);
                layout.beginLayout();
                for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                    line.setLineWidth(available);
                    push(from + line.textStart(), from + line.textStart() + line.textLength());
                    any = true;
                }
                layout.endLayout();
                from = to;
            } while (from < end);
            if (!any) push(paragraph, paragraph);
        }
        paragraph = paragraphEnd + 1;
    }
    lineCount = static_cast<quint32>(d.lines.size()) - firstLine;
    if (lineCount == 0) {
        d.lines.push_back({base, 0});
        lineCount = 1;
    }
}

void PrintSurface::PlaceRow(quint32 firstCell, quint32 cellCount, quint32 format, quint32 lineCount, bool heading)
{
    const int lineHeight = mBuilding->lineHeight;
    if (mInNewPage) {
        // The heading repeated at the top of a page never takes the room of the
        // page's body: a heading row that would leave no room for a line of the
        // body is left out on that page (else the body would be pushed off every
        // page, past the paper's edge).
        Document& d = *mBuilding;
        const int needed = static_cast<int>(lineCount) * lineHeight + 2 * kRowPadding;
        if (mY + needed + lineHeight + 2 * kRowPadding <= d.BodyBottom()) {
            d.rows.push_back({firstCell, cellCount, format, 0, lineCount, mY, heading});
            mY += needed;
        }
        return;
    }
    quint32 from = 0;
    for (;;) {
        Document& d = *mBuilding;
        const quint32 remaining = lineCount - from;
        const int needed = static_cast<int>(remaining) * lineHeight + 2 * kRowPadding;
        if (mY + needed <= d.BodyBottom()) {
            d.rows.push_back({firstCell, cellCount, format, from, lineCount, mY, heading});
            mY += needed;
            break;
        }
        if (mPageHasBody) {
            NewPage();
            continue;
        }
        // Even a fresh page cannot hold the row: it continues on the next page.
        const quint32 fit = static_cast<quint32>(
            std::clamp((d.BodyBottom() - mY - 2 * kRowPadding) / lineHeight, 1, static_cast<int>(remaining)));
        d.rows.push_back({firstCell, cellCount, format, from, from + fit, mY, heading});
        mY += static_cast<int>(fit) * lineHeight + 2 * kRowPadding;
        from += fit;
        if (from >= lineCount) break;
        mPageHasBody = true;
        NewPage();
    }
    mPageHasBody = true;
}

int PrintSurface::PageCount() const
{
    return mFinished ? static_cast<int>(mFinished->pageFirstRow.size()) : 0;
}

QSize PrintSurface::DocumentPageSize() const
{
    return mFinished ? mFinished->pageSize : QSize(PageWidth(), PageHeight());
}

QString PrintSurface::PageHeaderText(int page) const
{
    if (!mFinished) return QString();
    const auto parts = BandParts(mFinished->header, page);
    return parts[0] + u'|' + parts[1] + u'|' + parts[2];
}

QString PrintSurface::PageFooterText(int page) const
{
    if (!mFinished) return QString();
    const auto parts = BandParts(mFinished->footer, page);
    return parts[0] + u'|' + parts[1] + u'|' + parts[2];
}

QString PrintSurface::DocumentSaveName() const
{
    return mFinished ? mFinished->saveName : QString();
}

std::vector<PrintSurface::RowView> PrintSurface::PageRows(int page) const
{
    std::vector<RowView> out;
    if (!mFinished || page < 1 || page > PageCount()) return out;
    const Document& d = *mFinished;
    const auto index = static_cast<size_t>(page - 1);
    for (quint32 r = d.pageFirstRow[index]; r < d.PageEnd(index); ++r) {
        const Row& row = d.rows[r];
        RowView view;
        view.top = row.top;
        view.height = static_cast<int>(row.lineTo - row.lineFrom) * d.lineHeight + 2 * kRowPadding;
        view.heading = row.heading;
        const auto& columns = d.formats[row.format];
        for (quint32 c = 0; c < row.cellCount; ++c) {
            const Cell& cell = d.cells[row.firstCell + c];
            CellView cv;
            cv.left = kMarginLeft + columns[c].left;
            cv.width = columns[c].width;
            cv.rightAligned = columns[c].right;
            for (quint32 i = row.lineFrom; i < row.lineTo; ++i)
                if (const auto line = d.CellLine(cell, i)) cv.lines << d.LineText(*line);
            if (const Picture* picture = d.PictureOf(row.firstCell + c)) cv.picture = QSize(picture->width, picture->height);
            view.cells.push_back(std::move(cv));
        }
        out.push_back(std::move(view));
    }
    return out;
}

void PrintSurface::DrawPage(QPainter& painter, int page, const QRectF& target) const
{
    if (!mFinished || page < 1 || page > PageCount()) return;
    const Document& d = *mFinished;
    Metrics& m = const_cast<PrintSurface*>(this)->Measures();
    const qreal width = d.pageSize.width();
    const qreal height = d.pageSize.height();
    const qreal scale = std::min(target.width() / width, target.height() / height);
    if (scale <= 0) return;

    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    const QRectF paper(0, 0, width, height);
    painter.fillRect(paper, Qt::white);
    painter.setClipRect(paper);
    painter.setPen(Qt::black);

    const int lineHeight = d.lineHeight;
    const qreal bandWidth = width - kMarginLeft - kMarginRight;
    auto drawBand = [&](const QString& text, qreal top) {
        if (text.isEmpty()) return;
        const auto parts = BandParts(text, page);
        const QRectF band(kMarginLeft, top, bandWidth, lineHeight);
        painter.setFont(m.fonts[0]);
        painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, parts[0]);
        painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, parts[2]);
        painter.setFont(m.fonts[1]);
        painter.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, parts[1]);
    };
    drawBand(d.header, kMarginTop);
    drawBand(d.footer, height - kMarginBottom - lineHeight);

    const auto index = static_cast<size_t>(page - 1);
    const QColor shade(0xE4, 0xE4, 0xE4);
    for (quint32 r = d.pageFirstRow[index]; r < d.PageEnd(index); ++r) {
        const Row& row = d.rows[r];
        const auto& columns = d.formats[row.format];
        const qreal rowHeight = static_cast<qreal>(row.lineTo - row.lineFrom) * lineHeight + 2 * kRowPadding;
        if (row.heading && !columns.empty()) {
            const qreal tableWidth = columns.back().left + columns.back().width;
            painter.fillRect(QRectF(kMarginLeft, row.top, tableWidth, rowHeight), shade);
        }
        painter.setFont(m.fonts[row.heading ? 1 : 0]);
        for (quint32 c = 0; c < row.cellCount; ++c) {
            const Cell& cell = d.cells[row.firstCell + c];
            const Column& column = columns[c];
            const int flags = (column.right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine;
            const qreal x = kMarginLeft + column.left + kCellPadding;
            const qreal w = std::max(0, column.width - 2 * kCellPadding);
            if (const Picture* picture = d.PictureOf(row.firstCell + c)) {
                QImage* image = d.decoded.object(row.firstCell + c);
                if (!image) {
                    image = new QImage(DecodeThumbnail(picture->bytes));
                    d.decoded.insert(row.firstCell + c, image);
                }
                // A row that goes on over a page break shows its picture's part on each.
                const qreal top = row.top + kRowPadding - static_cast<qreal>(row.lineFrom) * lineHeight;
                if (!image->isNull()) {
                    painter.save();
                    painter.setClipRect(QRectF(x, row.top, w, rowHeight), Qt::IntersectClip);
                    painter.setRenderHint(QPainter::SmoothPixmapTransform);
                    painter.drawImage(QRectF(x + (w - picture->width) / 2, top, picture->width, picture->height), *image);
                    painter.restore();
                }
            }
            for (quint32 i = row.lineFrom; i < row.lineTo; ++i) {
                const auto line = d.CellLine(cell, i);
                if (!line) break;
                if (line->length == 0) continue;
                const QRectF box(x, row.top + kRowPadding + static_cast<qreal>(i - row.lineFrom) * lineHeight, w,
                                 lineHeight);
                painter.drawText(box, flags, d.LineText(*line));
            }
        }
    }
    painter.restore();
}

void PrintSurface::SetDefaultPaperProvider(std::function<std::optional<QSize>()> provider)
{
    PaperProvider() = std::move(provider);
}

QSize PrintSurface::DefaultPaperSize()
{
    if (const auto& provider = PaperProvider())
        if (const auto paper = provider()) return *paper;
    const QLocale locale;
    if (locale.measurementSystem() == QLocale::ImperialUSSystem || locale.territory() == QLocale::Canada)
        return LetterSize();
    return A4Size();
}

QSize PrintSurface::LetterSize()
{
    return TwipsOf(QPageSize::Letter);
}
QSize PrintSurface::A4Size()
{
    return TwipsOf(QPageSize::A4);
}
