#include "codes/frmCodesMaint.h"

#include "codes/CodeTables.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "db/Recordset.h"
#include "db/SqlDialect.h"
#include "db/Transaction.h"
#include "help/HelpContext.h"
#include "history/ChangeCapture.h"
#include "history/History.h"
#include "numbers/Catalogues.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

frmCodesMaint* sInstance = nullptr;

Database& Db()
{
    if (!gDb) throw DbError(ErrNo::NoObject, QStringLiteral("Object variable or With block variable not set."));
    return *gDb;
}

// The description box's own changes while the window fills it do not start an edit.
// One change of the table, noted from its start to Done and put on the history.
class CodeChange {
public:
    explicit CodeChange(ChangeKind kind)
    {
        Guard([&] { mRecording = std::make_unique<ChangeRecording>(Db(), kind); });
    }
    void Done()
    {
        if (!mRecording) return;
        Guard([&] {
            Change change = mRecording->Finish();
            mRecording.reset();
            TheHistory().Push(std::move(change));
        });
        mRecording.reset();
    }

private:
    std::unique_ptr<ChangeRecording> mRecording;
};

class EditingScope {
public:
    explicit EditingScope(bool& flag) : mFlag(flag) { mFlag = true; }
    ~EditingScope() { mFlag = false; }
    EditingScope(const EditingScope&) = delete;
    EditingScope& operator=(const EditingScope&) = delete;

private:
    bool& mFlag;
};

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    // The button rows keep their places when the edit set hides some of them.
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    policy.setHorizontalPolicy(QSizePolicy::Expanding);
    button->setSizePolicy(policy);
    return button;
}

}  // namespace

frmCodesMaint::frmCodesMaint(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCodesMaint"));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);

    lblDesc = new QLabel(this);
    lblDesc->setObjectName(QStringLiteral("lblDesc"));
    txtDesc = new QLineEdit(this);
    txtDesc->setObjectName(QStringLiteral("txtDesc"));
    txtDesc->setMaxLength(50);
    lblDesc->setBuddy(txtDesc);
    lblPrefix = new QLabel(QStringLiteral("P&refix shown before its numbers"), this);
    lblPrefix->setObjectName(QStringLiteral("lblPrefix"));
    txtPrefix = new QLineEdit(this);
    txtPrefix->setObjectName(QStringLiteral("txtPrefix"));
    txtPrefix->setMaxLength(kCataloguePrefixLength);
    lblPrefix->setBuddy(txtPrefix);
    chkOwn = new QCheckBox(QStringLiteral("U&se as Catalog Num"), this);
    chkOwn->setObjectName(QStringLiteral("chkOwn"));
    chkOwn->setToolTip(QStringLiteral("A stamp's number in this catalogue also fills its Catalog Num"));

    cmdFirst = MakeButton(this, "cmdFirst", QStringLiteral("&First"));
    cmdPrevious = MakeButton(this, "cmdPrevious", QStringLiteral("&Previous"));
    cmdNext = MakeButton(this, "cmdNext", QStringLiteral("&Next"));
    cmdLast = MakeButton(this, "cmdLast", QStringLiteral("&Last"));
    cmdAddNew = MakeButton(this, "cmdAddNew", QStringLiteral("&Add New"));
    cmdDelete = MakeButton(this, "cmdDelete", QStringLiteral("&Delete"));
    cmdFind = MakeButton(this, "cmdFind", QStringLiteral("&Find"));
    cmdOk = MakeButton(this, "cmdOk", QStringLiteral("&Ok"));
    cmdCancel = MakeButton(this, "cmdCancel", QStringLiteral("&Cancel"));
    cmdUpdate = MakeButton(this, "cmdUpdate", QStringLiteral("&Update"));

    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdFirst, 0, 0);
    buttons->addWidget(cmdPrevious, 0, 1);
    buttons->addWidget(cmdNext, 0, 2);
    buttons->addWidget(cmdLast, 0, 3);
    buttons->addWidget(cmdAddNew, 1, 0);
    // Cancel and Update take the places of Delete and Find while editing.
    buttons->addWidget(cmdDelete, 1, 1);
    buttons->addWidget(cmdCancel, 1, 1);
    buttons->addWidget(cmdFind, 1, 2);
    buttons->addWidget(cmdUpdate, 1, 2);
    buttons->addWidget(cmdOk, 1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDesc);
    layout->addWidget(txtDesc);
    layout->addWidget(lblPrefix);
    layout->addWidget(txtPrefix);
    layout->addWidget(chkOwn);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(txtDesc, txtPrefix);
    setTabOrder(txtPrefix, chkOwn);
    setTabOrder(chkOwn, cmdFirst);
    setTabOrder(cmdFirst, cmdPrevious);
    setTabOrder(cmdPrevious, cmdNext);
    setTabOrder(cmdNext, cmdLast);
    setTabOrder(cmdLast, cmdAddNew);
    setTabOrder(cmdAddNew, cmdDelete);
    setTabOrder(cmdDelete, cmdFind);
    setTabOrder(cmdFind, cmdOk);
    setTabOrder(cmdOk, cmdCancel);
    setTabOrder(cmdCancel, cmdUpdate);

    connect(cmdFirst, &QPushButton::clicked, this, &frmCodesMaint::cmdFirst_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmCodesMaint::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmCodesMaint::cmdNext_Click);
    connect(cmdLast, &QPushButton::clicked, this, &frmCodesMaint::cmdLast_Click);
    connect(cmdAddNew, &QPushButton::clicked, this, &frmCodesMaint::cmdAddNew_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmCodesMaint::cmdDelete_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmCodesMaint::cmdFind_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmCodesMaint::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCodesMaint::cmdCancel_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmCodesMaint::cmdUpdate_Click);
    connect(txtDesc, &QLineEdit::textChanged, this, &frmCodesMaint::txtDesc_Change);
    connect(txtPrefix, &QLineEdit::textChanged, this, &frmCodesMaint::txtPrefix_Change);
    connect(chkOwn, &QCheckBox::toggled, this, &frmCodesMaint::chkOwn_Click);

    sInstance = this;
    Form_Load(gCodeTable);
    resize(sizeHint().expandedTo(QSize(460, 150)));
}

