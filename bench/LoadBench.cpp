// Load: the standalone service (its own process) on a catalog, mixed
// realistic queries from many kept-alive connections for a while, while as
// many further connections send their headers a byte at a time or sit idle.
// Prints requests a second, p50, p99, errors and timeouts, beside what the
// search itself allows on this machine (cores / mean in-process search time
// of the same queries). Targets: 0 errors and 0 timeouts, p99 <= 100 ms,
// throughput >= 80% of what the search allows.
//   bench/load --catalog DIR [--seconds 60] [--busy 64] [--slow 64]
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CatalogIndex.h"
#include "QueryKinds.h"
#include "SearchRequest.h"

extern char** environ;

using namespace quorvel;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kTimeout = std::chrono::seconds(5);  // an answer later than this counts as a timeout

double msBetween(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

int freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

int connectTo(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

// One kept-alive client connection, driven by the event loop: a request,
// its whole answer, the next request.
struct Client {
    int fd = -1;
    std::string in;
    Clock::time_point sent;
    std::size_t next = 0;
};

struct Tally {
    std::vector<double> ms;
    std::uint64_t errors = 0;
    std::uint64_t timeouts = 0;
};

// Returns true when a whole answer is in c.in (and takes it out); sets status.
bool takeAnswer(Client& c, int& status) {
    const auto end = c.in.find("\r\n\r\n");
    if (end == std::string::npos) return false;
    std::size_t length = 0;
    for (std::size_t at = 0; at < end;) {
        const auto eol = c.in.find("\r\n", at);
        std::string line = c.in.substr(at, eol - at);
        for (auto& ch : line) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (line.rfind("content-length:", 0) == 0) length = std::stoul(line.substr(15));
        at = eol + 2;
    }
    if (c.in.size() < end + 4 + length) return false;
    status = std::atoi(c.in.c_str() + 9);
    c.in.erase(0, end + 4 + length);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string catalog, service = QUORVEL_SERVICE_TOOL;
    int seconds = 60, busy = 64, slow = 64;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--catalog") catalog = argv[i + 1];
        else if (arg == "--seconds") seconds = std::max(1, std::stoi(argv[i + 1]));
        else if (arg == "--busy") busy = std::max(1, std::stoi(argv[i + 1]));
        else if (arg == "--slow") slow = std::max(0, std::stoi(argv[i + 1]));
    }
    if (catalog.empty()) {
        std::fprintf(stderr, "usage: load --catalog DIR [--seconds 60] [--busy 64] [--slow 64]\n");
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);

    // What the search itself allows: the same queries in process, in turn.
    const auto kinds = bench::QueryKinds();
    std::vector<std::string> mix;
    for (std::size_t i = 0; i < kinds[0].queries.size(); ++i) {
        for (const auto& k : kinds) mix.push_back(k.queries[i] + "&page=1&size=20");
    }
    double meanMs = 0;
    {
        const auto index = CatalogIndex::open(catalog);
        for (const auto& q : mix) index->search(SearchRequest::parse(q));  // warm
        const auto t = Clock::now();
        const int rounds = 20;
        for (int r = 0; r < rounds; ++r) {
            for (const auto& q : mix) index->search(SearchRequest::parse(q));
        }
        meanMs = msBetween(t, Clock::now()) / static_cast<double>(rounds * mix.size());
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const double allowed = cores * 1000.0 / meanMs;

    const int port = freePort();
    const std::string listen = "127.0.0.1:" + std::to_string(port);
    const char* args[] = {service.c_str(), "--catalog", catalog.c_str(), "--listen", listen.c_str(), nullptr};
    pid_t pid = 0;
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid, service.c_str(), &quiet, nullptr, const_cast<char**>(args), environ) != 0) {
        std::fprintf(stderr, "load: cannot start %s\n", service.c_str());
        return 1;
    }
    int probe = -1;
    for (int tries = 0; tries < 200 && probe < 0; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        probe = connectTo(port);
    }
    if (probe < 0) {
        std::fprintf(stderr, "load: the service did not start\n");
        kill(pid, SIGTERM);
        return 1;
    }
    close(probe);

    const std::string host = "Host: 127.0.0.1:" + std::to_string(port) + "\r\n";
    std::vector<std::string> requests;
    for (const auto& q : mix) requests.push_back("GET /soft/quorvel/api/search?" + q + " HTTP/1.1\r\n" + host + "\r\n");

    // The slow and the idle: half send a header byte every second, half say
    // nothing; both come back when the service closes them.
    std::vector<int> trickling, idle;
    std::vector<std::size_t> trickled;
    for (int i = 0; i < slow; ++i) (i % 2 ? idle : trickling).push_back(connectTo(port));
    trickled.assign(trickling.size(), 0);

    const int poller = epoll_create1(EPOLL_CLOEXEC);
    std::vector<Client> clients(static_cast<std::size_t>(busy));
    Tally tally;
    const auto send = [&](Client& c, std::size_t i) {
        c.next = (c.next + 1) % requests.size();
        c.sent = Clock::now();
        const std::string& r = requests[(i * 7 + c.next) % requests.size()];
        if (::send(c.fd, r.data(), r.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(r.size())) ++tally.errors;
    };
    for (std::size_t i = 0; i < clients.size(); ++i) {
        clients[i].fd = connectTo(port);
        epoll_event e{};
        e.events = EPOLLIN;
        e.data.u64 = i;
        epoll_ctl(poller, EPOLL_CTL_ADD, clients[i].fd, &e);
        send(clients[i], i);
    }

    const auto start = Clock::now();
    const auto stop = start + std::chrono::seconds(seconds);
    auto nextTrickle = start;
    std::uint64_t reconnects = 0;
    std::vector<epoll_event> events(clients.size());
    while (Clock::now() < stop) {
        const int n = epoll_wait(poller, events.data(), static_cast<int>(events.size()), 100);
        for (int k = 0; k < n; ++k) {
            const std::size_t i = events[static_cast<std::size_t>(k)].data.u64;
            Client& c = clients[i];
            char buffer[65536];
            for (;;) {
                const ssize_t got = recv(c.fd, buffer, sizeof buffer, 0);
                if (got > 0) {
                    c.in.append(buffer, static_cast<std::size_t>(got));
                    continue;
                }
                if (got == 0) {  // closed by the service: an error for a kept-alive client
                    ++tally.errors;
                    epoll_ctl(poller, EPOLL_CTL_DEL, c.fd, nullptr);
                    close(c.fd);
                    c = Client{};
                    c.fd = connectTo(port);
                    epoll_event e{};
                    e.events = EPOLLIN;
                    e.data.u64 = i;
                    epoll_ctl(poller, EPOLL_CTL_ADD, c.fd, &e);
                    send(c, i);
                }
                break;
            }
            int status = 0;
            while (takeAnswer(c, status)) {
                const double ms = msBetween(c.sent, Clock::now());
                if (status != 200) ++tally.errors;
                else if (ms > std::chrono::duration<double, std::milli>(kTimeout).count()) ++tally.timeouts;
                else tally.ms.push_back(ms);
                send(c, i);
            }
        }
        const auto now = Clock::now();
        for (auto& c : clients) {
            if (msBetween(c.sent, now) > std::chrono::duration<double, std::milli>(kTimeout).count() * 2) {
                ++tally.timeouts;  // still nothing: count it and go on
                c.sent = now;
            }
        }
        if (now >= nextTrickle) {
            nextTrickle = now + std::chrono::seconds(1);
            const std::string& r = requests[0];
            for (std::size_t t = 0; t < trickling.size(); ++t) {
                if (::send(trickling[t], r.data() + trickled[t] % r.size(), 1, MSG_NOSIGNAL) != 1) {
                    close(trickling[t]);
                    trickling[t] = connectTo(port);
                    ++reconnects;
                }
                ++trickled[t];
            }
            for (auto& fd : idle) {
                char ignored;
                if (recv(fd, &ignored, 1, MSG_DONTWAIT | MSG_PEEK) == 0) {
                    close(fd);
                    fd = connectTo(port);
                    ++reconnects;
                }
            }
        }
    }
    const double elapsed = msBetween(start, Clock::now()) / 1000.0;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);

    std::sort(tally.ms.begin(), tally.ms.end());
    const auto pct = [&](double p) {
        return tally.ms.empty() ? 0.0 : tally.ms[std::min(tally.ms.size() - 1, static_cast<std::size_t>(p * tally.ms.size()))];
    };
    const double rate = static_cast<double>(tally.ms.size()) / elapsed;
    const std::size_t items = CatalogIndex::open(catalog)->size();
    std::printf("catalog: %zu items; %d busy kept-alive connections, %d slow or idle, %.0f s\n", items, busy, slow, elapsed);
    std::printf("requests/s %.0f   p50 %.2f ms   p99 %.2f ms   errors %llu   timeouts %llu   (slow/idle reconnects %llu)\n",
                rate, pct(0.5), pct(0.99), static_cast<unsigned long long>(tally.errors),
                static_cast<unsigned long long>(tally.timeouts), static_cast<unsigned long long>(reconnects));
    std::printf("the search itself: mean %.3f ms in process, so %u cores allow %.0f requests/s; served %.0f%%\n", meanMs,
                cores, allowed, 100.0 * rate / allowed);
    const bool met = tally.errors == 0 && tally.timeouts == 0 && pct(0.99) <= 100.0 && rate >= 0.8 * allowed;
    std::printf("targets (0 errors, 0 timeouts, p99 <= 100 ms, >= 80%% of what the search allows): %s\n",
                met ? "met" : "NOT met");
    return 0;
}
