// The HTTP GET against a server inside the test: the block rule at the buffer's limit, the
// failures told apart, and the time-out of a stalled reply.
#include "platform/http.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/http_test_server.h"

using platform::HttpGet;
using platform::HttpRequest;
using platform::HttpStatus;

namespace {

HttpRequest Request(const std::string& url, std::size_t limit) {
    HttpRequest r;
    r.url = url;
    r.agent = "RozEraz";
    r.limit = limit;
    r.connectTimeoutSeconds = 2;
    r.lowSpeedSeconds = 1;
    return r;
}

}  // namespace

TEST(HttpGet, StoresWholeBlocksThatLeaveTheLastByteFree) {
    HttpTestServer server([](const std::string& target) {
        return HttpTestReply{200, std::string(std::stoul(target.substr(1)), 'x')};
    });
    // A body that does not fit is TooLarge: the buffer holds only its beginning.
    const struct {
        std::size_t body, limit, expected;
        HttpStatus status;
    } cases[] = {
        {10, 65536, 10, HttpStatus::Ok},
        {4096, 65536, 4096, HttpStatus::Ok},
        {20 * 4096, 65536, 15 * 4096, HttpStatus::TooLarge},      // the sixteenth block would reach limit - 1
        {16 * 4096 - 1, 65536, 15 * 4096, HttpStatus::TooLarge},  // a short last block follows the same rule
        {16 * 4096 - 2, 65536, 16 * 4096 - 2, HttpStatus::Ok},
        {4096, 4097, 0, HttpStatus::TooLarge},                    // one block reaching limit - 1 is dropped
        {4095, 4097, 4095, HttpStatus::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.body) + " bytes, limit " + std::to_string(c.limit));
        std::vector<std::uint8_t> dest(c.limit, 0);
        const auto r = HttpGet(Request(server.Url("/" + std::to_string(c.body)), c.limit), dest.data());
        EXPECT_EQ(r.status, c.status) << r.error;
        EXPECT_EQ(r.bytes, c.expected);
        EXPECT_EQ(dest[c.limit - 1], 0);
        if (c.expected) {
            EXPECT_EQ(dest[c.expected - 1], 'x');
        }
        if (c.expected < c.limit) {
            EXPECT_EQ(dest[c.expected], 0);
        }
    }
    const auto heads = server.Requests();
    ASSERT_FALSE(heads.empty());
    EXPECT_EQ(heads[0].rfind("GET /10 HTTP/1.1\r\n", 0), 0u) << heads[0];
    EXPECT_NE(heads[0].find("\r\nUser-Agent: RozEraz"), std::string::npos) << heads[0];
}

TEST(HttpGet, FailuresAreToldApart) {
    HttpTestServer server([](const std::string& target) {
        if (target == "/missing") return HttpTestReply{404, "<html>not here</html>"};
        if (target == "/error") return HttpTestReply{500, "oops"};
        return HttpTestReply{200, "", HttpTestReply::Close};
    });
    int closedPort = 0;
    {
        HttpTestServer gone([](const std::string&) { return HttpTestReply{}; });
        closedPort = gone.Port();
    }
    const struct {
        std::string url;
        HttpStatus status;
    } cases[] = {
        {server.Url("/missing"), HttpStatus::Refused},
        {server.Url("/error"), HttpStatus::Refused},
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/x", HttpStatus::Unreachable},
        {"file:///etc/passwd", HttpStatus::Refused},
        {"not a url at all", HttpStatus::Refused},
        {server.Url("/closed"), HttpStatus::CutShort},   // closed without a reply: nothing arrived
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        std::vector<std::uint8_t> dest(100, 0);
        const auto r = HttpGet(Request(c.url, dest.size()), dest.data());
        EXPECT_EQ(r.status, c.status) << r.error;
        EXPECT_EQ(r.bytes, 0u);
        EXPECT_EQ(dest[0], 0);
        if (c.status != HttpStatus::Ok) {
            EXPECT_FALSE(r.error.empty());
        }
    }
}

TEST(HttpGet, AStalledReplyEndsAtTheLowSpeedTimeOut) {
    HttpTestServer server([](const std::string&) { return HttpTestReply{200, "abc", HttpTestReply::Stall}; });
    std::vector<std::uint8_t> dest(100, 0);
    int steps = 0;
    auto request = Request(server.Url("/slow"), dest.size());
    request.progress = [&] { ++steps; };
    const auto start = std::chrono::steady_clock::now();
    const auto r = HttpGet(request, dest.data());
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, HttpStatus::TimedOut) << r.error;
    EXPECT_LT(seconds, 6.0);
    EXPECT_GE(steps, 1) << "the busy indicator steps while the program waits";
}
