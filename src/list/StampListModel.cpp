#include "list/StampListModel.h"

#include "dates/LocaleFormats.h"
#include "db/DbError.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "list/StampColumns.h"

StampListModel::StampListModel(QObject* parent) : QAbstractTableModel(parent) {}

int StampListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : mCount;
}

int StampListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kStampColumnCount;
}

bool StampListModel::Current() const
{
    return gStampRs && gStampRs->KeysetVersion() == mVersion;
}

bool StampListModel::Sync()
{
    const quint64 version = gStampRs ? gStampRs->KeysetVersion() : 0;
    if (version == mVersion && (gStampRs ? gStampRs->RecordCount() : 0) == mCount) return false;
    beginResetModel();
    mVersion = version;
    mCount = gStampRs ? gStampRs->RecordCount() : 0;
    mRows.Clear();
    endResetModel();
    return true;
}

void StampListModel::Refresh()
{
    mRows.Clear();
    if (mCount > 0) Q_EMIT dataChanged(index(0, 0), index(mCount - 1, kStampColumnCount - 1));
}

qint64 StampListModel::KeyAt(int row) const
{
    if (!Current() || row < 0 || row >= mCount) return -1;
    return gStampRs->KeyAt(row);
}

QVariant StampListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return QVariant();
    const StampColumnInfo& column = StampColumnAt(index.column());
    using K = StampColumnInfo::Kind;
    if (role == Qt::TextAlignmentRole) {
        if (column.kind == K::Flag || column.kind == K::Picture) return QVariant(Qt::AlignCenter);
        if (column.kind != K::Text) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::CheckStateRole && role != Qt::ToolTipRole && role != Qt::DecorationRole)
        return QVariant();
    if (column.kind == K::Flag ? role != Qt::CheckStateRole : role == Qt::CheckStateRole) return QVariant();
    if ((column.kind == K::Picture) != (role == Qt::DecorationRole)) return QVariant();
    const qint64 key = KeyAt(index.row());
    if (key < 0) return QVariant();
    // A row is read while the list is drawn: a catalogue that cannot be read
    // shows nothing here and says so at the next command that reads it.
    const StampListRow* row = nullptr;
    try {
        row = &mRows.Row(key);
    } catch (const DbError&) {
        return QVariant();
    }
    if (!row->found) return QVariant();
    const auto money = [](const std::optional<Money>& value) { return value ? FormatCurrency(*value) : QString(); };
    const auto flag = [](bool on) { return QVariant(on ? Qt::Checked : Qt::Unchecked); };
    switch (column.column) {
        case StampColumn::Description:
            return row->descr;
        case StampColumn::CatalogNum:
            return row->catnum;
        case StampColumn::Country:
            return row->country;
        case StampColumn::Year:
            return TextOf(row->year);
        case StampColumn::FaceValue:
            return money(row->face);
        case StampColumn::Condition:
            return row->condition;
        case StampColumn::Quantity:
            return TextOf(row->quantity);
        case StampColumn::CatalogValue:
            return money(row->catValue);
        case StampColumn::PricePaid:
            return money(row->pricePaid);
        case StampColumn::Used:
            return flag(row->used);
        case StampColumn::WantList:
            return flag(row->wantList);
        case StampColumn::ForSale:
            return flag(row->forSale);
        case StampColumn::Sold:
            return flag(row->sold);
        case StampColumn::Picture:
            return row->picture.isNull() ? QVariant() : QVariant(row->picture);
    }
    return QVariant();
}

QVariant StampListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kStampColumnCount) return QVariant();
    if (role == Qt::DisplayRole) return StampColumnAt(section).caption;
    return QVariant();
}

Qt::ItemFlags StampListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
