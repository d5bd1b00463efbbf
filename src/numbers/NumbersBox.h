#pragma once

// The main window's box of a stamp's numbers in other catalogues (Scott,
// Stanley Gibbons, Michel ...), on its "General" tab: a small table of the
// numbers, and below it the catalogue, number, catalogue value and note of the
// chosen one.
//
// Changes stay in the box until the main window's Update writes them with the
// record (Save), in the same transaction; its Cancel or a move drops them
// (ShowStamp, Clear). Every change asks the main window to start an edit
// (Changed). A number typed for the collector's own catalogue is handed to the
// main window's "Catalog Num" (OwnNumberTyped).

#include "numbers/Catalogues.h"
#include "numbers/StampNumbers.h"

#include <QGroupBox>

#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

class NumbersBox : public QGroupBox {
    Q_OBJECT
public:
    explicit NumbersBox(QWidget* parent = nullptr);
    ~NumbersBox() override;

    // Reads the list of catalogues again (it was changed in its window).
    void LoadCatalogues();
    // Shows a stored stamp's numbers; pending changes are dropped.
    void ShowStamp(qint64 stampId);
    // A stamp without numbers (a new one, or none at all); pending changes are dropped.
    void Clear();
    // Forgets the catalogue (it is being closed).
    void Release();
    bool HasChanges() const { return mChanged; }
    // Checks the numbers before they are saved: a row without a number, a value
    // that is no amount, a number given twice in one catalogue. Shows the message,
    // chooses the row and puts the focus in its box; false when refused.
    bool Validate();
    // The same check without a message.
    bool IsValid() const;
    // Writes the numbers as the box holds them to the stamp (Update); DbError on
    // failure. Nothing is written when nothing changed.
    void Save(qint64 stampId);

    // The same as the buttons and boxes, for the window and its tests.
    void AddNumber();
    void RemoveSelected();
    int Count() const { return static_cast<int>(mNumbers.size()); }
    int Selected() const;
    void Select(int index);
    const std::vector<StampNumber>& Numbers() const { return mNumbers; }
    // "Michel 840", one a row, in order.
    QStringList Listing() const;

Q_SIGNALS:
    // The collector changed the numbers: the record is being edited.
    void Changed();
    // The number of the collector's own catalogue was typed or chosen.
    void OwnNumberTyped(const QString& number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refill(int select);
    // Each number's value as the box shows it, from the values read.
    void ShowValues();
    void ShowDetails();
    void RefreshRow(int index);
    void Touch();
    void TellOwnNumber(int index);
    QString CatalogueName(qint64 id) const;
    bool ValueLeft();
    qint64 CatalogueForNew() const;

    QTableWidget* grdNumbers = nullptr;
    QPushButton* cmdAddNumber = nullptr;
    QPushButton* cmdRemoveNumber = nullptr;
    QComboBox* cmbNumCatalog = nullptr;
    QLineEdit* txtNumber = nullptr;
    QLineEdit* txtNumValue = nullptr;
    QLineEdit* txtNumNote = nullptr;

    CatalogueList mCatalogues;
    StampNumberQuery mQuery;
    std::vector<StampNumber> mNumbers;
    std::vector<QString> mValueTexts;  // each row's value as typed, until it is checked
    qint64 mStampId = 0;
    bool mChanged = false;
    bool mFilling = false;
    bool mChecking = false;
};
