#include "BareRelay.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <vector>

#include "Sockets.h"
#include "common/Protocol.h"
#include "common/WordSplit.h"

namespace {

// The next word of text, by the shared splitting rule; text moves past it and its space.
std::string_view TakeWord(std::string_view& text)
{
    const WordSplit split = SplitFirstWord(text);
    text = split.rest;
    return split.word;
}

}  // namespace

BareRelay::BareRelay(EventLoop& loop, std::uint16_t notifyPort) : m_loop(loop), m_notifyPort(notifyPort) {}

BareRelay::~BareRelay()
{
    if (m_listener)
        m_loop.Forget(m_listener.get());
    for (const auto& [fd, link] : m_links)
        m_loop.Forget(fd);
    for (const auto& [host, queue] : m_hosts)
        if (queue.delivering)
            m_loop.Forget(queue.delivering.get());
}

bool BareRelay::Listen(in_addr address, std::uint16_t port)
{
    m_listener = ListenTcp(address, port, 4096);
    if (!m_listener)
        return false;
    m_loop.Watch(m_listener.get(), EPOLLIN, [this](std::uint32_t) { Accept(); });
    return true;
}

std::uint16_t BareRelay::port() const
{
    return LocalPort(m_listener.get());
}

void BareRelay::Accept()
{
    for (;;) {
        in_addr peer{};
        UniqueFd fd = AcceptFrom(m_listener.get(), &peer);
        if (!fd)
            return;
        const int raw = fd.get();
        RequestLink& link = m_links[raw];
        link.fd = std::move(fd);
        link.peer = peer;
        m_loop.Watch(raw, EPOLLIN | EPOLLRDHUP, [this, raw](std::uint32_t) { Read(raw); });
    }
}

void BareRelay::Read(int fd)
{
    RequestLink& link = m_links.at(fd);
    std::array<char, 16384> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EAGAIN)
            return;
        if (got <= 0) {
            m_loop.Forget(fd);
            m_links.erase(fd);
            return;
        }
        std::vector<std::string> requests;
        link.framer.Feed(std::string_view(buffer.data(), std::size_t(got)), requests);
        for (const std::string& request : requests)
            Handle(link.peer, request);
    }
}

void BareRelay::Handle(in_addr peer, std::string_view request)
{
    const std::string_view keyword = TakeWord(request);
    const std::string name(TakeWord(request));
    TakeWord(request); // the password, never checked here
    if (keyword == "login") {
        m_hostOfName[name] = peer.s_addr;
    } else if (keyword == "logout") {
        m_hostOfName.erase(name);
    } else if (keyword == "getbuddy") {
        const bool online = m_hostOfName.count(std::string(request)) > 0;
        Enqueue(peer.s_addr, "getbuddy " + std::string(online ? "true " : "false ") + std::string(request));
    } else if (keyword == "message") {
        const auto recipient = m_hostOfName.find(std::string(TakeWord(request)));
        if (recipient != m_hostOfName.end())
            Enqueue(recipient->second, "message " + name + ' ' + std::string(request));
    }
}

void BareRelay::Enqueue(std::uint32_t host, std::string text)
{
    // Only a getbuddy block with empty fields could make a longer text than the client reads.
    text.resize(std::min(text.size(), kNotifyReadSize - 1));
    text.push_back('\0');
    HostQueue& queue = m_hosts[host];
    queue.texts.push_back(std::move(text));
    if (!queue.delivering)
        StartDelivery(host);
}

void BareRelay::StartDelivery(std::uint32_t host)
{
    HostQueue& queue = m_hosts[host];
    while (!queue.texts.empty()) {
        in_addr any{};
        in_addr destination{};
        destination.s_addr = host;
        queue.delivering = ConnectFrom(any, destination, m_notifyPort);
        if (queue.delivering) {
            m_loop.Watch(queue.delivering.get(), EPOLLOUT,
                         [this, host](std::uint32_t events) { FinishDelivery(host, events); });
            return;
        }
        ++m_deliveryFailures;
        queue.texts.pop_front();
    }
}

void BareRelay::FinishDelivery(std::uint32_t host, std::uint32_t events)
{
    HostQueue& queue = m_hosts[host];
    const int fd = queue.delivering.get();
    const std::string& text = queue.texts.front();
    // A fresh connection's send buffer always takes a text of kNotifyReadSize bytes at once.
    const bool written = !(events & EPOLLERR) && PendingError(fd) == 0
                         && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    if (!written)
        ++m_deliveryFailures;
    m_loop.Forget(fd);
    queue.delivering.Reset();
    queue.texts.pop_front();
    StartDelivery(host);
}
