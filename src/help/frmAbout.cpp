#include "help/frmAbout.h"

#include "help/HelpContext.h"
#include "help/ProgramIcon.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tessarine"));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    SetHelpContext(this, 18);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(ProgramIcon().pixmap(QSize(96, 96)));
    Picture1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = new QLabel(QStringLiteral("Tessarine"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont large = Label1->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.8);
    Label1->setFont(large);

    Label2 = new QLabel(QStringLiteral("Version 1.0"), this);
    Label2->setObjectName(QStringLiteral("Label2"));

    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::close);

    auto* texts = new QVBoxLayout;
    texts->addWidget(Label1);
    texts->addWidget(Label2);
    texts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(Picture1);
    top->addSpacing(16);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(cmdOk, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    cmdOk->setFocus();
}

void ShowAbout()
{
    static QPointer<frmAbout> open;
    frmAbout* box = open.data();
    if (!box) open = box = new frmAbout;
    box->show();
    box->raise();
    box->activateWindow();
    box->cmdOk->setFocus();
}