frmCodesMaint::~frmCodesMaint()
{
    if (sInstance == this) sInstance = nullptr;
}

frmCodesMaint* frmCodesMaint::Instance()
{
    return sInstance;
}

void frmCodesMaint::Reload(int table)
{
    CloseRecordset();
    Form_Load(table);
}

bool frmCodesMaint::AskToFinishTheChange()
{
    if (!IsEditing()) return false;
    MsgBox(QStringLiteral("Please finish or cancel the change in the \"%1\" window first.").arg(windowTitle()));
    raise();
    activateWindow();
    return true;
}

void frmCodesMaint::Form_Load(int table)
{
    const CodeTableInfo& info = CodeTableInfoFor(table);
    mTable = info.number;
    setWindowTitle(info.windowCaption);
    lblDesc->setText(info.label);
    strDescField = info.descField;
    strIDField = info.keyField;
    SetHelpContext(this, info.helpContext);
    SetHelpContext(txtDesc, info.helpContext);
    SetHelpContext(txtPrefix, info.helpContext);
    SetHelpContext(chkOwn, info.helpContext);
    // The nine code tables have the description alone.
    lblPrefix->setVisible(IsCatalogueList());
    txtPrefix->setVisible(IsCatalogueList());
    chkOwn->setVisible(IsCatalogueList());
    txtDesc->setMaxLength(IsCatalogueList() ? kCatalogueNameLength : 50);
    for (QPushButton* button :
         {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdAddNew, cmdDelete, cmdFind, cmdOk, cmdCancel, cmdUpdate})
        SetHelpContext(button, info.helpContext);

    // Edits do not lock the row until they are written: the recordset's updates
    // lock only while they run.
    if (IsMaintainedList(table)) Guard([&] { rsCodes = Db().OpenDynaset(info.loadQuery); });

    bool shown = false;
    if (HasRows()) shown = Guard([&] { rsCodes->MoveFirst(); });
    if (shown) {
        EnableFields();
        ShowRecord();
    } else {
        ClearFields();
        DisableFields();
    }
    ReturnToBrowse();
}

