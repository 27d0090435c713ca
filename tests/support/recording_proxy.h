// A recording HTTP proxy for tests, built on ScriptServer:
//
//   ScriptServer target, proxy;
//   proxy.Handle(ForwardingProxy());
//   ... request target.Url("/a") through "127.0.0.1:" + proxy.Port() ...
//   proxy.Requests()[0].target == target.Url("/a")   // absolute form
//
// The proxy sends each request on to its target in origin form with
// "Connection: close", replies with the target's whole response and closes.
// A CONNECT request ("CONNECT 127.0.0.1:PORT HTTP/1.1") opens a tunnel.
// Only loopback targets are served (others get 502): nothing leaves the machine.
#pragma once

#include "tests/support/script_server.h"

namespace paperdl::test {

Handler ForwardingProxy();

}  // namespace paperdl::test
