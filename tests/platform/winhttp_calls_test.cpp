// The WinHTTP operations one by one: which arguments they refuse, and the
// reading protocol (sizes, pieces, a pending failure) against a loopback server.
#include <gtest/gtest.h>

#include <string>

#include "platform/winhttp.h"
#include "tests/support/script_server.h"

namespace platform {
namespace {

using paperdl::test::HttpResponse;
using paperdl::test::ScriptServer;

// Session, connection and request to 127.0.0.1:port, closed at the end.
struct Handles {
  explicit Handles(int port, const char16_t* object = u"/") {
    session = WinHttpOpen(nullptr, kWinHttpAccessTypeNoProxy, u"", nullptr, 0);
    connection = WinHttpConnect(session, u"127.0.0.1", static_cast<std::uint16_t>(port), 0);
    request = WinHttpOpenRequest(connection, u"GET", object, nullptr, nullptr, nullptr, 0);
  }
  ~Handles() {
    WinHttpCloseHandle(request);
    WinHttpCloseHandle(connection);
    WinHttpCloseHandle(session);
  }
  Handles(const Handles&) = delete;
  Handles& operator=(const Handles&) = delete;
  WinHttpHandle* session;
  WinHttpHandle* connection;
  WinHttpHandle* request;
};

bool AddHeaders(WinHttpHandle* request, const std::u16string& block) {
  return WinHttpAddRequestHeaders(request, block.c_str(), static_cast<std::uint32_t>(block.size()),
                                  kWinHttpAddReqFlagAdd);
}

TEST(WinHttpCallsTest, RefusedArguments) {
  Handles h(80);
  ASSERT_NE(nullptr, h.request);
  EXPECT_FALSE(WinHttpSetTimeouts(h.session, -2, 1000, 1000, 1000));
  EXPECT_TRUE(WinHttpSetTimeouts(h.session, -1, 0, 1000, 1000));
  EXPECT_FALSE(WinHttpSetTimeouts(h.request, 1000, 1000, 1000, 1000));  // not a session

  std::uint32_t value = 0x3300;
  EXPECT_TRUE(WinHttpSetOption(h.request, kWinHttpOptionSecurityFlags, &value, 4));
  value = 0x80000000;
  EXPECT_FALSE(WinHttpSetOption(h.request, kWinHttpOptionSecurityFlags, &value, 4));
  value = kWinHttpDisableCookies;
  EXPECT_TRUE(WinHttpSetOption(h.request, kWinHttpOptionDisableFeature, &value, 4));
  EXPECT_FALSE(WinHttpSetOption(h.request, kWinHttpOptionDisableFeature, &value, 2));
  EXPECT_FALSE(WinHttpSetOption(h.request, 79, &value, 4));

  EXPECT_FALSE(WinHttpSetCredentials(h.request, 2, kWinHttpAuthSchemeBasic, u"u", u"p", nullptr));
  EXPECT_FALSE(WinHttpSetCredentials(h.request, 0, 2, u"u", u"p", nullptr));  // NTLM
  EXPECT_TRUE(WinHttpSetCredentials(h.request, 0, kWinHttpAuthSchemeBasic, u"u", u"p", nullptr));

  EXPECT_EQ(nullptr, WinHttpConnect(h.session, u"bad host", 80, 0));
  EXPECT_EQ(nullptr,
            WinHttpOpenRequest(h.connection, u"GET /x", u"/", nullptr, nullptr, nullptr, 0));
  EXPECT_FALSE(WinHttpCloseHandle(nullptr));
}

TEST(WinHttpCallsTest, HeaderLinesNeedAColonAndNoStrayLineBreak) {
  const std::pair<const char*, std::u16string> refused[] = {
      {"no colon", u"A: 1\r\nNoColon\r\n"},
      {"empty name", u": value"},
      {"blank in the name", u"Bad Name: 1"},
      {"carriage return inside a line", u"X: 1\rInjected: 2"},
      {"zero character inside", std::u16string(u"X: 1\0Y: 2", 10)},
  };
  for (const auto& [name, block] : refused) {
    SCOPED_TRACE(name);
    Handles h(80);
    EXPECT_FALSE(AddHeaders(h.request, block));
  }
  Handles h(80);
  EXPECT_TRUE(AddHeaders(h.request, u"A: 1\r\n\r\nCookie: a=1\r\nEmpty:"));
}

TEST(WinHttpCallsTest, ReadingProtocol) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {"X-A: 1"}, "hello"));
  Handles h(server.Port(), u"/r?x#f");
  std::uint32_t available = 0, read = 0;
  EXPECT_FALSE(WinHttpReceiveResponse(h.request, nullptr));  // nothing sent yet
  EXPECT_FALSE(WinHttpQueryDataAvailable(h.request, &available));
  ASSERT_TRUE(WinHttpSendRequest(h.request, nullptr, 0, nullptr, 0, 0, 0));
  ASSERT_TRUE(WinHttpReceiveResponse(h.request, nullptr));

  std::uint32_t size = 0, index = 0;
  EXPECT_FALSE(
      WinHttpQueryHeaders(h.request, kWinHttpQueryRawHeadersCrlf, nullptr, nullptr, &size, &index));
  const std::u16string expected = u"HTTP/1.1 200 OK\r\nX-A: 1\r\nContent-Length: 5\r\n\r\n";
  EXPECT_EQ((expected.size() + 1) * 2, size);  // terminator included
  std::u16string buffer(size / 2, u'#');
  index = 0;
  ASSERT_TRUE(WinHttpQueryHeaders(h.request, kWinHttpQueryRawHeadersCrlf, nullptr, buffer.data(),
                                  &size, &index));
  EXPECT_EQ(expected.size() * 2, size);  // terminator not counted
  EXPECT_TRUE(std::u16string(buffer.c_str()) == expected);

  ASSERT_TRUE(WinHttpQueryDataAvailable(h.request, &available));
  EXPECT_EQ(5u, available);
  char piece[3];
  ASSERT_TRUE(WinHttpReadData(h.request, piece, 3, &read));
  EXPECT_EQ("hel", std::string(piece, read));
  ASSERT_TRUE(WinHttpQueryDataAvailable(h.request, &available));
  EXPECT_EQ(2u, available);
  ASSERT_TRUE(WinHttpReadData(h.request, piece, 3, &read));
  EXPECT_EQ("lo", std::string(piece, read));
  ASSERT_TRUE(WinHttpQueryDataAvailable(h.request, &available));
  EXPECT_EQ(0u, available);
  EXPECT_EQ("GET /r?x#f HTTP/1.1", server.Requests().at(0).requestLine);
}

