// The charset step: a page declaring its charset in its first 1024 bytes comes
// back as code-page-936 text; "gbk" and "gb2312" are taken as they are.
#include <gtest/gtest.h>

#include "tests/support/script_server.h"
#include "tests/winhttp/visit_call.h"

namespace paperdl::test {
namespace {

const std::string kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文 in UTF-8
const std::string kBig5Chinese = "\xA4\xA4\xA4\xE5";          // 中文 in Big5
// 中文 in code page 936 and a byte no code page 936 character starts with: a
// conversion turns it into "?", taking the text as it is keeps it.
const std::string kGbkWithStrayByte = "\xD6\xD0\xCE\xC4\xFF";

struct CharsetCase {
  const char* name;
  std::string body;
  Text expected;
};

TEST(WinHttpVisitCharsetTest, DeclaredCharsets) {
  const std::string padding(1100, ' ');
  const CharsetCase cases[] = {
      {"utf-8 without quotes", "<meta charset=utf-8><p>" + kUtf8Chinese,
       "<meta charset=utf-8><p>" + Gbk("中文")},
      {"utf-8 in quotes", "<meta charset=\"utf-8\">" + kUtf8Chinese,
       "<meta charset=\"utf-8\">" + Gbk("中文")},
      {"big5 in a content type",
       "<META http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">" + kBig5Chinese,
       "<META http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">" + Gbk("中文")},
      {"GBK in capitals is converted", "<meta charset=GBK>" + kGbkWithStrayByte,
       "<meta charset=GBK>" + Gbk("中文") + "?"},
      {"gbk is taken as it is", "<meta charset=gbk>" + kGbkWithStrayByte,
       "<meta charset=gbk>" + kGbkWithStrayByte},
      {"gb2312 is taken as it is", "<meta charset='gb2312'>" + kGbkWithStrayByte,
       "<meta charset='gb2312'>" + kGbkWithStrayByte},
      {"a declaration after byte 1024 is not seen", padding + "<meta charset=utf-8>" + kUtf8Chinese,
       padding + "<meta charset=utf-8>" + kUtf8Chinese},
      {"a declaration across a line break is not seen", "<meta\ncharset=utf-8>" + kUtf8Chinese,
       "<meta\ncharset=utf-8>" + kUtf8Chinese},
      {"an unknown charset gives empty text", "<meta charset=x-unknown-cs>abc", ""},
      {"no declaration, text up to the first zero byte", std::string("abc\0def", 7), "abc"},
      {"no body", "", ""},
  };
  for (const CharsetCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(HttpResponse(200, {"Content-Type: text/html"}, c.body));
    VisitCall call;
    call.url = server.Url("/page");
    call.Run();
    EXPECT_EQ(c.expected, call.result);
    EXPECT_EQ(AsBytes(c.body), call.responseBytes);  // the body itself, unconverted
    EXPECT_EQ("200 OK", call.statusText);
  }
}

}  // namespace
}  // namespace paperdl::test
