#include "tests/support/http_text.h"

#include <strings.h>

#include <cstdio>
#include <sstream>

namespace paperdl::test {

std::string ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 308:
      return "Permanent Redirect";
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    case 502:
      return "Bad Gateway";
    default:
      return "Status";
  }
}

static std::string StatusAndHeaders(int status, const std::vector<std::string>& headerLines) {
  std::string out = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
  for (const auto& line : headerLines) out += line + "\r\n";
  return out;
}

std::string HttpResponse(int status, const std::vector<std::string>& headerLines,
                         const std::string& body, bool withLength) {
  std::string out = StatusAndHeaders(status, headerLines);
  if (withLength) out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return out + "\r\n" + body;
}

std::string ChunkedResponse(int status, const std::vector<std::string>& headerLines,
                            const std::vector<std::string>& chunks) {
  std::string out = StatusAndHeaders(status, headerLines) + "Transfer-Encoding: chunked\r\n\r\n";
  for (const auto& chunk : chunks) {
    if (chunk.empty()) continue;  // an empty chunk would end the body early
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
    out += size + chunk + "\r\n";
  }
  return out + "0\r\n\r\n";
}

std::string RedirectResponse(int status, const std::string& location) {
  return HttpResponse(status, {"Location: " + location}, "moved");
}

bool ParseRequestHead(const std::string& head, RequestHead& out) {
  std::istringstream lines(head);
  std::string line;
  if (!std::getline(lines, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  out.requestLine = line;
  auto firstSpace = line.find(' ');
  auto lastSpace = line.rfind(' ');
  if (firstSpace == std::string::npos || lastSpace == firstSpace) return false;
  out.method = line.substr(0, firstSpace);
  out.target = line.substr(firstSpace + 1, lastSpace - firstSpace - 1);
  out.version = line.substr(lastSpace + 1);
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) break;
    auto colon = line.find(':');
    if (colon == std::string::npos) {
      out.headers.emplace_back(line, "");
      continue;
    }
    auto valueStart = line.find_first_not_of(' ', colon + 1);
    out.headers.emplace_back(line.substr(0, colon), valueStart == std::string::npos
                                                        ? std::string()
                                                        : line.substr(valueStart));
  }
  return true;
}

std::string HeaderValueOf(const std::vector<std::pair<std::string, std::string>>& headers,
                          const std::string& name) {
  for (const auto& [key, value] : headers)
    if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
  return {};
}

bool HasHeaderNamed(const std::vector<std::pair<std::string, std::string>>& headers,
                    const std::string& name) {
  for (const auto& header : headers)
    if (strcasecmp(header.first.c_str(), name.c_str()) == 0) return true;
  return false;
}

}  // namespace paperdl::test
