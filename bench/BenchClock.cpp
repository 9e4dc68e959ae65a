#include "BenchClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>
#include <QTimer>

#include <sys/resource.h>

long PeakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool SpinUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    // A real event loop sleeps in poll between events; a busy loop here would steal the two
    // shared cores from the very peers being measured. The check runs every millisecond.
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    check.start(1);
    loop.exec();
    return done();
}

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}
