#include "CurlHandleCache.h"

#include <array>
#include <cstddef>
#include <mutex>

namespace OrvaneLib {
namespace {

// The process-wide share. It lives until the end of the process; the
// thread's handles, which hold on to it, are cleaned up before it.
class ProcessShare {
public:
    ProcessShare() : share_(curl_share_init()) {
        if (!share_) return;
        curl_share_setopt(share_.get(), CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_.get(), CURLSHOPT_LOCKFUNC, &ProcessShare::Lock);
        curl_share_setopt(share_.get(), CURLSHOPT_UNLOCKFUNC, &ProcessShare::Unlock);
        curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }
    ProcessShare(const ProcessShare&) = delete;
    ProcessShare& operator=(const ProcessShare&) = delete;

    CURLSH* Get() const { return share_.get(); }

private:
    // libcurl asks for one kind of data at a time and never for the same
    // kind twice before releasing it.
    static void Lock(CURL* /*easy*/, curl_lock_data data, curl_lock_access /*access*/, void* self) noexcept {
        static_cast<ProcessShare*>(self)->MutexFor(data).lock();
    }
    static void Unlock(CURL* /*easy*/, curl_lock_data data, void* self) noexcept {
        static_cast<ProcessShare*>(self)->MutexFor(data).unlock();
    }

    std::mutex& MutexFor(curl_lock_data data) {
        const auto index = static_cast<std::size_t>(data);
        return mutexes_[index < mutexes_.size() ? index : 0];
    }

    struct ShareCleanup {
        void operator()(CURLSH* share) const { curl_share_cleanup(share); }
    };

    // Declared first, so destroyed last: cleaning up the share still locks.
    std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes_;
    std::unique_ptr<CURLSH, ShareCleanup> share_;
};

CURLSH* Share() {
    static ProcessShare share;
    return share.Get();
}

// The calling thread's handle, made at its first lease and cleaned up when
// the thread ends (for the main thread: before the process-wide share).
struct ThreadHandle {
    CurlEasyHandle easy;
    bool lent = false;
};

thread_local ThreadHandle threadHandle;

// Attaching again after a reset also restores the share's TLS session
// settings, which the reset returned to their defaults.
void AttachToShare(CURL* easy) {
    if (CURLSH* share = Share()) curl_easy_setopt(easy, CURLOPT_SHARE, share);
}

}  // namespace

CurlEasyLease::CurlEasyLease() {
    // The share first: it must be constructed, and so outlive, every handle.
    Share();
    if (!threadHandle.lent) {
        if (!threadHandle.easy) threadHandle.easy.reset(curl_easy_init());
        if (threadHandle.easy) {
            easy_ = threadHandle.easy.get();
            threadHandle.lent = true;
            holdsThreadHandle_ = true;
        }
    }
    if (easy_ == nullptr) {
        ownHandle_.reset(curl_easy_init());
        easy_ = ownHandle_.get();
    }
    if (easy_ != nullptr) AttachToShare(easy_);
}

CurlEasyLease::~CurlEasyLease() {
    if (!holdsThreadHandle_) return;
    // The options point into the finished call (headers, callbacks and their
    // data); the kept handle must not hold on to them.
    curl_easy_reset(easy_);
    threadHandle.lent = false;
}

}  // namespace OrvaneLib
