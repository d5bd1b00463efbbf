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
