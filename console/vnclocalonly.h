// Qt's VNC platform (6.4) listens on every network interface and has no option to choose
// one. An administration console must not be reachable from the network without a password,
// so when it runs on that platform its listening socket is moved to the loopback interface.
#pragma once

// Call before the application object is made, when the platform is "vnc".
void WatchVncServerSockets();
// Call once the event loop has run (the server opens its socket then); false when no socket
// was moved.
bool MoveVncServerToLoopback();
