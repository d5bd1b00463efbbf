#include "help/HelpViewer.h"

#include "db/Globals.h"
#include "db/Prompts.h"
#include "help/ProgramIcon.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWindow>

namespace {

QPointer<HelpViewer> gViewer;

QString HelpFilePath()
{
    return gHelpPath.isEmpty() ? gAppDir + QStringLiteral("stamp.hlp") : gHelpPath;
}

QPushButton* MakeButton(const QString& caption, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Tessarine Help"));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    resize(860, 600);

    cmdContents = MakeButton(QStringLiteral("&Contents"), QStringLiteral("cmdContents"), this);
    cmdSearch = MakeButton(QStringLiteral("&Search"), QStringLiteral("cmdSearch"), this);
    cmdBack = MakeButton(QStringLiteral("&Back"), QStringLiteral("cmdBack"), this);
    cmdForward = MakeButton(QStringLiteral("&Forward"), QStringLiteral("cmdForward"), this);
    cmdUsingHelp = MakeButton(QStringLiteral("&Using Help"), QStringLiteral("cmdUsingHelp"), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdContents, cmdSearch, cmdBack, cmdForward, cmdUsingHelp}) buttons->addWidget(button);
    buttons->addStretch(1);

    tabNav = new QTabWidget;
    tabNav->setObjectName(QStringLiteral("tabNav"));
    lstContents = new QListWidget;
    lstContents->setObjectName(QStringLiteral("lstContents"));
    tabNav->addTab(lstContents, QStringLiteral("Contents"));

    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    auto* searchLabel = new QLabel(QStringLiteral("&Type a word, or the first letters of one:"));
    txtSearch = new QLineEdit;
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setClearButtonEnabled(true);
    searchLabel->setBuddy(txtSearch);
    lstKeywords = new QListWidget;
    lstKeywords->setObjectName(QStringLiteral("lstKeywords"));
    auto* topicsLabel = new QLabel(QStringLiteral("T&opics found:"));
    lstTopics = new QListWidget;
    lstTopics->setObjectName(QStringLiteral("lstTopics"));
    topicsLabel->setBuddy(lstTopics);
    cmdDisplay = MakeButton(QStringLiteral("&Display"), QStringLiteral("cmdDisplay"), searchPage);
    searchLayout->addWidget(searchLabel);
    searchLayout->addWidget(txtSearch);
    searchLayout->addWidget(lstKeywords, 3);
    searchLayout->addWidget(topicsLabel);
    searchLayout->addWidget(lstTopics, 1);
    searchLayout->addWidget(cmdDisplay, 0, Qt::AlignRight);
    tabNav->addTab(searchPage, QStringLiteral("Search"));

    txtTopic = new QTextBrowser;
    txtTopic->setObjectName(QStringLiteral("txtTopic"));
    txtTopic->setOpenLinks(false);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(tabNav);
    splitter->addWidget(txtTopic);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 600});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(cmdContents, &QPushButton::clicked, this, &HelpViewer::ShowContents);
    connect(cmdSearch, &QPushButton::clicked, this, [this] { ShowSearch(txtSearch->text()); });
    connect(cmdBack, &QPushButton::clicked, this, &HelpViewer::Back);
    connect(cmdForward, &QPushButton::clicked, this, &HelpViewer::Forward);
    connect(cmdUsingHelp, &QPushButton::clicked, this, &HelpViewer::ShowUsingHelp);
    connect(lstContents, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Display(item->data(Qt::UserRole).toInt()); });
    connect(lstContents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { Display(item->data(Qt::UserRole).toInt()); });
    connect(txtSearch, &QLineEdit::textChanged, this, &HelpViewer::FillKeywords);
    connect(txtSearch, &QLineEdit::returnPressed, this, &HelpViewer::DisplaySelectedTopic);
    connect(lstKeywords, &QListWidget::currentRowChanged, this, &HelpViewer::FillTopicsOfKeyword);
    connect(lstKeywords, &QListWidget::itemActivated, this, &HelpViewer::DisplaySelectedTopic);
    connect(lstTopics, &QListWidget::itemActivated, this, &HelpViewer::DisplaySelectedTopic);
    connect(cmdDisplay, &QPushButton::clicked, this, &HelpViewer::DisplaySelectedTopic);
    connect(txtTopic, &QTextBrowser::anchorClicked, this, &HelpViewer::FollowLink);

    auto* back = new QShortcut(QKeySequence::Back, this);
    connect(back, &QShortcut::activated, this, &HelpViewer::Back);
    auto* forward = new QShortcut(QKeySequence::Forward, this);
    connect(forward, &QShortcut::activated, this, &HelpViewer::Forward);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    UpdateButtons();
}

HelpViewer* HelpViewer::Existing()
{
    return gViewer.data();
}

HelpViewer* HelpViewer::Instance()
{
    if (!gViewer) gViewer = new HelpViewer;
    return gViewer.data();
}

bool HelpViewer::Open(const QString& path, QString* error)
{
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    if (!mFile.IsEmpty() && absolute == mPath && info.exists() && info.lastModified() == mModified &&
        info.size() == mSize)
        return true;

    HelpFile file;
    if (!file.Load(path, error)) return false;
    mFile = std::move(file);
    mPath = absolute;
    mModified = info.lastModified();
    mSize = info.size();
    // Topic numbers of the old file mean nothing in the new one.
    mHistory.clear();
    mHistoryPos = -1;
    FillContents();
    FillKeywords();
    UpdateButtons();
    return true;
}

