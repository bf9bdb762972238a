#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/foundation/RunLoop.h"
#include "platform/net/UrlSession.h"
#include "support/LoopbackServer.h"

namespace {

using fnd::RunLoop;
using net::UrlResponse;
using net::UrlSession;
using testsupport::HttpReply;
using testsupport::LoopbackHttpServer;

// Fetches and waits for the completion; counts completions.
struct Fetch {
    std::optional<UrlResponse> response;
    int completions = 0;
    bool onMainThread = false;

    explicit Fetch(UrlSession& session, const std::string& url)
    {
        session.get(url, [this](const UrlResponse& r) {
            response = r;
            ++completions;
            onMainThread = RunLoop::main().isMainThread();
        });
    }
    bool wait() { return RunLoop::main().runUntil([this] { return response.has_value(); }); }
};

TEST(UrlSession, GetsStatusBodyAndContentType)
{
    LoopbackHttpServer server([](const std::string& path) {
        if (path == "/P0133")
            return HttpReply{200, "text/html; charset=ISO-8859-1", "<h2>Symptoms</h2>caf\xe9"};
        return HttpReply{404, "text/plain", "missing"};
    });
    UrlSession session;
    Fetch found(session, server.url("/P0133"));
    ASSERT_TRUE(found.wait());
    EXPECT_EQ(found.response->status, 200);
    EXPECT_EQ(found.response->body, "<h2>Symptoms</h2>caf\xe9");
    EXPECT_EQ(found.response->contentType, "text/html; charset=ISO-8859-1");
    EXPECT_EQ(found.response->error, "");
    EXPECT_TRUE(found.onMainThread);

    Fetch missing(session, server.url("/P9999"));
    ASSERT_TRUE(missing.wait());
    EXPECT_EQ(missing.response->status, 404);  // an HTTP status, not a transport error
    EXPECT_EQ(missing.response->error, "");
    EXPECT_EQ(missing.response->body, "missing");
    EXPECT_EQ(server.requestedPaths(), (std::vector<std::string>{"/P0133", "/P9999"}));
    RunLoop::main().advance(60);
    EXPECT_EQ(found.completions + missing.completions, 2);
}

TEST(UrlSession, TransportFailuresAndBadAddressesGiveAnErrorText)
{
    UrlSession session;
    for (const std::string& url :
         {"http://127.0.0.1:" + std::to_string(testsupport::unusedLoopbackPort()) + "/x", std::string("not a url"),
          std::string("ftp://127.0.0.1/file"), std::string("http://no-such-host.invalid/")}) {
        Fetch fetch(session, url);
        ASSERT_TRUE(fetch.wait()) << url;
        EXPECT_EQ(fetch.response->status, 0) << url;
        EXPECT_FALSE(fetch.response->error.empty()) << url;
        EXPECT_EQ(fetch.completions, 1);
    }
}

TEST(UrlSession, AServerThatNeverAnswersTimesOutOnTheLoopClock)
{
    testsupport::LoopbackServer server([](testsupport::LoopbackConnection& c) {
        c.readUntil("\r\n\r\n");
        c.readSome(10);  // no answer; returns when the client gives up
    });
    UrlSession session;
    session.setTimeout(5);
    Fetch fetch(session, "http://127.0.0.1:" + std::to_string(server.port()) + "/slow");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return server.connectionsAccepted() == 1; }));
    RunLoop::main().advance(4.9);
    EXPECT_FALSE(fetch.response);
    RunLoop::main().advance(0.1);
    ASSERT_TRUE(fetch.wait());
    EXPECT_EQ(fetch.response->status, 0);
    EXPECT_NE(fetch.response->error.find("timed out"), std::string::npos) << fetch.response->error;
    EXPECT_EQ(fetch.completions, 1);
}

// The codes of the user's car go to no site the user did not name.
TEST(UrlSession, TheReferenceSiteIsOnlyTheOneSetOrNamedInTheEnvironment)
{
    const std::string testSite = std::getenv("NORVALE_DTC_REFERENCE_URL");
    ::unsetenv("NORVALE_DTC_REFERENCE_URL");
    EXPECT_EQ(UrlSession::referenceBaseUrl(), "");
    ::setenv("NORVALE_DTC_REFERENCE_URL", "off", 1);
    EXPECT_EQ(UrlSession::referenceBaseUrl(), "");
    ::setenv("NORVALE_DTC_REFERENCE_URL", "http://127.0.0.1:9/codes", 1);
    EXPECT_EQ(UrlSession::referenceBaseUrl(), "http://127.0.0.1:9/codes");
    UrlSession::setReferenceBaseUrl("http://127.0.0.1:8080");
    EXPECT_EQ(UrlSession::referenceBaseUrl(), "http://127.0.0.1:8080");
    UrlSession::setReferenceBaseUrl("off");
    EXPECT_EQ(UrlSession::referenceBaseUrl(), "");
    UrlSession::setReferenceBaseUrl("");
    ::setenv("NORVALE_DTC_REFERENCE_URL", testSite.c_str(), 1);
}

}  // namespace
