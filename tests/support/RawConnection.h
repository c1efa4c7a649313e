#pragma once

// One TCP connection to the service on loopback, spoken to byte by byte:
// what a browser, a slow client or an attacker sends, as they send it.
#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvel::testing {

class RawConnection {
public:
    explicit RawConnection(int port) {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd < 0 || connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            throw std::runtime_error("cannot connect to the service");
        }
    }
    ~RawConnection() { close(m_fd); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    // False once the peer has closed the connection.
    bool send(const std::string& bytes) {
        return ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }

    struct Answer {
        int status = 0;
        std::string head;
        std::string body;
    };

    // Reads one whole answer (headers and a Content-Length body), or nothing
    // when the connection closes or stays silent past the wait.
    std::optional<Answer> read(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
        for (;;) {
            const auto end = m_buffer.find("\r\n\r\n");
            if (end != std::string::npos) {
                Answer a;
                a.head = m_buffer.substr(0, end);
                a.status = std::stoi(a.head.substr(9, 3));
                const auto length = lowerHead(a.head).find("content-length:");
                const std::size_t size = length == std::string::npos ? 0 : std::stoul(a.head.substr(length + 15));
                if (m_buffer.size() >= end + 4 + size) {
                    a.body = m_buffer.substr(end + 4, size);
                    m_buffer.erase(0, end + 4 + size);
                    return a;
                }
            }
            if (!fill(wait)) return std::nullopt;
        }
    }

    // True when the peer closed the connection within the wait.
    bool closedWithin(std::chrono::milliseconds wait) {
        while (fill(wait)) {
        }
        return m_closed;
    }

    static std::string get(const std::string& target, int port) {
        return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n";
    }

private:
    static std::string lowerHead(std::string text) {
        for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }

    bool fill(std::chrono::milliseconds wait) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(wait.count())) <= 0) return false;
        char chunk[65536];
        const ssize_t n = recv(m_fd, chunk, sizeof chunk, 0);
        if (n <= 0) {
            m_closed = true;
            return false;
        }
        m_buffer.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    int m_fd = -1;
    std::string m_buffer;
    bool m_closed = false;
};

}  // namespace quorvel::testing