void HelpViewer::FillContents()
{
    lstContents->clear();
    const QList<HelpTopic>& topics = mFile.Topics();
    for (int t = 0; t < topics.size(); ++t) {
        auto* item = new QListWidgetItem(topics.at(t).title, lstContents);
        item->setData(Qt::UserRole, t);
    }
}

void HelpViewer::FillKeywords()
{
    mShownKeywords = mFile.Search(txtSearch->text());
    lstKeywords->clear();
    for (const int k : mShownKeywords) lstKeywords->addItem(mFile.Keywords().at(k).text);
    if (!mShownKeywords.isEmpty())
        lstKeywords->setCurrentRow(0);
    else
        FillTopicsOfKeyword();
}

void HelpViewer::FillTopicsOfKeyword()
{
    lstTopics->clear();
    const int row = lstKeywords->currentRow();
    if (row < 0 || row >= mShownKeywords.size()) return;
    for (const int t : mFile.Keywords().at(mShownKeywords.at(row)).topics) {
        auto* item = new QListWidgetItem(mFile.Topics().at(t).title, lstTopics);
        item->setData(Qt::UserRole, t);
    }
    lstTopics->setCurrentRow(0);
}

void HelpViewer::DisplaySelectedTopic()
{
    const QListWidgetItem* item = lstTopics->currentItem();
    if (!item && lstTopics->count() > 0) item = lstTopics->item(0);
    if (item) Display(item->data(Qt::UserRole).toInt());
}

void HelpViewer::ShowContext(int context)
{
    const int index = context == 0 ? -1 : mFile.IndexOfContext(context);
    // A number the file does not know still opens the help, at its contents.
    ShowTopic(index >= 0 ? index : mFile.ContentsIndex());
}

void HelpViewer::ShowContents()
{
    tabNav->setCurrentWidget(lstContents);
    ShowTopic(mFile.ContentsIndex());
}

void HelpViewer::ShowUsingHelp()
{
    const int index = mFile.UsingHelpIndex();
    ShowTopic(index >= 0 ? index : mFile.ContentsIndex());
}

void HelpViewer::ShowSearch(const QString& text)
{
    tabNav->setCurrentIndex(1);
    if (txtSearch->text() != text)
        txtSearch->setText(text);
    else
        FillKeywords();
    if (CurrentTopic() < 0) ShowTopic(mFile.ContentsIndex());
    txtSearch->setFocus();
    txtSearch->selectAll();
}

void HelpViewer::ShowTopic(int index)
{
    Display(index);
}

void HelpViewer::Display(int index)
{
    if (index < 0 || index >= mFile.Topics().size()) return;
    if (CurrentTopic() != index) {
        mHistory.erase(mHistory.begin() + (mHistoryPos + 1), mHistory.end());
        mHistory.append(index);
        mHistoryPos = static_cast<int>(mHistory.size()) - 1;
    }
    txtTopic->setMarkdown(mFile.Markdown(index));
    lstContents->setCurrentRow(index);
    UpdateButtons();
}

void HelpViewer::FollowLink(const QUrl& url)
{
    if (HelpFile::IsTopicLink(url)) {
        Display(mFile.IndexOfLink(url));
        return;
    }
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"))
        QDesktopServices::openUrl(url);
}

void HelpViewer::Back()
{
    if (mHistoryPos <= 0) return;
    --mHistoryPos;
    txtTopic->setMarkdown(mFile.Markdown(mHistory.at(mHistoryPos)));
    lstContents->setCurrentRow(mHistory.at(mHistoryPos));
    UpdateButtons();
}

void HelpViewer::Forward()
{
    if (mHistoryPos + 1 >= mHistory.size()) return;
    ++mHistoryPos;
    txtTopic->setMarkdown(mFile.Markdown(mHistory.at(mHistoryPos)));
    lstContents->setCurrentRow(mHistory.at(mHistoryPos));
    UpdateButtons();
}

void HelpViewer::UpdateButtons()
{
    cmdBack->setEnabled(mHistoryPos > 0);
    cmdForward->setEnabled(mHistoryPos + 1 < mHistory.size());
    cmdUsingHelp->setEnabled(mFile.UsingHelpIndex() >= 0);
}

void ShowHelp(int command, int context)
{
    if (command == HelpCommand::Quit) {
        if (HelpViewer* viewer = HelpViewer::Existing()) viewer->close();
        return;
    }

    const QString path = HelpFilePath();
    const bool existed = HelpViewer::Existing() != nullptr;
    HelpViewer* viewer = HelpViewer::Instance();
    QString error;
    if (!viewer->Open(path, &error)) {
        if (!existed) delete viewer;
        MsgBox(QStringLiteral("Help is not available: the help file '") + QFileInfo(path).absoluteFilePath() +
               QStringLiteral("' could not be read (") + error + QStringLiteral(")."));
        return;
    }

    switch (command) {
        case HelpCommand::HelpOnHelp:
            viewer->ShowUsingHelp();
            break;
        case HelpCommand::PartialKey:
            viewer->ShowSearch();
            break;
        case HelpCommand::Contents:
            viewer->ShowContents();
            break;
        default:
            viewer->ShowContext(context);
            break;
    }
    viewer->show();
    // The viewer is the program's own window, owned by no other, so it stays
    // open when a modal window closes. Asked for from a modal window, it stands
    // in for that window's transient, so that it can be used while that window is
    // open (a window of its own would be blocked by it).
    QWidget* modal = QApplication::activeModalWidget();
    if (QWindow* handle = viewer->windowHandle())
        handle->setTransientParent(modal && modal != viewer && modal->windowHandle() ? modal->windowHandle() : nullptr);
    viewer->raise();
    viewer->activateWindow();
}
