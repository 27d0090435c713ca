#include "app/site.h"

namespace paperdl {
namespace {

Text& SiteHost() {
  static Text host = PAPER_SITE_HOST;
  return host;
}

Text& BaseDirectory() {
  static Text folder;
  return folder;
}

}  // namespace

const Text& PaperSiteHost() {
  return SiteHost();
}

void SetPaperSiteHost(const Text& host) {
  SiteHost() = host;
}

Text InitialArticleAddress() {
  return "http://" + PaperSiteHost() + kArticleAddressPath;
}

Text HomePageAddress() {
  return "http://" + PaperSiteHost() + "/";
}

Text ImageAddressPrefix() {
  return "http://" + PaperSiteHost() + "/books/";
}

Text OutputBaseDirectory() {
  return BaseDirectory().empty() ? RunDirectory() : BaseDirectory();
}

void SetOutputBaseDirectory(const Text& folder) {
  BaseDirectory() = folder;
}

}  // namespace paperdl
