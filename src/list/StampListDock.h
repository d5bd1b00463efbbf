#pragma once

// The stamp list, docked in the main window: every stamp of the main window's
// query (list/StampQuery.h) in its order, a quick filter above it, a click on a
// heading to sort by that column, and changes or deletions of the selected
// stamps. The list and the editor stay on the same stamp.

#include <QDockWidget>
#include <QTimer>
#include <QVariant>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class StampListModel;

class StampListDock : public QDockWidget {
    Q_OBJECT
public:
    explicit StampListDock(QWidget* parent = nullptr);

    // Start-up: no filter, no country, the description order.
    void Reset();
    // After the editor has shown a stamp (shown) or emptied its fields: the list
    // takes the stamps anew if they changed, and selects the editor's row.
    void FollowEditor(bool shown);
    // While the editor edits or adds, the list keeps its row and its query: a
    // selection, a filter or a sort would lose the edit.
    void SetEditing(bool editing);
    // The heading shows the order in force (after the Sort menu changed it).
    void ShowOrder();
    // Puts the focus in the filter box.
    void FocusFilter();
    // The rows shown are read again (their stamps or codes were changed).
    void RefreshRows();

    // The selected stamps' keys, in the list's order.
    std::vector<qint64> SelectedKeys() const;
    bool HasSelection() const;

    StampListModel* Model() const { return mModel; }
    QTableView* View() const { return lstStamps; }

public Q_SLOTS:
    // Only the stamps of one country (a null key: those without one): the list
    // opens showing them, with every filter word cleared.
    void ShowCountry(const QVariant& couId);
    // The Change Selected Stamps window for the selected stamps.
    void ChangeSelected();
    // Deletes the selected stamps, after one question.
    void DeleteSelected();
    void cmdClear_Click();

Q_SIGNALS:
    // The collector chose the row at a position.
    void StampChosen(int position);
    // The query or the stamps changed: the main window opens its stamps anew,
    // staying on its stamp, or else going to the stamp at fallback.
    void QueryChanged(int fallback);
    // The one stamp selected is the editor's: the editor's own Delete.
    void DeleteCurrent();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void txtFilter_Change();
    void ApplyFilter();
    void Heading_Click(int column);
    void Heading_Menu(const QPoint& at);
    void Rows_Menu(const QPoint& at);
    void CurrentRow_Change(int row);
    void ShowState();
    bool Refuse();

    QLineEdit* txtFilter = nullptr;
    QPushButton* cmdClear = nullptr;
    QLabel* lblCountry = nullptr;
    QLabel* lblNoMatch = nullptr;
    QLabel* lblCount = nullptr;
    QTableView* lstStamps = nullptr;
    StampListModel* mModel = nullptr;
    QTimer mPause;
    std::optional<QVariant> mCountryShown;
    bool mEditing = false;
    bool mFollowing = false;
};
