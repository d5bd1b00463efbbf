#include "images/AttachByName.h"

#include "images/ImageStore.h"
#include "search/Folding.h"

#include <QFileInfo>

void CatalogueNumberIndex::Add(qint64 stampId, const QString& catalogueNumber)
{
    const QString folded = FoldText(catalogueNumber.trimmed());
    if (folded.isEmpty()) return;
    Entry& entry = mByFolded[folded];
    if (entry.number.isEmpty()) entry.number = catalogueNumber.trimmed();
    if (!entry.stamps.contains(stampId)) entry.stamps.append(stampId);
}

NameMatch CatalogueNumberIndex::Match(const QString& fileName) const
{
    NameMatch match;
    match.fileName = fileName;
    match.kind = kFrontKind;
    const QString base = QFileInfo(fileName).completeBaseName();
    const QString folded = FoldText(base);
    // Every place where a number could end, longest first.
    for (qsizetype end = folded.size(); end > 0; --end) {
        if (end < folded.size() && folded.at(end).isLetterOrNumber()) continue;
        const auto found = mByFolded.find(folded.left(end).trimmed());
        if (found == mByFolded.end()) continue;
        match.stamps = found->second.stamps;
        match.catalogueNumber = found->second.number;
        if (folded.mid(end).contains(QStringLiteral("back"))) match.kind = kBackKind;
        break;
    }
    return match;
}
