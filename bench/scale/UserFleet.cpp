#include "UserFleet.h"

#include <arpa/inet.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "Sockets.h"
#include "UserAddress.h"
#include "common/Protocol.h"
#include "common/RequestBlock.h"

UserFleet::UserFleet(EventLoop& loop, FleetOptions options)
    : m_loop(loop)
    , m_options(options)
    , m_users(static_cast<std::size_t>(options.users))
{
}

UserFleet::~UserFleet()
{
    for (const UniqueFd& listener : m_listeners)
        m_loop.Forget(listener.get());
    for (const User& user : m_users)
        if (user.link)
            m_loop.Forget(user.link.get());
    for (const auto& [fd, reader] : m_readers)
        m_loop.Forget(fd);
}

bool UserFleet::Listen()
{
    // As long as the kernel allows: a target that delivers faster than the generator accepts
    // must not find a full queue, whose refused handshakes would each cost it a second.
    constexpr int kUserBacklog = 4096;
    constexpr int kSharedBacklog = 4096;
    if (m_options.sharedListener) {
        in_addr any{};
        any.s_addr = htonl(INADDR_ANY);
        m_listeners.push_back(ListenTcp(any, m_options.notifyPort, kSharedBacklog));
    } else {
        for (int user = 0; user < m_options.users; ++user)
            m_listeners.push_back(ListenTcp(UserAddress(user), m_options.notifyPort, kUserBacklog));
    }
    for (std::size_t i = 0; i < m_listeners.size(); ++i) {
        if (!m_listeners[i])
            return false;
        const int fd = m_listeners[i].get();
        const std::optional<int> user = m_options.sharedListener ? std::nullopt : std::optional<int>(int(i));
        m_loop.Watch(fd, EPOLLIN, [this, fd, user](std::uint32_t) { OnAccept(fd, user); });
    }
    return true;
}

void UserFleet::StartLogins(int upTo)
{
    m_loginUpTo = upTo < 0 ? m_options.users : std::min(upTo, m_options.users);
    StartNextLogins();
}

std::string UserFleet::Password(int user) const
{
    return m_options.password.empty() ? UserPassword(user) : m_options.password;
}

void UserFleet::StartNextLogins()
{
    while (m_loginsUnderWay < m_options.loginWindow && m_nextLogin < m_loginUpTo) {
        const int index = m_nextLogin++;
        User& user = m_users[static_cast<std::size_t>(index)];
        ++m_loginsUnderWay;
        user.link = ConnectFrom(UserAddress(index), m_options.server, m_options.serverPort);
        const auto login = LoginBlock(UserName(index), Password(index), kStartupLoginBlockSize);
        const auto self = GetBuddyBlock(UserName(index), Password(index), UserName(index));
        if (!user.link || !login || !self) {
            EndLogin(index, false);
            continue;
        }
        user.pending = *login + *self;
        user.waitingToWrite = true;
        m_loop.Watch(user.link.get(), EPOLLIN | EPOLLOUT | EPOLLRDHUP,
                     [this, index](std::uint32_t events) { OnLinkEvent(index, events); });
    }
}

void UserFleet::EndLogin(int index, bool loggedIn)
{
    User& user = m_users[static_cast<std::size_t>(index)];
    if (user.settled)
        return;
    user.settled = true;
    user.loggedIn = loggedIn;
    --m_loginsUnderWay;
    ++(loggedIn ? m_loggedIn : m_loginFailures);
    StartNextLogins();
}