// The bytes that came are served; the read after them reports the break.
TEST(WinHttpCallsTest, BrokenBodyFailsTheReadAfterTheLastByte) {
  ScriptServer server;
  server.Reply(paperdl::test::CloseAfter("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nab"));
  Handles h(server.Port());
  ASSERT_TRUE(WinHttpSendRequest(h.request, nullptr, 0, nullptr, 0, 0, 0));
  ASSERT_TRUE(WinHttpReceiveResponse(h.request, nullptr));
  std::uint32_t available = 0, read = 0;
  char buffer[16];
  ASSERT_TRUE(WinHttpQueryDataAvailable(h.request, &available));
  ASSERT_EQ(2u, available);
  ASSERT_TRUE(WinHttpReadData(h.request, buffer, available, &read));
  ASSERT_TRUE(WinHttpQueryDataAvailable(h.request, &available));
  EXPECT_EQ(1u, available);
  EXPECT_FALSE(WinHttpReadData(h.request, buffer, available, &read));
  ASSERT_TRUE(WinHttpQueryDataAvailable(h.request, &available));
  EXPECT_EQ(0u, available);
}

// A body beyond the limit: the bytes up to it are served, then the read fails,
// which WinHttpVisit reports as a failed read.
TEST(WinHttpCallsTest, BodyLimitFailsTheReadAfterTheLimit) {
  const std::size_t previous = SetWinHttpBodyLimitForTesting(100);
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, std::string(1000, 'x')));
  {
    Handles h(server.Port());
    ASSERT_TRUE(WinHttpSendRequest(h.request, nullptr, 0, nullptr, 0, 0, 0));
    ASSERT_TRUE(WinHttpReceiveResponse(h.request, nullptr));
    std::uint32_t available = 0, read = 0;
    std::string buffer(1000, '\0');
    ASSERT_TRUE(WinHttpQueryDataAvailable(h.request, &available));
    ASSERT_EQ(100u, available);
    ASSERT_TRUE(WinHttpReadData(h.request, buffer.data(), available, &read));
    EXPECT_EQ(100u, read);
    ASSERT_TRUE(WinHttpQueryDataAvailable(h.request, &available));
    EXPECT_FALSE(WinHttpReadData(h.request, buffer.data(), available, &read));
  }
  SetWinHttpBodyLimitForTesting(previous);
}

}  // namespace
}  // namespace platform
