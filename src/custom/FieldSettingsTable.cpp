#include "custom/FieldSettingsTable.h"

#include "custom/FieldCatalogue.h"

void FieldSettingsTable::Reset(const FieldCatalogue& catalogue)
{
    mEntries.assign(static_cast<size_t>(catalogue.Count()) + 1, FieldSettings());
    for (const CatalogueField& field : catalogue.Rows()) {
        FieldSettings& entry = mEntries[static_cast<size_t>(field.specId)];
        entry.mWidth = field.defwidth;
        entry.mIsCurrency = field.isCurrency;
    }
}

FieldSettings& FieldSettingsTable::operator[](int specId)
{
    if (specId < 1 || specId >= static_cast<int>(mEntries.size())) {
        mNowhere = FieldSettings();
        return mNowhere;
    }
    return mEntries[static_cast<size_t>(specId)];
}

const FieldSettings& FieldSettingsTable::operator[](int specId) const
{
    static const FieldSettings kDefaults;
    if (specId < 1 || specId >= static_cast<int>(mEntries.size())) return kDefaults;
    return mEntries[static_cast<size_t>(specId)];
}
