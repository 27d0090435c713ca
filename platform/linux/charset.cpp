// DecodeCharset: a page's bytes in the charset it declares, as code page 936.
// iconv decodes into UTF-16; the last step is the same conversion to code page
// 936 that every wide string goes through, so missing characters become "?".
#include <iconv.h>

#include <cerrno>
#include <map>
#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace platform {
namespace {

// Web names that iconv lacks or reads differently from browsers and Windows.
const std::map<std::string, std::string, std::less<>>& Aliases() {
  static const std::map<std::string, std::string, std::less<>> aliases = {
      {"x-gbk", "CP936"},          {"gbk", "CP936"},
      {"gb2312", "CP936"},         {"x-gb2312", "CP936"},
      {"csgb2312", "CP936"},       {"x-sjis", "CP932"},
      {"shift_jis", "CP932"},      {"shift-jis", "CP932"},
      {"sjis", "CP932"},           {"windows-31j", "CP932"},
      {"x-big5", "CP950"},         {"big5", "CP950"},
      {"cn-big5", "CP950"},        {"x-euc-jp", "EUC-JP"},
      {"euc-kr", "CP949"},         {"ks_c_5601-1987", "CP949"},
      {"iso-8859-1", "CP1252"},    {"latin1", "CP1252"},
      {"us-ascii", "CP1252"},      {"ascii", "CP1252"},
      {"unicode", "UTF-16LE"},     {"utf-16", "UTF-16LE"},
      {"unicodefffe", "UTF-16BE"}, {"windows-874", "CP874"},
  };
  return aliases;
}

// Letters, digits and a few punctuation marks; nothing that iconv would read as
// a conversion suffix ("//IGNORE").
bool IsPlainName(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (unsigned char c : name) {
    bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
              std::string_view("-_.:()+").find(static_cast<char>(c)) != std::string_view::npos;
    if (!ok) return false;
  }
  return true;
}

std::string ConverterName(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  auto alias = Aliases().find(lower);
  return alias != Aliases().end() ? alias->second : std::string(name);
}

// Undecodable bytes become U+FFFD, one per byte; a cut-off sequence at the end, one.
std::u16string DecodeToUtf16(iconv_t converter, std::string_view bytes) {
  std::u16string wide(bytes.size() + 16, u'\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::size_t produced = 0;
  while (inLeft > 0) {
    char* out = reinterpret_cast<char*>(wide.data() + produced);
    std::size_t outLeft = (wide.size() - produced) * sizeof(char16_t);
    std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    produced = wide.size() - outLeft / sizeof(char16_t);
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      wide.resize(wide.size() * 2);
      continue;
    }
    if (produced == wide.size()) wide.resize(wide.size() * 2);
    wide[produced++] = u'\uFFFD';
    if (errno != EILSEQ) break;
    ++in;
    --inLeft;
  }
  wide.resize(produced);
  return wide;
}

// The usual page, valid and made of characters code page 936 has, in one pass
// without the UTF-16 step. Anything else (a bad byte, a missing character, a
// byte-order mark) makes it give up, leaving the careful way to do the work.
bool ConvertDirectly(std::string_view bytes, const std::string& name, std::string& out) {
  iconv_t converter = iconv_open("CP936", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  out.resize(bytes.size() + 16);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::size_t produced = 0;
  bool done = false;
  for (;;) {
    char* to = out.data() + produced;
    std::size_t outLeft = out.size() - produced;
    std::size_t result = iconv(converter, &in, &inLeft, &to, &outLeft);
    produced = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) {
      done = iconv(converter, nullptr, nullptr, &to, &outLeft) != static_cast<std::size_t>(-1);
      produced = out.size() - outLeft;
      break;
    }
    if (errno != E2BIG) break;
    out.resize(out.size() * 2);
  }
  iconv_close(converter);
  out.resize(done ? produced : 0);
  return done;
}

}  // namespace

bool DecodeCharset(std::string_view bytes, std::string_view charsetName, std::string& out) {
  out.clear();
  if (!IsPlainName(charsetName)) return false;
  const std::string name = ConverterName(charsetName);
  if (ConvertDirectly(bytes, name, out)) return true;
  iconv_t converter = iconv_open("UTF-16LE", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::u16string wide = DecodeToUtf16(converter, bytes);
  iconv_close(converter);
  // A byte-order mark tells the charset; it is no part of the text.
  if (!wide.empty() && wide.front() == u'\uFEFF') wide.erase(0, 1);
  if (wide.empty()) return true;
  // Two bytes per UTF-16 unit are the most code page 936 needs: one pass, no sizing.
  const int units = static_cast<int>(wide.size());
  out.resize(wide.size() * 2);
  const int written =
      WideCharToMultiByte(kCodePage936, 0, wide.data(), units, out.data(), units * 2);
  out.resize(written);
  return true;
}

}  // namespace platform
