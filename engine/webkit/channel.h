// The channel between the UI process and a web process: one UNIX stream socket,
// framed messages (a type byte, a 4-byte length, the payload) in both directions.
// A side waiting for its answer serves the other side's requests that arrive first, so
// calls may nest to any depth without a nested main loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vireo::engine::webkit {

enum class MessageType : char { Request = 'Q', Reply = 'R', Notice = 'N' };

// Operations, as the first byte of a request's body.
enum class Op : char {
    PageCreated = 'P',   // notice, web process: a page and its identifier
    FrameLoaded = 'F',   // notice, web process: a page's identifier and the URL of one of its
                         // frames whose document has loaded
    Shortcut = 'S',      // notice, web process: a page's identifier and the engine shortcut (a
                         // letter) that the page left to the engine
    GetIDsOfNames = 'G', // web process asks the host object: name -> HRESULT, DISPID
    CallMember = 'M',    // web process asks the host object: name, flags, argument count -> HRESULT, BOOL
                         // (GetIDsOfNames, then Invoke when the name resolved)
    HasFunction = 'H',   // UI asks the page: name -> HRESULT
    CallFunction = 'C',  // UI asks the page: name, string argument -> HRESULT
};

// Little writer and reader for message bodies.
class Body {
public:
    Body() = default;
    explicit Body(std::string bytes) : m_bytes(std::move(bytes)) {}
    Body& U8(std::uint8_t v);
    Body& U32(std::uint32_t v);
    Body& U64(std::uint64_t v);
    Body& Str(const std::string& s);
    std::uint8_t ReadU8();
    std::uint32_t ReadU32();
    std::uint64_t ReadU64();
    std::string ReadStr();
    bool Ok() const { return m_ok; }
    const std::string& Bytes() const { return m_bytes; }

private:
    bool Take(std::size_t n, const char*& p);
    std::string m_bytes;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

class Channel {
public:
    // Serves a request from the other side and returns the reply body.
    using Server = std::function<Body(Body& request)>;
    using NoticeHandler = std::function<void(Body& notice)>;

    Channel(int fd, Server server, NoticeHandler notices);
    ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    void SetNoticeHandler(NoticeHandler notices) { m_notices = std::move(notices); }
    // Called once when the channel closes, before its descriptor is closed, so that a
    // main-loop watch on it goes first.
    void SetCloseHandler(std::function<void()> closed) { m_closed = std::move(closed); }
    int Fd() const { return m_fd; }
    bool Alive() const { return m_fd >= 0; }

    // Sends a request and waits for its reply, serving requests that arrive meanwhile.
    // Nothing comes back when the other side dies, or stays silent past the time limit:
    // then that call is given up (its late reply is dropped) and the channel goes on.
    std::optional<Body> Call(const Body& request, int timeoutMs = 5000);
    void Notify(const Body& notice);
    // Handles whatever arrived while nobody was waiting (from a main-loop watch), without
    // waiting for the rest of a message that arrived in part. False when the other side
    // has gone.
    bool ServeIncoming();

private:
    struct Message {
        MessageType type;
        std::uint32_t id;
        Body body;
    };
    bool Send(MessageType type, std::uint32_t id, const std::string& body);
    // Reads what has arrived, without waiting; false when the other side has gone.
    bool Fill();
    // Takes one whole message from what has arrived, if there is one.
    std::optional<Message> TakeMessage();
    std::optional<Message> Receive(int timeoutMs);
    bool Readable(std::chrono::microseconds spin);
    static constexpr std::chrono::microseconds kSpin{200};
    static constexpr std::chrono::milliseconds kServeBudget{10};
    void Serve(Message& m);
    void Close();

    int m_fd;
    Server m_server;
    NoticeHandler m_notices;
    std::function<void()> m_closed;
    std::string m_inbox; // bytes received and not yet taken, from m_inboxStart on
    std::size_t m_inboxStart = 0;
    std::uint32_t m_nextId = 1;
};

// HRESULT codes travel as their 32-bit patterns.
constexpr std::uint32_t kOk = 0;
constexpr std::uint32_t kUnknownName = 0x80020006;
constexpr std::uint32_t kException = 0x80020009;
constexpr std::uint32_t kFail = 0x80004005;

} // namespace vireo::engine::webkit
