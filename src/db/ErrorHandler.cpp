#include "db/ErrorHandler.h"

#include "db/Globals.h"
#include "db/Prompts.h"

void EndProgram(int exitCode)
{
    SetProgramEnded(true);
    prompts().EndProgram(exitCode);
}

void HandleError(const DbError& error)
{
    if (ProgramEnded()) return;
    switch (error.Number()) {
    case ErrNo::NoObject:
        MsgBox(QStringLiteral("There was an error accessing the database file.  Aborting..."));
        EndProgram();
        return;
    case ErrNo::FileInUse:
        MsgBox(QStringLiteral("The database is in use.  You are attempting to run the non-network version in a "
                              "network environment.  The program will exit."),
               MsgButtons::Ok, QStringLiteral("Database File Already In Use"));
        EndProgram();
        return;
    case ErrNo::PageLocked:
    case ErrNo::RecordLocked:
        gRetry = true;
        ++gLockTries;
        if (gLockTries >= 100) {
            const MsgAnswer again = MsgBox(QStringLiteral("Could not update locked record.  Do you wish to try again?"),
                                           MsgButtons::YesNo, QStringLiteral("Locked Record"));
            if (again == MsgAnswer::Yes) {
                gLockTries = 1;
            } else {
                gRetry = false;
                EndProgram();
            }
        }
        return;
    case ErrNo::ObjectInvalid:
        MsgBox(QStringLiteral("An error has occurred.  You may have forgotten to close a window before packing or "
                              "backing up the program's database.  Please rerun the program."));
        EndProgram();
        return;
    case ErrNo::DialogCancel:
        gRptCancel = true;
        return;
    case ErrNo::Overflow:
        // Ends only the report under way: nothing is wrong with the catalogue.
        MsgBox(QString::number(error.Number()) + QStringLiteral("  ") + error.Text());
        return;
    default:
        MsgBox(QString::number(error.Number()) + QStringLiteral("  ") + error.Text());
        EndProgram();
        return;
    }
}

bool Guard(const std::function<void()>& step)
{
    if (ProgramEnded()) return false;
    try {
        step();
        return true;
    } catch (const DbError& error) {
        HandleError(error);
        return false;
    }
}

void RetryWrite(const std::function<void()>& write)
{
    gLockTries = 0;
    gRetry = true;
    while (gRetry && !ProgramEnded()) {
        gRetry = false;
        try {
            write();
        } catch (const DbError& error) {
            HandleError(error);
        }
    }
}
