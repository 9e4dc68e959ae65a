// The bare relay as a program, for the load generator to start in the chat server's place.
//   qornc_bench_relay [--listen ADDR] [--port N] [--notify-port N]
#include <arpa/inet.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BareRelay.h"
#include "EventLoop.h"
#include "Sockets.h"
#include "common/Protocol.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void Stop(int)
{
    g_stop = 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string listen = "0.0.0.0";
    int port = kServerPort;
    int notifyPort = kNotifyPort;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--listen")
            listen = argv[i + 1];
        else if (flag == "--port")
            port = std::atoi(argv[i + 1]);
        else if (flag == "--notify-port")
            notifyPort = std::atoi(argv[i + 1]);
    }
    if (argc % 2 == 0 || port < 0 || port > 65535 || notifyPort < 1 || notifyPort > 65535) {
        std::fprintf(stderr, "usage: qornc_bench_relay [--listen ADDR] [--port N] [--notify-port N]\n");
        return 1;
    }
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);
    RaiseFileLimit();
    EventLoop loop;
    BareRelay relay(loop, static_cast<std::uint16_t>(notifyPort));
    if (!relay.Listen(Ipv4(listen), static_cast<std::uint16_t>(port))) {
        std::fprintf(stderr, "cannot listen on %s:%d\n", listen.c_str(), port);
        return 3;
    }
    std::printf("relay listening on %s:%u\n", listen.c_str(), relay.port());
    std::fflush(stdout);
    loop.RunUntil([] { return g_stop != 0; }, BenchClock::time_point::max(), {}, 1000);
    std::printf("relay stopped, %ld deliveries failed\n", relay.deliveryFailures());
    return 0;
}
