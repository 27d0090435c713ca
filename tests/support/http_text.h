// Building exact HTTP responses for the scripted server, and reading request
// heads off the wire.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace paperdl::test {

// "HTTP/1.1 <status> <reason>\r\n", the header lines each followed by CRLF,
// "Content-Length: <size>" unless withLength is false, an empty line, the body.
std::string HttpResponse(int status, const std::vector<std::string>& headerLines,
                         const std::string& body, bool withLength = true);
// The same with "Transfer-Encoding: chunked" and the body sent as the chunks.
std::string ChunkedResponse(int status, const std::vector<std::string>& headerLines,
                            const std::vector<std::string>& chunks);
// A redirect (301, 302, 303, 307, 308) to location, with a short body.
std::string RedirectResponse(int status, const std::string& location);
// "OK", "Not Found", ... for the usual codes; "Status" for others.
std::string ReasonPhrase(int status);

// A parsed request head (request line and header lines, before the body).
struct RequestHead {
  std::string requestLine, method, target, version;
  std::vector<std::pair<std::string, std::string>> headers;
};

// Parses the head up to and without the terminating empty line; false when the
// request line is malformed.
bool ParseRequestHead(const std::string& head, RequestHead& out);
// The first value of name in headers (any letter case); empty when absent.
std::string HeaderValueOf(const std::vector<std::pair<std::string, std::string>>& headers,
                          const std::string& name);
bool HasHeaderNamed(const std::vector<std::pair<std::string, std::string>>& headers,
                    const std::string& name);

}  // namespace paperdl::test
