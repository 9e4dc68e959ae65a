#include "WaitFor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace {

void SpinOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    // No loop is running in a test body, so sockets released with deleteLater would otherwise
    // live on until the end of the test instead of going as they do in the program.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::msleep(1);
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        SpinOnce();
    }
    return true;
}

void Settle(int ms)
{
    (void)WaitFor([] { return false; }, ms);
}
