// A listener on the loopback interface, for pages that report to the test over HTTP
// or that must wait for a resource that never comes.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace vireo::test {

// Listens on a port of the loopback interface. Connections wait in the backlog, unanswered,
// until Wait takes one request and answers it.
class OneRequest {
public:
    OneRequest() {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(m_fd, reinterpret_cast<sockaddr*>(&address), size);
        listen(m_fd, 4);
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    ~OneRequest() { close(m_fd); }
    int Port() const { return m_port; }
    // The request line of the first request within `seconds`, or "" when none came.
    std::string Wait(int seconds) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, seconds * 1000) <= 0)
            return "";
        int client = accept(m_fd, nullptr, nullptr);
        char buffer[2048] = {};
        ssize_t n = recv(client, buffer, sizeof buffer - 1, 0);
        const char answer[] = "HTTP/1.0 204 No Content\r\nAccess-Control-Allow-Origin: *\r\n\r\n";
        send(client, answer, sizeof answer - 1, MSG_NOSIGNAL);
        close(client);
        std::string request(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
        return request.substr(0, request.find("\r\n"));
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace vireo::test
