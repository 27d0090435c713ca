// The paper site and the base of the output folder: built in, replaceable from
// the command line (and by tests that talk to a loopback site).
#pragma once

#include "textutil/text.h"

namespace paperdl {

// The article page of one paper on the site, fragment included.
inline constexpr const char* kArticleAddressPath = "/Index/article/aid/3927.html#p=1";

// The host (and optional ":port") of the paper site, without scheme or slashes.
const Text& PaperSiteHost();
void SetPaperSiteHost(const Text& host);

// "http://" + host + ArticleAddressPath: the address box's first text.
Text InitialArticleAddress();
// "http://" + host + "/": what the open-site button opens.
Text HomePageAddress();
// "http://" + host + "/books/": every image address starts with it.
Text ImageAddressPrefix();

// The folder the paper's folder is made in: the program's own folder unless replaced.
Text OutputBaseDirectory();
// Replaces the base folder; empty text goes back to the program's own folder.
void SetOutputBaseDirectory(const Text& folder);

}  // namespace paperdl