void frmCodesMaint::ReturnToBrowse()
{
    BrowseMode();
    cmdAddNew->setText(QStringLiteral("&Add New"));
    MakeDefault(cmdOk);
    mEditing = false;
    mAdding = false;
}

bool frmCodesMaint::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) Form_Activate();
    return QDialog::event(e);
}

void frmCodesMaint::Form_Activate()
{
    if (IsMaintainedList(mTable)) CodeChangedFlag(mTable) = true;
}

// --- procedures ------------------------------------------------------------

bool frmCodesMaint::HasRows() const
{
    return rsCodes && rsCodes->RecordCount() > 0;
}

bool frmCodesMaint::IsCatalogueList() const
{
    return mTable == kCatalogueList;
}

void frmCodesMaint::ShowRecord()
{
    EditingScope filling(mEditing);
    QString text;
    QString prefix;
    bool own = false;
    if (rsCodes)
        Guard([&] {
            text = TextOf(rsCodes->Field(strDescField));
            if (IsCatalogueList()) {
                prefix = TextOf(rsCodes->Field(QStringLiteral("Prefix")));
                own = BoolOf(rsCodes->Field(QStringLiteral("OwnNumber")));
            }
        });
    txtDesc->setText(text);
    txtPrefix->setText(prefix);
    chkOwn->setChecked(own);
}

void frmCodesMaint::ClearFields()
{
    EditingScope filling(mEditing);
    txtDesc->clear();
    txtPrefix->clear();
    chkOwn->setChecked(false);
}

void frmCodesMaint::DisableFields()
{
    txtDesc->setEnabled(false);
    txtPrefix->setEnabled(false);
    chkOwn->setEnabled(false);
}

void frmCodesMaint::EnableFields()
{
    txtDesc->setEnabled(true);
    txtPrefix->setEnabled(true);
    chkOwn->setEnabled(true);
}

void frmCodesMaint::EditMode()
{
    for (QPushButton* button : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdOk, cmdFind, cmdDelete}) button->hide();
    cmdCancel->show();
    cmdUpdate->show();
}

void frmCodesMaint::BrowseMode()
{
    cmdCancel->hide();
    cmdUpdate->hide();
    for (QPushButton* button : {cmdFirst, cmdPrevious, cmdNext, cmdLast, cmdAddNew, cmdDelete, cmdFind, cmdOk})
        button->show();
}

void frmCodesMaint::BeginEdit()
{
    if (mEditing || mAdding) return;
    mEditing = true;
    EditMode();
    cmdAddNew->hide();
}

bool frmCodesMaint::ValidateRecord()
{
    // A description of blanks alone would be an entry nobody can see in a list.
    if (txtDesc->text().trimmed().isEmpty()) {
        MsgBox(CodeTexts::kMissingDescription, MsgButtons::Ok, CodeTexts::kMissingTitle);
        txtDesc->setFocus();
        return false;
    }
    // A catalogue names a column of files and reports: two of one name could not
    // be told apart there.
    if (IsCatalogueList() && rsCodes) {
        qint64 key = 0;
        if (!mAdding) Guard([&] { key = WholeOf(rsCodes->Field(strIDField)).value_or(0); });
        if (CatalogueNameTaken(key)) {
            MsgBox(QStringLiteral("There is already a catalogue named %1.").arg(txtDesc->text().trimmed()),
                   MsgButtons::Ok, QStringLiteral("Duplicate Catalogue"));
            txtDesc->setFocus();
            return false;
        }
    }
    return true;
}

