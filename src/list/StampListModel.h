#pragma once

// The stamp list's rows: the keys of the main window's stamps (gStampRs) in
// their order, each row read by its key only when the list shows it.

#include "list/StampListRows.h"

#include <QAbstractTableModel>

class StampListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StampListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Takes the keys of gStampRs anew when they have changed since; true when
    // the rows were reset.
    bool Sync();
    // Reads the rows shown again (their stamps or codes changed, not their keys).
    void Refresh();
    // The record key of a row, or -1 when the rows are out of date.
    qint64 KeyAt(int row) const;
    // How many rows are kept read (a small cache, never the whole list).
    size_t RowsKept() const { return mRows.Kept(); }

private:
    bool Current() const;

    int mCount = 0;
    quint64 mVersion = 0;
    mutable StampListRows mRows;
};
