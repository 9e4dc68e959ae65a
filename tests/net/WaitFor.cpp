#include "WaitFor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void SpinFor(int ms)
{
    (void)WaitFor([] { return false; }, ms);
}
