#pragma once

#include <functional>

#include <QString>
#include <QStringList>

#include "link/Protocol.h"

struct TaskContext;

// Tells the controller which channels to record: the trace window gives its channel mask on
// code 9.
void selectTrace(TaskContext& context);

// Collects the records the controller has gathered, one text line each, and hands the run's lines
// to the trace window in one code 0. The worker keeps its TraceLines here, empty between runs.
class TraceFetch {
public:
    // A run ends after this many fetches even while the controller still has records, so that a
    // controller that always has data neither holds the worker nor keeps a closed window's task
    // alive; the window's next poll goes on where this run stopped.
    static constexpr int MaxFetchesPerRun = 256;

    using TimeOfDay = std::function<QString()>;

    explicit TraceFetch(TimeOfDay timeOfDay = defaultTimeOfDay());

    void operator()(TaskContext& context);

    const QStringList& lines() const { return TraceLines; }

private:
    static TimeOfDay defaultTimeOfDay();
    // False when the run has failed and ended.
    bool fetchOne(TaskContext& context, int& remaining);
    void fail(TaskContext& context, const Protocol::Failure& failure);

    TimeOfDay timeOfDay_;
    QStringList TraceLines;
};
