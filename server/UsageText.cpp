// The --help text; server/qornc-server.1 says the same.
#include "CommandLine.h"

#include "common/Protocol.h"

namespace qornc::server {

namespace {

std::string here(std::size_t value)
{
    return "; here " + std::to_string(value);
}

} // namespace

std::string usageText(const MachineLimits& machine)
{
    const ServerOptions derived = defaultOptions(machine);
    return R"(Usage: qornc-server [OPTIONS]

Reference chat server for the QORNC client. Requests arrive on one TCP
connection per client, as NUL-padded blocks; every answer or message is sent
back on a new connection to the client's notification port, one at a time
and in order for each host, tried again until the recipient's host has
acknowledged all of it. A message for a registered user who is not logged in
is held until that user's next login. A request with a wrong password, and a
login that is refused, end their connection at once.

Options:
  --port N          TCP port to accept request connections on (default )"
           + std::to_string(kServerPort) + R"(;
                    0 picks a free port, which is logged)
  --listen ADDR     address to listen on (default 0.0.0.0, all IPv4 addresses)
  --notify-port N   port on the clients' hosts that notifications are sent to
                    (default )" + std::to_string(kNotifyPort) + R"()
  --accounts FILE   preset passwords, one "name password" per line; '#' starts
                    a comment line. Names not listed get their password from
                    their first login.
  --state-file FILE keep the names registered by a first login in FILE, so
                    that they keep their passwords across restarts, and the
                    messages held for users who are away; it holds only
                    argon2id password hashes (19 MiB, 2 passes) and is
                    written with mode 0600, through the link when FILE is a
                    symbolic link. Changes are appended and synced in groups
                    off the event loop; a new name can be used once FILE holds
                    it on disk; a failed write is tried again every second.
                    FILE.lock keeps a second server
                    off the same file. Without it the names are forgotten
                    when the server stops.
  --bot NAME        add an always-online account that answers every message
                    with the same text (may be repeated)
  -h, --help        print this text and exit
  --version         print the version and exit

Limits, so that one host cannot deny the server to the others. Those marked
"derived" follow from this machine: at start the server raises its soft
descriptor limit to the hard one, and D below is that limit less 64.
  --max-connections N
                    request connections open at once (derived: three
                    quarters of D, at most one per 64 KiB of memory)"
           + here(derived.server.maxConnections) + R"(; when all are taken, a
                    newcomer closes the oldest connection without a login of
                    the host that has the most of those
  --max-connections-per-host N
                    request connections open at once from one address
                    (default 16)
  --login-timeout N seconds a connection may stay open without a name logged
                    in over it (default 30)
  --max-accounts N  names the server knows at most (derived: one per 4 KiB of
                    memory, at least 100000)" + here(derived.maxAccounts) + R"()
  --max-registrations-per-host N
                    new names one address may register per registration
                    window (default 10)
  --registration-window N
                    length of that window in seconds (default 3600)
  --max-password-checks-per-host N
                    password hash checks and new-name hashes for one address
                    per minute (default 30); a connection needs one per name
  --hash-threads N  threads that hash and check passwords (derived: one per
                    core)
  --max-queued-checks N
                    hash checks waiting for a hashing thread (derived: as
                    many as --max-connections, so that every connection finds
                    a place). They are served host by host in turn, hosts
                    that logged in as that name before first; when all places
                    are taken, the host with the most waiting loses its
                    newest check
  --max-login-backoff N
                    longest wait, in seconds, after failed logins
                    (default 900). After three free failures an address
                    waits 1 s, then 2 s, 4 s ... before its next check, and
                    each try while it waits counts as a failure. A name that
                    failed as often makes addresses wait the same way,
                    except those with fewer than three failures and those
                    that logged in as it before. Failures are forgotten an
                    hour after the last one.
  --max-queued-per-host N
                    notifications waiting for one host; beyond it the oldest
                    is dropped (default 5000)
  --max-queued N    notifications waiting for all hosts together; beyond it
                    the host with the most loses its oldest (derived: one per
                    4 KiB of memory, at least 100000)" + here(derived.server.dispatch.maxQueued) + R"()
  --max-deliveries N
                    notification connections open at once; other hosts wait
                    their turn (derived: a quarter of D)"
           + here(derived.server.dispatch.maxInFlight) + R"()
  --connect-timeout N
                    seconds a notification connection may take to open
                    (default 2)
  --delivery-timeout N
                    seconds one try at a notification may take from the start
                    of its connect until the recipient's host has
                    acknowledged the whole text (default 15)
  --max-backoff N   longest pause, in seconds, between tries to a host whose
                    deliveries keep failing (default 60)
  --delivery-deadline N
                    seconds a notification is tried; then a message is held
                    for its recipient's next login and an answer is dropped
                    (default 60)
  --max-held-per-user N
                    messages held for one user who is not logged in; beyond
                    it new ones are dropped and logged (default 1000)
  --max-held N      messages held for all users together (derived: one per
                    8 KiB of memory, at least 10000)" + here(derived.server.hold.total) + R"()
  --hold-time N     seconds a message is held before it expires
                    (default 604800, a week)
  --delivery-source ADDR
                    a local address deliveries leave from, in turn with the
                    others given (may be repeated; by default the kernel
                    picks one). Each address lifts the TIME_WAIT ceiling
                    below by as many deliveries again
  --log-limit N     log lines of one kind per minute; the rest are counted in
                    a "... N similar lines suppressed" line (default 120)

Every delivery is a connection the server closes first, so each leaves a
TIME_WAIT entry on the server for a minute, and a host can take at most about
as many deliveries a minute as there are local ports. On a real network raise
that ceiling with sysctl net.ipv4.ip_local_port_range="1024 65535" and
net.ipv4.tcp_tw_reuse=1, or give --delivery-source for each of the server's
addresses; a delivery that finds no free port is logged as "no free local
port towards HOST" and tried again.

Exit status: 0 after SIGINT/SIGTERM or --help or --version, 1 for a bad
option, 2 for an unreadable accounts or state file or a state file another
server uses, 3 when the port cannot be opened.
)";
}

} // namespace qornc::server
