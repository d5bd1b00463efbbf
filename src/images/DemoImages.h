#pragma once

// Invented scans for demo and benchmark catalogues: a stamp on an album page,
// perforated, with its catalogue number on it, and its gummed back. Each
// picture is different, so that none is stored twice.

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>

class Database;

// A scan as a JPEG file: size in pixels; the front or the back.
QByteArray DemoScan(quint64 seed, QSize size, bool back, const QString& label);

// Gives each of the first `stamps` stamps (in StampID order) a front and a back
// scan of about bytesPerImage bytes each; progress (when given) is called after
// each stamp with the number done.
void AddDemoImages(Database& db, int stamps, qint64 bytesPerImage, quint64 seed,
                   const std::function<void(int)>& progress = {});
