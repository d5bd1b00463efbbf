#include "reports/frmRptSel.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "db/Recordset.h"
#include "help/HelpContext.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

struct SelectionKind {
    int category;
    const char16_t* caption;
    const char16_t* all;
    const char16_t* selected;
    const char16_t* query;
    const char16_t* textField;
    const char16_t* idField;
    int helpContext;
};

// The first entry is the dialog as designed.
const SelectionKind kKinds[] = {
    {3, u"Country Report", u"All Countries", u"Selected Country", u"select * from country order by Coudesc", u"Coudesc",
     u"CouID", 60},
    {9, u"Type Report", u"All Types", u"Selected Type", u"select * from type order by Typedesc", u"Typedesc", u"typeID",
     62},
    {4, u"Format Report", u"All Formats", u"Selected Format", u"select * from format order by FormDesc", u"FormDesc",
     u"formID", 63},
    {8, u"Topics Report", u"All Topics", u"Selected Topic", u"select * from topic order by TopDesc", u"TopDesc",
     u"topID", 64},
};

}  // namespace

frmRptSel::frmRptSel(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRptSel"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    optAll = new QRadioButton(this);
    optAll->setObjectName(QStringLiteral("optAll"));
    optSelected = new QRadioButton(this);
    optSelected->setObjectName(QStringLiteral("optSelected"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(optAll);
    layout->addWidget(optSelected);
    layout->addWidget(List1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    setTabOrder(optAll, optSelected);
    setTabOrder(optSelected, List1);
    setTabOrder(List1, cmdOk);
    setTabOrder(cmdOk, cmdCancel);
    resize(300, 340);

    connect(optAll, &QRadioButton::clicked, this, &frmRptSel::optAll_Click);
    connect(optSelected, &QRadioButton::clicked, this, &frmRptSel::optSelected_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmRptSel::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRptSel::cmdCancel_Click);

    Form_Load();
}

void frmRptSel::Form_Load()
{
    gRptCancel = true;
    const SelectionKind* kind = &kKinds[0];
    for (const SelectionKind& k : kKinds)
        if (k.category == gRptCategory) kind = &k;

    setWindowTitle(QString::fromUtf16(kind->caption));
    optAll->setText(QString::fromUtf16(kind->all));
    optSelected->setText(QString::fromUtf16(kind->selected));
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(optAll), static_cast<QWidget*>(optSelected),
                       static_cast<QWidget*>(List1), static_cast<QWidget*>(cmdOk), static_cast<QWidget*>(cmdCancel)})
        SetHelpContext(w, kind->helpContext);

    Guard([&] {
        if (!gDb) throw DbError(ErrNo::NoObject, QStringLiteral("Object variable not set."));
        const auto rs = gDb->OpenSnapshot(QString::fromUtf16(kind->query));
        const QString textField = QString::fromUtf16(kind->textField);
        const QString idField = QString::fromUtf16(kind->idField);
        while (!rs->IsEmpty() && !rs->Eof()) {
            auto* item = new QListWidgetItem(TextOf(rs->Field(textField)));
            item->setData(Qt::UserRole, static_cast<qint32>(WholeOf(rs->Field(idField)).value_or(0)));
            List1->addItem(item);
            rs->MoveNext();
        }
        rs->Close();
    });

    optAll->setChecked(true);
    List1->setEnabled(false);
    optAll->setFocus();
}

void frmRptSel::optAll_Click()
{
    if (!optAll->isChecked()) return;
    List1->clearSelection();
    List1->setEnabled(false);
}

void frmRptSel::optSelected_Click()
{
    if (optSelected->isChecked()) List1->setEnabled(true);
}

void frmRptSel::cmdOk_Click()
{
    gRptCancel = false;
    if (optAll->isChecked()) {
        gRptSelID = -1;
    } else {
        const QList<QListWidgetItem*> chosen = List1->selectedItems();
        if (chosen.isEmpty()) {
            MsgBox(QStringLiteral("You must make a selection from the list!"));
            gRptCancel = true;
            return;
        }
        gRptSelID = chosen.first()->data(Qt::UserRole).toInt();
    }
    accept();
}

void frmRptSel::cmdCancel_Click()
{
    reject();
}
