// WinHttpVisit's failures: the exact texts, out-parameters left alone, the body
// limit and broken bodies, and the points where window messages are handled.
#include <gtest/gtest.h>

#include "platform/com.h"
#include "platform/winhttp.h"
#include "tests/support/script_server.h"
#include "tests/winhttp/visit_call.h"

namespace paperdl::test {
namespace {

struct FailureCase {
  const char* name;
  std::function<void(VisitCall&)> setUp;
  const char* expectedUtf8;
};

// Every out-parameter but statusText, and the caller's cookies, keep their values.
void ExpectOnlyStatusWritten(const VisitCall& call, const Text& cookiesBefore) {
  EXPECT_EQ("", call.result);
  EXPECT_EQ("before-returned-cookies", call.returnedCookies);
  EXPECT_EQ("before-headers", call.returnedHeaders);
  EXPECT_EQ("before-location", call.location);
  EXPECT_EQ(AsBytes("before"), call.responseBytes);
  EXPECT_EQ(cookiesBefore, call.cookies);
}

TEST(WinHttpVisitFailureTest, TextsAndUntouchedOutParameters) {
  ScriptServer stalling;
  stalling.Reply(StallAfter(""));
  ScriptServer listening;
  listening.Reply(HttpResponse(200, {}, "never asked for"));
  RefusingPort refusing;
  const FailureCase cases[] = {
      {"empty address", [](VisitCall& c) { c.url = ""; }, "701 解析URL地址失败!"},
      {"ftp address", [](VisitCall& c) { c.url = "ftp://127.0.0.1/file"; }, "701 解析URL地址失败!"},
      {"address without scheme", [](VisitCall& c) { c.url = "127.0.0.1/page"; },
       "701 解析URL地址失败!"},
      {"time limit beyond 32 bits wraps below zero",
       [&](VisitCall& c) {
         c.url = listening.Url("/");
         c.timeoutSeconds = 2147484;
       },
       "705 设置超时时间失败!"},
      {"header line without a colon",
       [&](VisitCall& c) {
         c.url = listening.Url("/");
         c.headers = "NoColonHere";
         c.normalizeHeaders = false;
       },
       "710 设置协议头失败!"},
      {"refused connection", [&](VisitCall& c) { c.url = refusing.Url("/"); }, "712 服务器未响应!"},
      {"no answer within the time limit",
       [&](VisitCall& c) {
         c.url = stalling.Url("/");
         c.timeoutSeconds = 1;
       },
       "712 服务器未响应!"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    VisitCall call;
    call.cookies = "k=v";
    c.setUp(call);
    call.Run();
    EXPECT_EQ(Gbk(c.expectedUtf8), call.statusText);
    ExpectOnlyStatusWritten(call, "k=v");
  }
  EXPECT_TRUE(listening.Requests().empty());
}

TEST(WinHttpVisitFailureTest, OmittedOutParametersAreNoProblem) {
  EXPECT_EQ("", WinHttpVisit(""));
  EXPECT_EQ("", WinHttpVisit("ftp://127.0.0.1/"));
}

// Restores the platform's body limit when a test ends.
class BodyLimit {
 public:
  explicit BodyLimit(std::size_t limit)
      : previous_(platform::SetWinHttpBodyLimitForTesting(limit)) {}
  ~BodyLimit() { platform::SetWinHttpBodyLimitForTesting(previous_); }

 private:
  std::size_t previous_;
};

// The read that crosses the limit fails; the status line then replaces the
// failure text, as it does after every failed read once headers are there.
TEST(WinHttpVisitFailureTest, BodyBeyondLimitEndsReadingAtTheLimit) {
  BodyLimit limit(1000);
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, std::string(5000, 'a')));
  VisitCall call;
  call.url = server.Url("/big");
  call.Run();
  EXPECT_EQ(AsBytes(std::string(1000, 'a')), call.responseBytes);
  EXPECT_EQ(std::string(1000, 'a'), call.result);
  EXPECT_EQ("200 OK", call.statusText);
}

TEST(WinHttpVisitFailureTest, EndlessBodyStopsAtTheLimit) {
  BodyLimit limit(64 * 1024);
  ScriptServer server;
  // A chunked body that never ends: the server stalls after many chunks.
  std::string chunks = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  for (int i = 0; i < 40; ++i) chunks += "1000\r\n" + std::string(0x1000, 'z') + "\r\n";
  server.Reply(StallAfter(chunks));
  VisitCall call;
  call.url = server.Url("/stream");
  call.Run();
  EXPECT_EQ(64u * 1024, call.responseBytes.size());
  EXPECT_EQ("200 OK", call.statusText);
}

TEST(WinHttpVisitFailureTest, CutOffBodyKeepsWhatArrived) {
  ScriptServer server;
  server.Reply(CloseAfter("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789"));
  VisitCall call;
  call.url = server.Url("/cut");
  call.Run();
  EXPECT_EQ(AsBytes("0123456789"), call.responseBytes);
  EXPECT_EQ("0123456789", call.result);
  EXPECT_EQ("200 OK", call.statusText);
}

TEST(WinHttpVisitFailureTest, StallInsideTheBodyEndsTheRead) {
  ScriptServer server;
  server.Reply(StallAfter("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc"));
  VisitCall call;
  call.url = server.Url("/slow");
  call.timeoutSeconds = 1;
  call.Run();
  EXPECT_EQ(AsBytes("abc"), call.responseBytes);
  EXPECT_EQ("200 OK", call.statusText);
}

TEST(WinHttpVisitEventsTest, OncePerHeaderLineAfterCharsetAndOnTheWayOut) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {"X-One: 1"}, "<meta charset=utf-8>"));
  CountingInterface ui;
  VisitCall call;
  call.url = server.Url("/");
  call.Run();
  // Lines: status, X-One, Content-Length and the empty ones the split yields.
  const int headerLines = static_cast<int>(SplitText(call.returnedHeaders, "\r\n").size());
  EXPECT_EQ(headerLines + 1 + 1, ui.pumps);
}

TEST(WinHttpVisitEventsTest, FailuresPumpOnceOnTheWayOut) {
  CountingInterface ui;
  VisitCall call;
  call.url = "";
  call.Run();
  EXPECT_EQ(1, ui.pumps);
}

// A command run from inside the pump makes a request of its own; the outer
// call's state is its own.
TEST(WinHttpVisitEventsTest, NestedCallInsideThePumpDisturbsNothing) {
  ScriptServer outer, inner;
  outer.Reply(HttpResponse(200, {"Set-Cookie: o=1"}, "outer page"));
  inner.Reply(HttpResponse(200, {"Set-Cookie: i=1"}, "inner page"));
  CountingInterface ui;
  Text innerResult;
  ui.onPump = [&](int pump) {
    if (pump == 1) innerResult = WinHttpVisit(inner.Url("/"));
  };
  VisitCall call;
  call.url = outer.Url("/");
  call.returnedCookies = "";
  call.Run();
  EXPECT_EQ("inner page", innerResult);
  EXPECT_EQ("outer page", call.result);
  EXPECT_EQ("o=1", call.returnedCookies);
}

TEST(WinHttpVisitComTest, InitialisationsStayBalanced) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "<meta charset=\"big5\">"));
  const int before = platform::ComInitCount();
  VisitCall call;
  call.url = server.Url("/");
  call.Run();
  WinHttpVisit("");
  EXPECT_EQ(before, platform::ComInitCount());
}

}  // namespace
}  // namespace paperdl::test
