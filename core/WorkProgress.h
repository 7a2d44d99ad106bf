#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

// Long work on the user's thread tells how far it has come, and hears
// whether the user has called it off.
class WorkProgress
{
public:
    virtual ~WorkProgress() = default;
    // done of total (of the step the work is at); false once the user has
    // cancelled: the work then stops.
    virtual bool advance(qint64 done, qint64 total) = 0;
    // The work is sure to take long and goes on without a word for a while:
    // it is shown now rather than at the next advance.
    virtual void showNow() = 0;
};

// Where the program shows such work: the frame's status line. What start
// returns is the work's for as long as it runs; the line is cleared when it
// goes.
class ProgressLine
{
public:
    virtual ~ProgressLine() = default;
    virtual std::unique_ptr<WorkProgress> start(const QString &what) = 0;
};
