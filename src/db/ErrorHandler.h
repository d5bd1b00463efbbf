#pragma once

#include "db/DbError.h"

#include <functional>

// The central error handler: every guarded operation sends its failure here. A
// locked record is retried (with a question every 100 failures), a cancelled
// file dialog cancels the report, a money total too large to show ends the
// report with a message, anything else is shown and ends the program.
void HandleError(const DbError& error);

// Runs one guarded step. A failure goes to the central handler; the caller then
// carries on with its next step. Returns false when the step failed, and does
// nothing at all once the program has been ended.
bool Guard(const std::function<void()>& step);

// The lock-retry protocol around one write (an update or a delete): the write is
// repeated for as long as the central handler asks for it.
void RetryWrite(const std::function<void()>& write);

// Ends the program through the prompts (tests observe it instead).
void EndProgram(int exitCode = 1);
