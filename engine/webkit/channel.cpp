#include "engine/webkit/channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace vireo::engine::webkit {

Body& Body::U8(std::uint8_t v) {
    m_bytes.push_back(static_cast<char>(v));
    return *this;
}
Body& Body::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return *this;
}
Body& Body::U64(std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        m_bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return *this;
}
Body& Body::Str(const std::string& s) {
    U32(static_cast<std::uint32_t>(s.size()));
    m_bytes += s;
    return *this;
}
bool Body::Take(std::size_t n, const char*& p) {
    if (!m_ok || m_pos + n > m_bytes.size()) {
        m_ok = false;
        return false;
    }
    p = m_bytes.data() + m_pos;
    m_pos += n;
    return true;
}
std::uint8_t Body::ReadU8() {
    const char* p;
    return Take(1, p) ? static_cast<std::uint8_t>(*p) : 0;
}
std::uint32_t Body::ReadU32() {
    const char* p;
    if (!Take(4, p))
        return 0;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}
std::uint64_t Body::ReadU64() {
    const char* p;
    if (!Take(8, p))
        return 0;
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}
std::string Body::ReadStr() {
    std::uint32_t n = ReadU32();
    const char* p;
    if (n > (1u << 24) || !Take(n, p))
        return {};
    return std::string(p, n);
}

Channel::Channel(int fd, Server server, NoticeHandler notices)
    : m_fd(fd), m_server(std::move(server)), m_notices(std::move(notices)) {}

Channel::~Channel() {
    Close();
}

void Channel::Close() {
    if (m_fd < 0)
        return;
    int fd = m_fd;
    m_fd = -1;
    if (m_closed)
        m_closed();
    close(fd);
}

bool Channel::Send(MessageType type, std::uint32_t id, const std::string& body) {
    if (m_fd < 0)
        return false;
    std::string frame;
    frame.push_back(static_cast<char>(type));
    std::uint32_t length = static_cast<std::uint32_t>(body.size() + 4);
    for (int i = 0; i < 4; ++i)
        frame.push_back(static_cast<char>((length >> (8 * i)) & 0xFF));
    for (int i = 0; i < 4; ++i)
        frame.push_back(static_cast<char>((id >> (8 * i)) & 0xFF));
    frame += body;
    std::size_t sent = 0;
    while (sent < frame.size()) {
        ssize_t n = send(m_fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Close();
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Whether data arrives within `spin`: the two processes answer each other within
// microseconds, far sooner than a sleeping process is woken, so a waiting side looks
// for a while before it sleeps.
bool Channel::Readable(std::chrono::microseconds spin) {
    auto until = std::chrono::steady_clock::now() + spin;
    do {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, 0) != 0)
            return true; // data, or an error or hang-up that the read will report
    } while (std::chrono::steady_clock::now() < until);
    return false;
}

bool Channel::Fill() {
    char buffer[65536];
    while (m_fd >= 0) {
        ssize_t n = recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            m_inbox.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        Close(); // the other side has gone
    }
    return false;
}

std::optional<Channel::Message> Channel::TakeMessage() {
    std::size_t available = m_inbox.size() - m_inboxStart;
    if (available < 9)
        return std::nullopt;
    const char* head = m_inbox.data() + m_inboxStart;
    std::uint32_t length = 0, id = 0;
    for (int i = 3; i >= 0; --i) {
        length = (length << 8) | static_cast<unsigned char>(head[1 + i]);
        id = (id << 8) | static_cast<unsigned char>(head[5 + i]);
    }
    if (length < 4 || length > (1u << 24)) {
        Close(); // no peer of ours sends that: the stream cannot be trusted any more
        return std::nullopt;
    }
    if (available < 5 + std::size_t{length})
        return std::nullopt;
    Message m{static_cast<MessageType>(head[0]), id, Body(std::string(head + 9, length - 4))};
    m_inboxStart += 5 + std::size_t{length};
    if (m_inboxStart == m_inbox.size()) {
        m_inbox.clear();
        m_inboxStart = 0;
    } else if (m_inboxStart > (1u << 16) && m_inboxStart > m_inbox.size() / 2) {
        m_inbox.erase(0, m_inboxStart);
        m_inboxStart = 0;
    }
    return m;
}

// The next message, waiting for it at most `timeoutMs`: nothing when the time runs out
// (the channel stays open; the rest of a message that arrived in part stays buffered)
// or when the other side has gone.
std::optional<Channel::Message> Channel::Receive(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (std::optional<Message> m = TakeMessage())
            return m;
        if (m_fd < 0)
            return std::nullopt;
        if (!Readable(kSpin)) {
            int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            deadline - std::chrono::steady_clock::now())
                                            .count());
            if (left <= 0)
                return std::nullopt;
            pollfd p{m_fd, POLLIN, 0};
            int r = poll(&p, 1, left);
            if (r == 0)
                return std::nullopt;
            if (r < 0 && errno != EINTR)
                return std::nullopt;
        }
        if (!Fill())
            return std::nullopt;
    }
}

void Channel::Serve(Message& m) {
    if (m.type == MessageType::Notice) {
        if (m_notices)
            m_notices(m.body);
        return;
    }
    if (m.type != MessageType::Request)
        return;
    Body reply = m_server ? m_server(m.body) : Body().U32(kFail);
    Send(MessageType::Reply, m.id, reply.Bytes());
}

std::optional<Body> Channel::Call(const Body& request, int timeoutMs) {
    std::uint32_t id = m_nextId++;
    if (!Send(MessageType::Request, id, request.Bytes()))
        return std::nullopt;
    for (;;) {
        std::optional<Message> m = Receive(timeoutMs);
        if (!m)
            return std::nullopt;
        if (m->type == MessageType::Reply) {
            if (m->id == id)
                return std::move(m->body);
            continue; // the answer to a call that already gave up
        }
        Serve(*m);
    }
}

void Channel::Notify(const Body& notice) {
    Send(MessageType::Notice, 0, notice.Bytes());
}

bool Channel::ServeIncoming() {
    // Page script often calls again at once: the next request is looked for a moment
    // before the main loop goes back to sleep. A page that never stops calling still
    // lets the main loop run its other work every few milliseconds, and the rest of a
    // message that arrived in part is waited for by the main loop, not here.
    auto until = std::chrono::steady_clock::now() + kServeBudget;
    while (m_fd >= 0) {
        while (std::optional<Message> m = TakeMessage())
            Serve(*m);
        if (m_fd < 0 || std::chrono::steady_clock::now() >= until || !Readable(kSpin) || !Fill())
            break;
    }
    return m_fd >= 0;
}

} // namespace vireo::engine::webkit