void UserFleet::OnLinkEvent(int index, std::uint32_t events)
{
    User& user = m_users[static_cast<std::size_t>(index)];
    if (!user.connected && (events & (EPOLLOUT | EPOLLERR | EPOLLHUP))) {
        if (PendingError(user.link.get()) != 0) {
            m_loop.Forget(user.link.get());
            user.link.Reset();
            EndLogin(index, false);
            return;
        }
        user.connected = true;
    }
    if (events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) {
        // Nothing is ever written back on a request connection: readable means it has ended.
        std::array<char, 256> scratch{};
        const ssize_t got = ::read(user.link.get(), scratch.data(), scratch.size());
        if (got == 0 || (got < 0 && errno != EAGAIN)) {
            m_loop.Forget(user.link.get());
            user.link.Reset();
            user.connected = false;
            if (user.settled)
                ++m_counters.linksLost;
            EndLogin(index, false);
            return;
        }
    }
    if (user.connected && (events & EPOLLOUT))
        Flush(index);
}

void UserFleet::Send(int index, std::string_view block)
{
    User& user = m_users[static_cast<std::size_t>(index)];
    if (!user.link)
        return;
    user.pending.append(block);
    if (user.connected)
        Flush(index);
}

void UserFleet::Flush(int index)
{
    User& user = m_users[static_cast<std::size_t>(index)];
    while (!user.pending.empty()) {
        const ssize_t wrote = ::write(user.link.get(), user.pending.data(), user.pending.size());
        if (wrote <= 0)
            break;
        user.pending.erase(0, std::size_t(wrote));
    }
    const bool wantWrite = !user.pending.empty();
    if (wantWrite != user.waitingToWrite) {
        user.waitingToWrite = wantWrite;
        m_loop.Change(user.link.get(), EPOLLIN | EPOLLRDHUP | (wantWrite ? EPOLLOUT : 0u));
    }
}

void UserFleet::OnAccept(int listenFd, std::optional<int> user)
{
    for (;;) {
        in_addr local{};
        UniqueFd fd = AcceptFrom(listenFd, nullptr, &local);
        if (!fd)
            return;
        ++m_counters.connectionsAccepted;
        const std::optional<int> owner = user ? user : UserAt(local);
        if (!owner || *owner >= m_options.users) {
            ++m_counters.strayConnections;
            continue;
        }
        const int raw = fd.get();
        Reader& reader = m_readers[raw];
        reader.fd = std::move(fd);
        reader.user = *owner;
        reader.rank = m_counters.connectionsAccepted;
        m_loop.Watch(raw, EPOLLIN | EPOLLRDHUP, [this, raw](std::uint32_t) { OnReaderEvent(raw); });
        OnReaderEvent(raw); // the text often came with the connection
    }
}

void UserFleet::OnReaderEvent(int fd)
{
    const auto found = m_readers.find(fd);
    if (found == m_readers.end())
        return;
    Reader& reader = found->second;
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EAGAIN)
            return;
        const auto at = BenchClock::now();
        if (got <= 0) {
            const std::string rest = reader.framer.Finish();
            if (!rest.empty()) {
                ++m_counters.textsWithoutNul;
                Take(reader, rest, at);
            }
            CloseReader(fd);
            return;
        }
        reader.bytes += std::size_t(got);
        for (const std::string& text : reader.framer.Feed(std::string_view(buffer.data(), std::size_t(got))))
            Take(reader, text, at);
    }
}

void UserFleet::Take(Reader& reader, const std::string& text, BenchClock::time_point at)
{
    if (++reader.texts > 1)
        ++m_counters.textsPastTheFirst;
    if (reader.bytes > kNotifyReadSize && reader.texts == 1)
        ++m_counters.overlongConnections;
    ++m_counters.deliveries;
    Delivery delivery = ReadDelivery(text);
    delivery.connection = reader.rank;
    User& user = m_users[static_cast<std::size_t>(reader.user)];
    if (!user.settled && delivery.kind == DeliveryKind::GetBuddy && delivery.name == UserName(reader.user)) {
        EndLogin(reader.user, delivery.online);
        return;
    }
    if (m_onDelivery)
        m_onDelivery(reader.user, delivery, at);
}

void UserFleet::CloseReader(int fd)
{
    m_loop.Forget(fd);
    m_readers.erase(fd);
}
