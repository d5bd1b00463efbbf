#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// The columns of collector text that have stored keys beside them (see
// db/TextKeys.h), table by table. A new text column that the program matches
// or orders is added here, and a catalogue version step adds its keys.
struct TextColumn {
    const char* table;
    const char* column;
    bool folded;  // has <column>_fold, for matching
    bool sorted;  // has <column>_sort, for ordering
    // Another column whose key orders this one (the catalogue number is ordered
    // by its padded sort key), or null.
    const char* orderedBy = nullptr;
};

const std::vector<TextColumn>& TextColumns();

// A column that a query makes for one catalogue of the list of catalogues (the
// stamps' numbers in that catalogue, as a custom report shows them): "CatNo"
// followed by the catalogue's key, "CatNo12". The query gives it its keys
// beside it under the same name, CatNo12_fold and CatNo12_sort.
inline constexpr QStringView kCatalogueNumberColumn = u"CatNo";
bool IsCatalogueNumberColumn(QStringView column);

// For a column name (any case): the folded column that matches it, and the key
// column that orders it; empty when it has none.
QString FoldColumnOf(QStringView column);
QString SortColumnOf(QStringView column);

// The stamp texts the quick filter of the stamp list looks in. Their folded
// forms, joined by line feeds and followed by the stamp's numbers in other
// catalogues, are kept in Stamp.find_text (a text key like the others, see
// db/TextKeys.h), so that one pass over one index answers a filter.
const std::vector<const char*>& FindTextColumns();
