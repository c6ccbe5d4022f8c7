#pragma once

#include <curl/curl.h>

#include <memory>

namespace OrvaneLib {

struct CurlEasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyCleanup>;

// What libcurl keeps from one call to the next, so that later calls skip the
// DNS lookup, the TCP connection and the TLS handshake:
// - one share for the whole process with the TLS sessions and DNS answers,
//   guarded by a mutex per kind of data, so that threads may call at once;
// - one easy handle per thread, which keeps that thread's open connections.
// Open connections stay with their thread: libcurl does not support one
// connection cache used by concurrent threads (CURL_LOCK_DATA_CONNECT in a
// share), while a handle's own cache is safe. Before reusing a connection
// libcurl checks that the server has not closed it, and opens a new one if
// it has.
//
// A lease lends out the calling thread's handle, with default options and
// attached to the share, and resets it when it ends. Should that handle be lent out already (a call
// made from inside a call), the lease holds a handle of its own instead.
class CurlEasyLease {
public:
    CurlEasyLease();
    ~CurlEasyLease();
    CurlEasyLease(const CurlEasyLease&) = delete;
    CurlEasyLease& operator=(const CurlEasyLease&) = delete;

    // Null when libcurl could not create a handle.
    CURL* Get() const { return easy_; }

private:
    CurlEasyHandle ownHandle_;  // only when the thread's handle is lent out
    CURL* easy_ = nullptr;
    bool holdsThreadHandle_ = false;
};

}  // namespace OrvaneLib
