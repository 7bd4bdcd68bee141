#include "support/EventWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

bool WaitUntil(const std::function<bool()> &cond, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    // The ticking timer wakes the blocking wait below, so the condition is looked at
    // often even when nothing else happens.
    QTimer tick;
    tick.start(5);
    while (!cond()) {
        if (deadline.hasExpired())
            return cond();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void DrainEvents(int rounds)
{
    for (int i = 0; i < rounds; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}
