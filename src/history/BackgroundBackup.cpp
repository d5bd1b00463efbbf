#include "history/BackgroundBackup.h"

#include <QThread>
#include <QTimer>

namespace {

// Pages copied between two turns of the event loop: a few milliseconds' work.
constexpr int kPagesATurn = 1024;

}  // namespace

BackgroundBackup::BackgroundBackup(QObject* parent) : QObject(parent), mTimer(new QTimer(this))
{
    mTimer->setInterval(0);
    connect(mTimer, &QTimer::timeout, this, &BackgroundBackup::Tick);
}

BackgroundBackup::~BackgroundBackup()
{
    Abort();
}

void BackgroundBackup::Start(Database& db, const AutomaticBackups& backups)
{
    Abort();
    mBackups = std::make_unique<AutomaticBackups>(backups);
    mCopy = std::make_unique<CatalogueCopy>(db, backups.NewBackupPath());
    if (!mCopy->Begin()) {
        const QString problem = mCopy->Problem();
        mCopy.reset();
        Q_EMIT Finished(false, problem);
        return;
    }
    mTimer->start();
}

void BackgroundBackup::Tick()
{
    if (!mCopy) {
        mTimer->stop();
        return;
    }
    if (!mCopy->Step(kPagesATurn)) return;
    mTimer->stop();
    if (mCopy->Failed()) {
        QString problem;
        Conclude(false, &problem);
        return;
    }
    // The check reads the finished copy alone, away from the event loop.
    CatalogueCopy* copy = mCopy.get();
    mChecker = QThread::create([this, copy] { mChecked = copy->Check(); });
    connect(mChecker, &QThread::finished, this, &BackgroundBackup::CheckDone);
    mChecker->start();
}

void BackgroundBackup::CheckDone()
{
    if (!mChecker) return;
    mChecker->wait();
    delete mChecker;
    mChecker = nullptr;
    QString problem;
    Conclude(mChecked, &problem);
}

bool BackgroundBackup::Conclude(bool checked, QString* problem)
{
    const bool kept = checked && mCopy->Keep();
    const QString why = kept ? QString() : mCopy->Problem();
    if (kept) mBackups->Rotate();
    mCopy.reset();
    mBackups.reset();
    if (problem) *problem = why;
    Q_EMIT Finished(kept, why);
    return kept;
}

bool BackgroundBackup::FinishNow(QString* problem)
{
    if (!mCopy) return true;
    mTimer->stop();
    if (mChecker) {
        mChecker->wait();
        delete mChecker;
        mChecker = nullptr;
        return Conclude(mChecked, problem);
    }
    while (!mCopy->Step(-1)) {
    }
    if (mCopy->Failed()) return Conclude(false, problem);
    return Conclude(mCopy->Check(), problem);
}

void BackgroundBackup::Abort()
{
    mTimer->stop();
    if (mChecker) {
        mChecker->wait();
        delete mChecker;
        mChecker = nullptr;
    }
    mCopy.reset();
    mBackups.reset();
}
