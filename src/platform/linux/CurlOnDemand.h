#pragma once

// libcurl opened while the program starts, rather than by the dynamic loader before
// `main`: with its TLS, SSH, LDAP and Kerberos libraries it is 26 of the desktop
// program's shared objects and a third of the time it took to reach `main`.
//
// A program linked with CurlOnDemand.cpp (instead of libcurl itself) gets every curl
// function the engine calls from here; each passes the call on to the real libcurl,
// opened on first use or, sooner, by `startOpeningCurl`.

namespace lexoria {

// Opens libcurl and starts it (curl_global_init) on a thread of its own, so that the
// loading goes on beside the program's own start. Later calls do nothing. A curl call
// made before the loading ends waits for it.
void startOpeningCurl();

}  // namespace lexoria
