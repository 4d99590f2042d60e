// Qt's VNC platform (6.4) listens on every network interface and has no option to choose
// one. An administration console must not be reachable from the network without a password,
// so when it runs on that platform its listening socket is moved to the loopback interface.
#pragma once

#include <QtGlobal>

// Call before the application object is made, whatever the platform: which one Qt chose is
// known only once the application exists, and the VNC server is made while it is built.
void WatchVncServerSockets();
// Call once the application exists on any other platform.
void ForgetVncServerSockets();
// Call once the event loop has run (the server opens its socket then). Returns the port now
// served on 127.0.0.1, or 0 when no socket was moved.
quint16 MoveVncServerToLoopback();
