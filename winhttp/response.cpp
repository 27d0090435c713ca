#include "winhttp/response.h"

#include <optional>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "platform/com.h"
#include "textutil/cookies.h"
#include "textutil/events.h"
#include "textutil/markers.h"
#include "winhttp/codepage.h"

namespace paperdl {
namespace {

constexpr int kCharsetWindow = 1024;
constexpr const char* kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

// The bytes before "; " must be exactly "Set-Cookie"; only the name-value pair
// before the first ";" is kept.
void CollectCookie(const Text& line, Text& returnedCookies) {
  if (TextLeftOf(line, ": ") != "Set-Cookie") return;
  const Text piece = FindText(line, ";") > 0
                         ? TextBetween(line, "Set-Cookie:", ";")
                         : ReplaceText(line, "Set-Cookie:", {}, 1, std::nullopt, false);
  returnedCookies += TrimBoth(piece) + "; ";
}

void NoteLocation(const Text& line, Text& location) {
  if (CompareText(TextLeft(line, 10), "Location: ", false) != 0) return;
  location = TextMid(line, 11, TextLength(line) - 10);
}

// The response headers as WinHTTP gives them; false when they cannot be read.
bool QueryRawHeaders(platform::WinHttpHandle* request, Text& rawHeaders) {
  std::uint32_t size = 0;
  std::uint32_t index = 0;
  platform::WinHttpQueryHeaders(request, platform::kWinHttpQueryRawHeadersCrlf, nullptr, nullptr,
                                &size, &index);
  Bytes buffer = BlankBytes(static_cast<int>(size));
  index = 0;
  if (!platform::WinHttpQueryHeaders(request, platform::kWinHttpQueryRawHeadersCrlf, nullptr,
                                     buffer.empty() ? nullptr : buffer.data(), &size, &index))
    return false;
  rawHeaders = Utf16ToAnsi(buffer);
  return true;
}

// The stand-in for reading the body through a stream in that charset: a name
// no converter knows gives empty text; the text ends at its first zero.
Text DecodeBody(const Bytes& body, const Text& charset) {
  std::string decoded;
  const std::string_view bytes(reinterpret_cast<const char*>(body.data()), body.size());
  platform::DecodeCharset(bytes, charset, decoded);
  decoded.resize(std::char_traits<char>::length(decoded.c_str()));
  return decoded;
}

}  // namespace

Text StatusTextOf(const Text& rawHeaders) {
  const int lineBreak = FindText(rawHeaders, "\r\n", 10, false);
  if (lineBreak < 0) return {};
  return TextMid(rawHeaders, 10, lineBreak - 10);
}

void ReadHeaderLines(const Text& rawHeaders, Text& returnedCookies, Text& location) {
  for (const Text& line : SplitText(rawHeaders, "\r\n")) {
    CollectCookie(line, returnedCookies);
    NoteLocation(line, location);
    ProcessEvents();
  }
  if (TextRight(returnedCookies, 2) == "; ")
    returnedCookies = TextLeft(returnedCookies, TextLength(returnedCookies) - 2);
}

Text BodyText(const Bytes& body, RegexObject& regex) {
  // The first 1024 bytes of the text, without making the text of the whole body.
  const Text subject = ToText(BytesLeft(body, kCharsetWindow));
  std::optional<Text> decoded;
  platform::CoInitialize(nullptr);
  if (regex.Execute(kCharsetPattern, subject)) {
    const Text charset = regex.SubMatchText(1, 1);
    if (!charset.empty() && charset != "gbk" && charset != "gb2312")
      decoded = DecodeBody(body, charset);
    ProcessEvents();
  }
  platform::CoUninitialize();
  return decoded ? std::move(*decoded) : ToText(body);
}

Text HandleResponse(platform::WinHttpHandle* request, const Bytes& body, bool mergeCookies,
                    RegexObject& regex, VisitResults& results) {
  Text rawHeaders;
  if (!QueryRawHeaders(request, rawHeaders)) return {};
  results.returnedHeaders = rawHeaders;
  results.statusText = StatusTextOf(rawHeaders);
  ReadHeaderLines(rawHeaders, results.returnedCookies, results.location);
  if (mergeCookies && results.cookies && !results.cookies->empty()) {
    // Both of the caller's variables end up holding the merged text.
    const Text merged = MergeCookies(*results.cookies, results.returnedCookies);
    results.returnedCookies = merged;
  }
  // An omitted out-parameter needs no copy of the body.
  if (results.responseBytes) *results.responseBytes = body;
  return BodyText(body, regex);
}

}  // namespace paperdl
