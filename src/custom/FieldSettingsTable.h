#pragma once

// What the collector decides for each catalogue field of one custom report. Held
// in memory only, while the custom report window is loaded.

#include <QDate>
#include <QString>

#include <vector>

class FieldCatalogue;

struct FieldSettings {
    float mWidth = 1;       // column width in the unit chosen when the report is made
    bool mHide = false;     // selects and sorts only; no column
    bool mTotal = false;    // a total under the report (number fields)
    QString mStarting;      // "Starts with:" text, as typed
    QString mGreater;       // "Greater Than", numeric text as typed, or empty
    QString mLess;          // "Less Than", numeric text as typed, or empty
    QDate mStartDate;       // invalid: no lower bound
    QDate mEndDate;         // invalid: no upper bound
    bool mOptTrue = false;  // yes/no criterion; both false means none
    bool mOptFalse = false;
    bool mIsCurrency = false;
};

// One entry per SpecID, 1 to the catalogue's row count.
class FieldSettingsTable {
public:
    // Every field back to the catalogue's defaults.
    void Reset(const FieldCatalogue& catalogue);

    // The settings of a SpecID; a SpecID outside the table reads as defaults and
    // writes nowhere.
    FieldSettings& operator[](int specId);
    const FieldSettings& operator[](int specId) const;
    int Count() const { return static_cast<int>(mEntries.size()) - 1; }

private:
    std::vector<FieldSettings> mEntries = std::vector<FieldSettings>(1);  // index 0 unused
    FieldSettings mNowhere;
};
