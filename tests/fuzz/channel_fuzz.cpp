// Fuzzes the bridge channel's framing with arbitrary bytes from the other side: served
// as they come, and read as the answer to a call; the channel never crashes, never
// waits past its time limit, and a stream it cannot trust is closed.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "engine/webkit/channel.h"

using namespace vireo::engine::webkit;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return 0;
    {
        Channel channel(
            fds[0],
            [](Body& request) {
                Body reply;
                reply.U32(request.ReadU32()).Str(request.ReadStr());
                return reply;
            },
            [](Body& notice) { notice.ReadStr(); });
        // The first byte splits the input: what arrives before the channel serves, and
        // what arrives while it waits for an answer.
        std::size_t split = size ? data[0] % (size + 1) : 0;
        if (split > 1 && send(fds[1], data + 1, split - 1, MSG_NOSIGNAL) < 0)
            split = 1;
        channel.ServeIncoming();
        if (size > split)
            send(fds[1], data + split, size - split, MSG_NOSIGNAL);
        channel.Call(Body().U8('Q').Str("question"), 0);
        channel.ServeIncoming();
    }
    close(fds[1]);
    return 0;
}
