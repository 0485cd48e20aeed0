// The bridge's channel under faults: a call that times out, a frame that arrives in
// part, a peer that goes or sends garbage.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "engine/webkit/channel.h"

using namespace vireo::engine::webkit;

namespace {

std::string Frame(MessageType type, std::uint32_t id, const std::string& body) {
    std::string f(1, static_cast<char>(type));
    std::uint32_t length = static_cast<std::uint32_t>(body.size() + 4);
    for (int i = 0; i < 4; ++i)
        f += static_cast<char>((length >> (8 * i)) & 0xFF);
    for (int i = 0; i < 4; ++i)
        f += static_cast<char>((id >> (8 * i)) & 0xFF);
    return f + body;
}

class ChannelFaults : public ::testing::Test {
protected:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
        mine =
            std::make_unique<Channel>(fds[0], nullptr, [this](Body& n) { notices.push_back(n.ReadStr()); });
        peer = fds[1];
    }
    void TearDown() override {
        if (peer >= 0)
            close(peer);
    }
    void PeerWrites(const std::string& bytes) {
        ASSERT_EQ(write(peer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // The request the channel sent, read on the peer's side: its id.
    std::uint32_t PeerReadsRequest() {
        char head[9];
        EXPECT_EQ(read(peer, head, 9), 9);
        std::uint32_t length = 0, id = 0;
        for (int i = 3; i >= 0; --i) {
            length = (length << 8) | static_cast<unsigned char>(head[1 + i]);
            id = (id << 8) | static_cast<unsigned char>(head[5 + i]);
        }
        std::string body(length - 4, '\0');
        EXPECT_EQ(read(peer, body.data(), body.size()), static_cast<ssize_t>(body.size()));
        return id;
    }

    std::unique_ptr<Channel> mine;
    int peer = -1;
    std::vector<std::string> notices;
};

TEST_F(ChannelFaults, ACallThatTimesOutGivesUpThatCallOnly) {
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(mine->Call(Body().Str("slow"), 200));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_TRUE(mine->Alive()) << "the channel goes on";
    std::uint32_t slow = PeerReadsRequest();

    // The late answer to the first call comes before the answer to the second.
    PeerWrites(Frame(MessageType::Reply, slow, Body().Str("late").Bytes()));
    PeerWrites(Frame(MessageType::Reply, slow + 1, Body().Str("second").Bytes()));
    std::optional<Body> reply = mine->Call(Body().Str("next"), 2000);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->ReadStr(), "second");
    EXPECT_EQ(PeerReadsRequest(), slow + 1);
}

TEST_F(ChannelFaults, AFrameSentInPartDoesNotHoldTheServer) {
    std::string frame = Frame(MessageType::Notice, 0, Body().Str("whole").Bytes());
    PeerWrites(frame.substr(0, 7));
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(mine->ServeIncoming());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
    EXPECT_TRUE(notices.empty());
    PeerWrites(frame.substr(7) + frame);
    EXPECT_TRUE(mine->ServeIncoming());
    EXPECT_EQ(notices, (std::vector<std::string>{"whole", "whole"}));
}

TEST_F(ChannelFaults, ClosingTellsBeforeTheDescriptorGoes) {
    int fd = mine->Fd();
    bool openWhenTold = false;
    int told = 0;
    mine->SetCloseHandler([&] {
        ++told;
        openWhenTold = fcntl(fd, F_GETFD) != -1;
    });
    close(peer);
    peer = -1;
    EXPECT_FALSE(mine->ServeIncoming());
    EXPECT_FALSE(mine->Alive());
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(openWhenTold);
    EXPECT_FALSE(mine->Call(Body(), 100)) << "a closed channel fails at once";
    EXPECT_EQ(told, 1);
}

TEST_F(ChannelFaults, AnImpossibleLengthClosesTheChannel) {
    PeerWrites(std::string("N\x02\x00\x00\x00\x00\x00\x00\x00", 9)); // shorter than its own id
    EXPECT_FALSE(mine->ServeIncoming());
    EXPECT_FALSE(mine->Alive());
}

} // namespace
