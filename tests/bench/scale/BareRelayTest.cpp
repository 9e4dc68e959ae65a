#include "BareRelay.h"

#include <atomic>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "EventLoop.h"
#include "LoopbackPeer.h"
#include "Sockets.h"
#include "common/Protocol.h"
#include "common/RequestBlock.h"

namespace {

using namespace std::string_literals;

// The relay on its own loop and thread, as the program runs it.
class RunningRelay {
public:
    explicit RunningRelay(std::uint16_t notifyPort) : m_relay(m_loop, notifyPort)
    {
        listening = m_relay.Listen(Ipv4("127.0.0.1"), 0);
        port = m_relay.port();
        m_thread = std::thread([this] { m_loop.RunUntil([this] { return m_stop.load(); }, BenchClock::time_point::max(), {}, 5); });
    }
    ~RunningRelay()
    {
        m_stop = true;
        m_thread.join();
    }
    bool listening = false;
    std::uint16_t port = 0;

private:
    EventLoop m_loop;
    BareRelay m_relay;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

std::string Message(const char* from, const char* to, const char* text)
{
    return MessageBlock(from, "pw", to, text).value();
}

std::string Ask(const char* from, const char* contact)
{
    return GetBuddyBlock(from, "pw", contact).value();
}

TEST(BareRelay, DeliversEachTextAloneAndInOrderToTheHostTheNameLoggedInFrom)
{
    const in_addr aliceHost = Ipv4("127.0.0.2");
    const in_addr bobHost = Ipv4("127.0.0.3");
    const std::uint16_t notifyPort = FreePort(aliceHost);
    DeliveryListener alice(aliceHost, notifyPort);
    DeliveryListener bob(bobHost, notifyPort);
    ASSERT_TRUE(alice.listening() && bob.listening());
    RunningRelay relay(notifyPort);
    ASSERT_TRUE(relay.listening);

    const UniqueFd bobLink = LinkFrom(bobHost, relay.port);
    const UniqueFd aliceLink = LinkFrom(aliceHost, relay.port);
    // Blocks of both login sizes on one connection, as the client sends them.
    ASSERT_TRUE(WriteAll(bobLink.get(), LoginBlock("bob", "pw", kConnectLoginBlockSize).value()));
    ASSERT_TRUE(WriteAll(aliceLink.get(), LoginBlock("alice", "pw", kStartupLoginBlockSize).value() + Ask("alice", "bob")));
    EXPECT_EQ(alice.Next(), "getbuddy true bob\0"s);

    ASSERT_TRUE(WriteAll(aliceLink.get(), Message("alice", "bob", "one") + Message("alice", "carol", "lost")
                                              + Message("alice", "bob", "two words") + Ask("alice", "carol")));
    EXPECT_EQ(bob.Next(), "message alice one\0"s);
    EXPECT_EQ(bob.Next(), "message alice two words\0"s);
    EXPECT_EQ(alice.Next(), "getbuddy false carol\0"s);

    ASSERT_TRUE(WriteAll(bobLink.get(), LogoutBlock("bob", "pw").value()));
    ASSERT_TRUE(WriteAll(aliceLink.get(), Message("alice", "bob", "gone") + Ask("alice", "bob")));
    EXPECT_EQ(alice.Next(), "getbuddy false bob\0"s);
    EXPECT_TRUE(bob.QuietFor(200));
}

}  // namespace
