#include "SignalQuitter.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace qornc::server {

SignalQuitter::SignalQuitter(QObject* parent)
    : QObject(parent)
{
    sigset_t handled;
    sigemptyset(&handled);
    sigaddset(&handled, SIGINT);
    sigaddset(&handled, SIGTERM);
    if (pthread_sigmask(SIG_BLOCK, &handled, nullptr) != 0)
        return;
    fd_ = signalfd(-1, &handled, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalQuitter::onSignal);
}

SignalQuitter::~SignalQuitter()
{
    if (notifier_)
        notifier_->setEnabled(false);
    if (fd_ >= 0)
        ::close(fd_);
}

void SignalQuitter::onSignal()
{
    signalfd_siginfo info{};
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    }
    QCoreApplication::quit();
}

} // namespace qornc::server
