// What WinHttpVisit makes of a response: status text, raw headers, cookies,
// redirect target, redirects followed or not, body bytes.
#include <gtest/gtest.h>

#include "tests/support/script_server.h"
#include "tests/winhttp/visit_call.h"

namespace paperdl::test {
namespace {

struct StatusCase {
  const char* name;
  std::string reply;
  bool noRedirect;
  Text status;
  Text location;  // "before-location" when the call leaves it alone
};

TEST(WinHttpVisitResponseTest, StatusTextAndLocation) {
  const StatusCase cases[] = {
      {"200", HttpResponse(200, {}, "page"), false, "200 OK", "before-location"},
      {"404", HttpResponse(404, {}, "missing"), false, "404 Not Found", "before-location"},
      {"302 not followed", RedirectResponse(302, "/elsewhere"), true, "302 Found", "/elsewhere"},
      {"HTTP/1.0 302 not followed",
       "HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:1/x\r\nContent-Length: 0\r\n\r\n", true,
       "302 Found", "http://127.0.0.1:1/x"},
      {"lower-case location on a 200", HttpResponse(200, {"location: /next"}, ""), false, "200 OK",
       "/next"},
      {"the later Location line wins", HttpResponse(200, {"Location: /a", "LOCATION: /b"}, ""),
       false, "200 OK", "/b"},
      {"a status without reason phrase", "HTTP/1.1 204\r\n\r\n", false, "204", "before-location"},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(CloseAfter(c.reply));
    VisitCall call;
    call.url = server.Url("/start");
    call.noRedirect = c.noRedirect;
    call.Run();
    EXPECT_EQ(c.status, call.statusText);
    EXPECT_EQ(c.location, call.location);
    EXPECT_EQ(1u, server.Requests().size());
  }
}

TEST(WinHttpVisitResponseTest, RawHeadersEndEachLineWithCrLf) {
  ScriptServer server;
  server.Reply(HttpResponse(404, {"X-Test: a b"}, "gone"));
  VisitCall call;
  call.url = server.Url("/");
  call.Run();
  EXPECT_EQ("HTTP/1.1 404 Not Found\r\nX-Test: a b\r\nContent-Length: 4\r\n\r\n",
            call.returnedHeaders);
  EXPECT_EQ("gone", call.result);
  EXPECT_EQ(AsBytes("gone"), call.responseBytes);
}

struct CookieCase {
  const char* name;
  std::vector<std::string> setCookieLines;
  Text cookiesIn;
  Text returnedIn;
  bool mergeCookies;
  Text returnedOut;
  Text cookiesOut;
};

TEST(WinHttpVisitResponseTest, SetCookieCollectionAndMerge) {
  const CookieCase cases[] = {
      {"pairs without attributes",
       {"Set-Cookie: a=1; path=/", "Set-Cookie: b=2"},
       "",
       "",
       true,
       "a=1; b=2",
       ""},
      {"lower-case name and missing blank are not collected",
       {"set-cookie: a=1", "Set-Cookie:b=2", "Set-Cookie: c=3"},
       "",
       "",
       true,
       "c=3",
       ""},
      {"appended to what the caller passed",
       {"Set-Cookie: a=1"},
       "",
       "x=0; ",
       true,
       "x=0; a=1",
       ""},
      {"the last separator goes even without new cookies", {}, "", "x=0; ", true, "x=0", ""},
      {"merged: both variables hold the result",
       {"Set-Cookie: a=1; HttpOnly"},
       "a=0; c=3",
       "",
       true,
       "a=1; c=3",
       "a=1; c=3"},
      {"no merge when switched off", {"Set-Cookie: a=1"}, "a=0; c=3", "", false, "a=1", "a=0; c=3"},
  };
  for (const CookieCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(HttpResponse(200, c.setCookieLines, "ok"));
    VisitCall call;
    call.url = server.Url("/");
    call.cookies = c.cookiesIn;
    call.returnedCookies = c.returnedIn;
    call.mergeCookies = c.mergeCookies;
    call.Run();
    EXPECT_EQ(c.returnedOut, call.returnedCookies);
    EXPECT_EQ(c.cookiesOut, call.cookies);
  }
}

TEST(WinHttpVisitResponseTest, RedirectsAreFollowedToTheFinalPage) {
  ScriptServer server;
  server.Handle([&](const RecordedRequest& request) {
    if (request.target.rfind("/final", 0) == 0) return KeepAlive(HttpResponse(200, {}, "final"));
    return KeepAlive(RedirectResponse(302, "/final?from=start"));
  });
  VisitCall call;
  call.url = server.Url("/start#p=1");
  call.Run();
  EXPECT_EQ("final", call.result);
  EXPECT_EQ("200 OK", call.statusText);
  EXPECT_EQ("before-location", call.location);  // the final response names none
  const auto requests = server.Requests();
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ("GET /start#p=1 HTTP/1.1", requests[0].requestLine);
  EXPECT_EQ("GET /final?from=start HTTP/1.1", requests[1].requestLine);
  EXPECT_EQ("zh-cn", requests[1].Header("Accept-Language"));  // the block goes along
}

TEST(WinHttpVisitResponseTest, PostBecomesGetAfter302AndStays307) {
  for (int status : {302, 307}) {
    SCOPED_TRACE(status);
    ScriptServer server;
    server.Handle([&](const RecordedRequest& request) {
      if (request.target == "/done") return KeepAlive(HttpResponse(200, {}, request.method));
      return KeepAlive(RedirectResponse(status, "/done"));
    });
    VisitCall call;
    call.url = server.Url("/form");
    call.method = 1;
    call.textBody = "a=1";
    call.Run();
    EXPECT_EQ(status == 302 ? "GET" : "POST", call.result);
    EXPECT_EQ(status == 302 ? "" : "a=1", server.Requests().at(1).body);
  }
}

TEST(WinHttpVisitResponseTest, CredentialsStayWithTheirServer) {
  ScriptServer other;
  other.Reply(HttpResponse(200, {}, "other"));
  ScriptServer server;
  server.Reply(RedirectResponse(302, other.Url("/")));
  VisitCall call;
  call.url = server.Url("/");
  call.userName = "user";
  call.password = "pass";
  call.Run();
  EXPECT_EQ("other", call.result);
  EXPECT_TRUE(server.Requests().at(0).HasHeader("Authorization"));
  EXPECT_FALSE(other.Requests().at(0).HasHeader("Authorization"));
}

// A secure exchange is not continued in the clear: the redirect is the answer.
TEST(WinHttpVisitResponseTest, HttpsDoesNotFollowToHttp) {
  ScriptServer plain;
  plain.Reply(HttpResponse(200, {}, "in the clear"));
  ScriptServer secure(ServerOptions{.tls = true});
  secure.Reply(RedirectResponse(302, plain.Url("/")));
  VisitCall call;
  call.url = secure.Url("/");
  call.Run();
  EXPECT_EQ("302 Found", call.statusText);
  EXPECT_EQ(plain.Url("/"), call.location);
  EXPECT_TRUE(plain.Requests().empty());
}

TEST(WinHttpVisitResponseTest, RedirectLoopsAndOtherSchemesFail) {
  struct Case {
    const char* name;
    std::string location;
    std::size_t requests;
  } cases[] = {
      {"an endless loop ends after ten redirects", "/again", 11},
      {"only http and https are followed", "ftp://127.0.0.1/file", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(RedirectResponse(302, c.location));
    VisitCall call;
    call.url = server.Url("/");
    call.Run();
    EXPECT_EQ(Gbk("712 服务器未响应!"), call.statusText);
    EXPECT_EQ("before-location", call.location);
    EXPECT_EQ(c.requests, server.Requests().size());
  }
}

TEST(WinHttpVisitResponseTest, HeadAndEmptyBodies) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {"Content-Length: 1000"}, "", false));
  VisitCall call;
  call.url = server.Url("/");
  call.method = 2;
  call.Run();
  EXPECT_EQ("HEAD / HTTP/1.1", server.Requests().at(0).requestLine);
  EXPECT_EQ("200 OK", call.statusText);
  EXPECT_EQ(Bytes{}, call.responseBytes);
  EXPECT_EQ("", call.result);
}

}  // namespace
}  // namespace paperdl::test
