#include "custom/FieldCatalogue.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/FieldValue.h"
#include "db/Recordset.h"
#include "numbers/Catalogues.h"

#include "db/TextColumns.h"

#include <algorithm>
#include <cmath>

std::optional<FieldCatalogue> FieldCatalogue::FromRows(std::vector<CatalogueField> rows)
{
    if (rows.empty() || rows.size() > 32767) return std::nullopt;
    FieldCatalogue catalogue;
    catalogue.mIndexOf.assign(rows.size() + 1, -1);
    for (size_t i = 0; i < rows.size(); ++i) {
        const CatalogueField& row = rows[i];
        if (row.specId < 1 || row.specId > static_cast<int>(rows.size())) return std::nullopt;
        int& slot = catalogue.mIndexOf[static_cast<size_t>(row.specId)];
        if (slot >= 0) return std::nullopt;
        slot = static_cast<int>(i);
        if (row.datatype < FieldType::Text || row.datatype > FieldType::Image) return std::nullopt;
        if (row.fieldname.trimmed().isEmpty() || row.filename.trimmed().isEmpty()) return std::nullopt;
        if (row.filename != kStampTable && row.linkfield.trimmed().isEmpty()) return std::nullopt;
        if (!std::isfinite(row.defwidth) || row.defwidth < 0) return std::nullopt;
    }
    catalogue.mRows = std::move(rows);
    return catalogue;
}

std::optional<FieldCatalogue> FieldCatalogue::Load(Database& db)
{
    std::vector<CatalogueField> rows;
    try {
        auto spec = db.OpenSnapshot(QStringLiteral("Select * from RptSpec order by [desc]"));
        if (!spec->IsEmpty()) spec->MoveFirst();
        while (!spec->Eof()) {
            CatalogueField row;
            const auto specId = WholeOf(spec->Field(QStringLiteral("SpecID")));
            const auto datatype = WholeOf(spec->Field(QStringLiteral("datatype")));
            if (!specId || !datatype || *specId < 1 || *specId > 32767) return std::nullopt;
            row.specId = static_cast<int>(*specId);
            row.datatype = static_cast<int>(std::clamp<qint64>(*datatype, 0, 6));
            row.desc = TextOf(spec->Field(QStringLiteral("Desc")));
            row.fieldname = TextOf(spec->Field(QStringLiteral("fieldname")));
            row.filename = TextOf(spec->Field(QStringLiteral("filename")));
            row.linkfield = TextOf(spec->Field(QStringLiteral("Linkfield")));
            const QVariant width = spec->Field(QStringLiteral("defwidth"));
            if (width.isNull()) {
                row.defwidth = 1;
            } else {
                const auto number = NumberOf(width);
                if (!number) return std::nullopt;
                row.defwidth = static_cast<float>(*number);
            }
            row.isCurrency = BoolOf(spec->Field(QStringLiteral("IsCurrency")));
            rows.push_back(std::move(row));
            spec->MoveNext();
        }
        spec->Close();
    } catch (const DbError& error) {
        // A closed database is not the catalogue's fault.
        if (error.Number() == ErrNo::ObjectInvalid || error.Number() == ErrNo::NoObject) throw;
        return std::nullopt;
    }
    // The fields of RptSpec must hold by themselves.
    if (!FromRows(rows)) return std::nullopt;
    CatalogueList catalogues;
    try {
        catalogues = LoadCatalogues(db);
    } catch (const DbError& error) {
        // Without a list of catalogues the report has the fields of RptSpec alone.
        if (error.Number() == ErrNo::ObjectInvalid || error.Number() == ErrNo::NoObject) throw;
    }
    AddCatalogueFields(rows, catalogues);
    return FromRows(std::move(rows));
}

CatalogueField CatalogueNumberField(const NumberCatalogue& catalogue, const QString& heading, int specId)
{
    CatalogueField field;
    field.specId = specId;
    field.desc = heading;
    const QString id = QString::number(catalogue.id);
    field.fieldname = kCatalogueNumberColumn.toString() + id;
    field.datatype = FieldType::Text;
    // The join's name is no part of another's, nor of any table's ("Cat1Numbers"
    // is not in "Cat12Numbers").
    field.filename = QStringLiteral("Cat") + id + QStringLiteral("Numbers");
    field.linkfield = QStringLiteral("StampID");
    // Each stamp once, with its first number in the catalogue, its folded text and
    // the key of its padded sort key under the column's own name, so that finding
    // and sorting go by them as they go for the stamp's Catalog Num.
    field.joinSql = QStringLiteral(
                        "(select StampID, CatNo as %1, CatNo_fold as %1_fold, CatNoSort_sort as %1_sort, "
                        "min(Position) as FirstPosition from StampNumber where CatalogID = %2 group by "
                        "StampID)")
                        .arg(field.fieldname, id);
    field.defwidth = 1;
    return field;
}

void AddCatalogueFields(std::vector<CatalogueField>& rows, const CatalogueList& catalogues)
{
    int specId = 0;
    for (const CatalogueField& row : rows) specId = std::max(specId, row.specId);
    const std::vector<QString> headings = CatalogueHeadings(catalogues);
    for (size_t i = 0; i < catalogues.size(); ++i) {
        CatalogueField field = CatalogueNumberField(catalogues[i], headings[i], ++specId);
        const auto at = std::upper_bound(rows.begin(), rows.end(), field, [](const auto& a, const auto& b) {
            return a.desc.compare(b.desc, Qt::CaseInsensitive) < 0;
        });
        rows.insert(at, std::move(field));
    }
}

const CatalogueField* FieldCatalogue::Find(int specId) const
{
    if (specId < 1 || specId >= static_cast<int>(mIndexOf.size())) return nullptr;
    const int index = mIndexOf[static_cast<size_t>(specId)];
    return index < 0 ? nullptr : &mRows[static_cast<size_t>(index)];
}
