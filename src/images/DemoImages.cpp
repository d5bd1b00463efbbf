#include "images/DemoImages.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "images/ImageStore.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <sqlite3.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

QByteArray Jpeg(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.write(image);
    return bytes;
}

// Grain over the whole picture, as a scanner gives it; it also keeps the file
// near the size a real scan of that many pixels has.
void Grain(QImage& image, std::mt19937_64& rng)
{
    static const std::vector<int> noise = [] {
        std::mt19937_64 fixed(12345);
        std::vector<int> values(1 << 16);
        for (int& v : values) v = static_cast<int>(fixed() % 25) - 12;
        return values;
    }();
    const quint32 offset = static_cast<quint32>(rng());
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const quint32 row = offset + static_cast<quint32>(y) * 40503u;
        for (int x = 0; x < image.width(); ++x) {
            const int n = noise[(row + static_cast<quint32>(x) * 2654435761u) >> 16];
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + n, 0, 255), std::clamp(qGreen(p) + n, 0, 255),
                           std::clamp(qBlue(p) + n, 0, 255));
        }
    }
}

}  // namespace

QByteArray DemoScan(quint64 seed, QSize size, bool back, const QString& label)
{
    std::mt19937_64 rng(seed);
    QImage image(size, QImage::Format_RGB32);
    const int hue = static_cast<int>(rng() % 360);
    image.fill(back ? QColor(226, 216, 184) : QColor(236, 232, 220));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    const QRectF stamp(w * 0.12, h * 0.1, w * 0.76, h * 0.8);
    const double tooth = std::max(2.0, w * 0.018);
    if (!back) {
        // The stamp, its perforated edge, its frame and picture.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(250, 248, 240));
        painter.drawRect(stamp);
        painter.setBrush(QColor(236, 232, 220));
        for (double x = stamp.left(); x <= stamp.right(); x += tooth * 2.2) {
            painter.drawEllipse(QPointF(x, stamp.top()), tooth * 0.6, tooth * 0.6);
            painter.drawEllipse(QPointF(x, stamp.bottom()), tooth * 0.6, tooth * 0.6);
        }
        for (double y = stamp.top(); y <= stamp.bottom(); y += tooth * 2.2) {
            painter.drawEllipse(QPointF(stamp.left(), y), tooth * 0.6, tooth * 0.6);
            painter.drawEllipse(QPointF(stamp.right(), y), tooth * 0.6, tooth * 0.6);
        }
        const QRectF frame = stamp.adjusted(w * 0.06, h * 0.05, -w * 0.06, -h * 0.05);
        QLinearGradient gradient(frame.topLeft(), frame.bottomRight());
        gradient.setColorAt(0, QColor::fromHsv(hue, 160, 200));
        gradient.setColorAt(1, QColor::fromHsv((hue + 40) % 360, 200, 110));
        painter.setBrush(gradient);
        painter.drawRect(frame);
        painter.setBrush(QColor::fromHsv((hue + 180) % 360, 60, 235));
        painter.drawEllipse(frame.center(), frame.width() * 0.3, frame.height() * 0.28);
        QFont font;
        font.setPixelSize(std::max(8, static_cast<int>(h * 0.07)));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(frame.adjusted(0, 0, 0, -h * 0.03), Qt::AlignHCenter | Qt::AlignBottom, label);
        painter.drawText(frame.adjusted(w * 0.03, h * 0.02, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         QString::number(1 + rng() % 99) + QStringLiteral("c"));
    } else {
        // The gummed back with a hinge and a pencilled note.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(240, 232, 200));
        painter.drawRect(stamp);
        painter.setBrush(QColor(248, 246, 238, 220));
        painter.drawRect(QRectF(stamp.left() + stamp.width() * 0.3, stamp.top() + stamp.height() * 0.1,
                                stamp.width() * 0.4, stamp.height() * 0.25));
        QFont font;
        font.setPixelSize(std::max(8, static_cast<int>(h * 0.05)));
        painter.setFont(font);
        painter.setPen(QColor(120, 120, 120));
        painter.drawText(stamp.adjusted(w * 0.05, 0, 0, -h * 0.05), Qt::AlignLeft | Qt::AlignBottom, label);
    }
    painter.end();
    Grain(image, rng);
    return Jpeg(image);
}

void AddDemoImages(Database& db, int stamps, qint64 bytesPerImage, quint64 seed,
                   const std::function<void(int)>& progress)
{
    std::vector<std::pair<qint64, QString>> chosen;
    {
        Statement list(db.SharedConnection(),
                       QStringLiteral("SELECT StampID, catnum FROM Stamp ORDER BY StampID LIMIT ?1"));
        sqlite3_bind_int(list.Handle(), 1, stamps);
        while (list.Step())
            chosen.emplace_back(
                sqlite3_column_int64(list.Handle(), 0),
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list.Handle(), 1))));
    }
    // How many bytes a pixel of such a scan takes, from one trial.
    const QSize trial(400, 480);
    const double perPixel = static_cast<double>(DemoScan(seed, trial, false, QStringLiteral("0")).size()) /
                            (trial.width() * trial.height());
    const double pixels = std::max(1.0, static_cast<double>(bytesPerImage) / perPixel);
    const int width = std::max(16, static_cast<int>(std::sqrt(pixels * 5.0 / 6.0)));
    const QSize size(width, width * 6 / 5);

    ImageStore store(db);
    std::unique_ptr<Transaction> batch;
    int done = 0;
    for (const auto& [stampId, catnum] : chosen) {
        if (!batch) batch = std::make_unique<Transaction>(db);
        const QString label = catnum.isEmpty() ? QString::number(stampId) : catnum;
        std::vector<ImageEntry> entries;
        for (bool back : {false, true}) {
            const Intake intake =
                PrepareBytes(DemoScan(seed * 1000003u + static_cast<quint64>(stampId) * 2 + back, size, back, label));
            if (!intake.picture) continue;
            ImageEntry entry;
            entry.picture = intake.picture;
            entry.kind = back ? kBackKind : kFrontKind;
            entries.push_back(std::move(entry));
        }
        store.AppendStampImages(stampId, entries);
        if (++done % 100 == 0) {
            batch->Commit();
            batch.reset();
        }
        if (progress) progress(done);
    }
    if (batch) batch->Commit();
}