bool frmCodesMaint::CatalogueNameTaken(qint64 key)
{
    bool taken = false;
    Guard([&] {
        auto others = Db().OpenSnapshot(QStringLiteral("Select CatalogID from Catalog where CatalogDesc = '") +
                                        SqlQuote(txtDesc->text().trimmed()) + QStringLiteral("' and CatalogID <> ") +
                                        QString::number(key));
        taken = !others->IsEmpty();
        others->Close();
    });
    return taken;
}

void frmCodesMaint::SaveRecord()
{
    if (!rsCodes) return;
    const QString text = txtDesc->text();
    qint64 key = 0;
    const bool own = IsCatalogueList() && chkOwn->isChecked();
    Guard([&] {
        rsCodes->SetField(strDescField, text);
        if (IsCatalogueList()) {
            rsCodes->SetField(QStringLiteral("Prefix"), txtPrefix->text().trimmed());
            rsCodes->SetField(QStringLiteral("OwnNumber"), own ? 1 : 0);
            key = WholeOf(rsCodes->Field(strIDField)).value_or(0);
        }
    });
    RetryWrite([&] {
        // One catalogue is the collector's own: marking another lets the last one go.
        Transaction together(Db());
        rsCodes->Update();
        if (own)
            Db().Execute(QStringLiteral("UPDATE Catalog SET OwnNumber = 0 WHERE OwnNumber <> 0 AND CatalogID <> ") +
                         QString::number(key));
        together.Commit();
    });
    Guard([] { Db().Idle(); });
}

void frmCodesMaint::MakeDefault(QPushButton* button)
{
    button->setDefault(true);
}

void frmCodesMaint::CloseRecordset()
{
    if (!rsCodes) return;
    rsCodes->Close();
    rsCodes.reset();
}

// --- event handlers --------------------------------------------------------

void frmCodesMaint::txtDesc_Change()
{
    BeginEdit();
}

void frmCodesMaint::txtPrefix_Change()
{
    BeginEdit();
}

void frmCodesMaint::chkOwn_Click()
{
    BeginEdit();
}

void frmCodesMaint::cmdFirst_Click()
{
    if (!HasRows()) return;
    if (Guard([&] { rsCodes->MoveFirst(); })) ShowRecord();
}

void frmCodesMaint::cmdLast_Click()
{
    if (!HasRows()) return;
    if (Guard([&] { rsCodes->MoveLast(); })) ShowRecord();
}

void frmCodesMaint::cmdNext_Click()
{
    if (!HasRows()) return;
    const bool moved = Guard([&] { StepWithBeep(*rsCodes, true); });
    if (moved) ShowRecord();
}

void frmCodesMaint::cmdPrevious_Click()
{
    if (!HasRows()) return;
    const bool moved = Guard([&] { StepWithBeep(*rsCodes, false); });
    if (moved) ShowRecord();
}

void frmCodesMaint::cmdAddNew_Click()
{
    if (!mAdding) {
        mAdding = true;
        if (!HasRows())
            EnableFields();
        else
            Guard([&] { rsCodes->MoveLast(); });
        ClearFields();
        EditMode();
        cmdAddNew->setText(QStringLiteral("&Add Another"));
        MakeDefault(cmdAddNew);
        txtDesc->setFocus();
        return;
    }
    // Add Another: this entry is saved and the window stays ready for the next.
    if (!ValidateRecord()) return;
    if (!rsCodes) return;
    CodeChange added(ChangeKind::CodeAdd);
    Guard([&] { rsCodes->AddNew(); });
    SaveRecord();
    added.Done();
    ClearFields();
    txtDesc->setFocus();
}

void frmCodesMaint::cmdUpdate_Click()
{
    if (!ValidateRecord()) return;
    if (rsCodes) {
        qint32 key = 0;
        CodeChange saved(mAdding ? ChangeKind::CodeAdd : ChangeKind::CodeRename);
        if (mAdding) {
            Guard([&] {
                rsCodes->AddNew();
                key = static_cast<qint32>(WholeOf(rsCodes->Field(strIDField)).value_or(0));
            });
            SaveRecord();
            cmdAddNew->setText(QStringLiteral("&Add New"));
        } else {
            Guard([&] {
                rsCodes->Edit();
                key = static_cast<qint32>(WholeOf(rsCodes->Field(strIDField)).value_or(0));
            });
            SaveRecord();
        }
        saved.Done();
        Guard([&] {
            rsCodes->FindFirst(strIDField + QStringLiteral(" = ") + QString::number(key));
            if (rsCodes->NoMatch()) rsCodes->MoveFirst();
        });
        ShowRecord();
    }
    BrowseMode();
    mEditing = false;
    mAdding = false;
}

