// The routes of the demo paper site, laid out like the real paper site.
#pragma once

#include "site_content.h"

namespace httplib {
class Server;
}

namespace paperdl::demo {

inline constexpr const char* kArticlePath = "/Index/article/aid/3927.html";
inline constexpr const char* kNotFoundBody =
    "<html><head><title>404 Not Found</title></head><body>404 Not Found</body></html>\n";

// Serves the home page at "/", the article page at kArticlePath and page n at
// "/books/<id>/<n>.jpg"; everything else is a 404 with kNotFoundBody.
// `site` must outlive the server. `logRequests` writes one line per request to stderr.
void AddSiteRoutes(httplib::Server* server, const SiteContent& site, bool logRequests);

}  // namespace paperdl::demo
