// Ports for the servers the network tests start on 127.0.0.1.
#pragma once

namespace tlx::test {

// A port on 127.0.0.1 that was free a moment ago (-1 when none could be had).
int freeLoopbackPort();
// Whether something accepts a TCP hand-shake on 127.0.0.1:port (a blocking connect, so a peer
// that resets at once still counts as up).
bool acceptsConnections(int port);

} // namespace tlx::test