void frmCodesMaint::cmdCancel_Click()
{
    if (HasRows()) {
        if (Guard([&] { rsCodes->MoveLast(); })) ShowRecord();
    } else {
        ClearFields();
        DisableFields();
    }
    ReturnToBrowse();
}

void frmCodesMaint::cmdDelete_Click()
{
    if (!HasRows()) return;
    const CodeTableInfo& info = CodeTableInfoFor(mTable);
    if (MsgBox(info.deleteQuestion, MsgButtons::YesNo, info.deleteTitle) != MsgAnswer::Yes) return;

    // An entry is deleted only when the check has shown that no stamp uses it.
    bool inUse = true;
    const bool checked = Guard([&] {
        const auto key = WholeOf(rsCodes->Field(strIDField)).value_or(0);
        auto stamps = Db().OpenSnapshot(info.inUseQuery + QString::number(key));
        inUse = !stamps->IsEmpty();
        stamps->Close();
    });
    if (!checked) return;
    if (inUse) {
        MsgBox(info.inUseMessage, MsgButtons::Ok, CodeTexts::kInUseTitle);
        return;
    }
    CodeChange deleted(ChangeKind::CodeDelete);
    RetryWrite([&] { rsCodes->Delete(); });
    deleted.Done();
    Guard([] { Db().Idle(); });

    if (!HasRows()) {
        ClearFields();
        DisableFields();
        return;
    }
    const bool moved = Guard([&] {
        rsCodes->MoveNext();
        if (rsCodes->Eof()) rsCodes->MovePrevious();
    });
    if (moved) ShowRecord();
}

void frmCodesMaint::cmdFind_Click()
{
    const CodeTableInfo& info = CodeTableInfoFor(mTable);
    const QString answer = prompts().Input(info.FindPrompt(), CodeTexts::kFindTitle, QString());
    if (!rsCodes) return;
    // The answer is quoted, so an apostrophe is found as typed; * and ? stay the
    // wildcards of like, while % and _ are taken as plain characters.
    bool found = false;
    const bool searched = Guard([&] {
        rsCodes->FindFirst(strDescField + QStringLiteral(" like '") + SqlQuote(LikeText(answer)) +
                           QStringLiteral("*'"));
        found = !rsCodes->NoMatch();
    });
    if (!searched) return;
    if (!found) {
        MsgBox(CodeTexts::kNotFound, MsgButtons::Ok, CodeTexts::kNotFoundTitle);
        return;
    }
    ShowRecord();
}

void frmCodesMaint::cmdOk_Click()
{
    close();
}

void frmCodesMaint::reject()
{
    // Escape cancels an edit under way, and otherwise closes the window like Ok.
    if (IsEditing())
        cmdCancel_Click();
    else
        cmdOk_Click();
}

void frmCodesMaint::closeEvent(QCloseEvent* e)
{
    if (gDb && gDb->IsOpen()) Guard([] { gDb->Idle(); });
    CloseRecordset();
    if (sInstance == this) sInstance = nullptr;
    e->accept();
}

// --- opening ---------------------------------------------------------------

void OpenCodesMaint(int table)
{
    if (!IsMaintainedList(table)) return;
    frmCodesMaint* window = frmCodesMaint::Instance();
    // Another table would drop the change under way: it is finished first.
    if (window && window->Table() != table && window->AskToFinishTheChange()) return;
    gCodeTable = table;
    if (!window) {
        window = new frmCodesMaint;
        window->setAttribute(Qt::WA_DeleteOnClose);
    } else if (window->Table() != table) {
        window->Reload(table);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
