#pragma once

#include <QStringView>

#include <vector>

// The columns of collector text that have stored keys beside them (see
// db/TextKeys.h), table by table. A new text column that the program matches
// or orders is added here, and a catalogue version step adds its keys.
struct TextColumn {
    const char* table;
    const char* column;
};

const std::vector<TextColumn>& TextColumns();

// True when name (any case) is one of those columns.
bool IsTextColumn(QStringView name);

// The stamp texts the quick filter of the stamp list looks in. Their folded
// forms, joined by line feeds, are kept in Stamp.find_text (a text key like the
// others, see db/TextKeys.h), so that one pass over one index answers a filter.
const std::vector<const char*>& FindTextColumns();
