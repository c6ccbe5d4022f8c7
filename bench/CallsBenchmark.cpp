// ServiceClient calls per second against the reference service over HTTPS
// on loopback, beside two raw libcurl loops on the same request: one easy
// handle reused for every call (HTTP/1.0 with "Connection: Keep-Alive"), and
// a fresh handle, connection and TLS handshake per call.
#include "BenchmarkSummary.h"

#include "ReferenceService.h"
#include "RequestLog.h"
#include "ServiceListeners.h"
#include "ServiceStore.h"
#include "TlsMaterial.h"

#include <OrvaneLib/OrvaneException.h>
#include <OrvaneLib/RequestDocuments.h>
#include <OrvaneLib/ServiceClient.h>

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

namespace {

constexpr char kServiceHost[] = "qrm-dev.orvane.com";
constexpr char kServiceRoot[] = "https://qrm-dev.orvane.com/qrmapps/web/services";
constexpr char kActiveAccount[] = "DEMO1001";

// The reference service on a free loopback port, with its own data folder,
// for the whole run. The library and the raw loops reach it under the
// development host name through ORVANE_CONNECT_TO and trust its authority
// through ORVANE_CA_BUNDLE, as scripts/run.sh does.
class LoopbackService {
public:
    LoopbackService() : folder_(MakeFolder()), discardedLog_(nullptr) {
        tls_ = OrvaneRefService::EnsureTlsMaterial(folder_, {"localhost", "127.0.0.1", kServiceHost});
        store_ = std::make_unique<OrvaneRefService::ServiceStore>((folder_ / "service.db").string());
        log_ = std::make_unique<OrvaneRefService::RequestLog>(discardedLog_, OrvaneRefService::CurrentLocalDateTime);
        service_ = std::make_unique<OrvaneRefService::ReferenceService>(*store_, OrvaneRefService::CurrentLocalDateTime);
        listeners_ = std::make_unique<OrvaneRefService::ServiceListeners>(*service_, *log_);
        port_ = listeners_->ListenHttps("127.0.0.1", 0, tls_);
        connectTo_ = std::string(kServiceHost) + ":443:127.0.0.1:" + std::to_string(port_);
        setenv("ORVANE_CONNECT_TO", connectTo_.c_str(), 1);
        setenv("ORVANE_CA_BUNDLE", tls_.caCertificate.c_str(), 1);
    }
    ~LoopbackService() {
        listeners_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    const std::string& ConnectTo() const { return connectTo_; }
    std::string CaBundle() const { return tls_.caCertificate.string(); }

private:
    static std::filesystem::path MakeFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
        return pattern;
    }

    std::filesystem::path folder_;
    std::ostream discardedLog_;  // no buffer: every line is dropped
    OrvaneRefService::TlsFiles tls_;
    std::unique_ptr<OrvaneRefService::ServiceStore> store_;
    std::unique_ptr<OrvaneRefService::RequestLog> log_;
    std::unique_ptr<OrvaneRefService::ReferenceService> service_;
    std::unique_ptr<OrvaneRefService::ServiceListeners> listeners_;
    int port_ = 0;
    std::string connectTo_;
};

LoopbackService& Service() {
    static LoopbackService service;
    return service;
}

OrvaneLib::GetRightsRequest RightsRequest() {
    OrvaneLib::GetRightsRequest request;
    request.source = "QRM";
    request.idCode = kActiveAccount;
    return request;
}

// ---- The library ---------------------------------------------------------------

void ServiceClientGetRights(benchmark::State& state) {
    Service();
    OrvaneLib::ConnectionSettings settings;
    settings.serviceUrl = kServiceRoot;
    OrvaneLib::ServiceClient client(settings);
    const OrvaneLib::GetRightsRequest request = RightsRequest();
    for (auto _ : state) {
        OrvaneLib::GetRightsResponse response;
        try {
            client.GetRights(request, response);
        } catch (const OrvaneLib::OrvaneException& failure) {
            state.SkipWithError(failure.message.c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ServiceClientGetRights)->UseRealTime();

// ---- Raw libcurl -----------------------------------------------------------------

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Easy = std::unique_ptr<CURL, EasyCleanup>;
using Slist = std::unique_ptr<curl_slist, SlistFree>;

std::size_t CollectReply(char* data, std::size_t size, std::size_t count, void* reply) {
    static_cast<std::string*>(reply)->append(data, size * count);
    return size * count;
}

Slist List(std::initializer_list<std::string> lines) {
    curl_slist* list = nullptr;
    for (const std::string& line : lines) list = curl_slist_append(list, line.c_str());
    return Slist(list);
}

// The same signed GetRights request the client posts.
struct RawRequest {
    std::string url = std::string(kServiceRoot) + "/qrmGetRights";
    std::string body;
    std::string reply;
    Slist connectTo = List({Service().ConnectTo()});
    std::string caBundle = Service().CaBundle();

    RawRequest() {
        OrvaneLib::RequestParameters parameters;
        OrvaneLib::BuildRequestParameters(RightsRequest(), parameters);
        body = parameters["HttpRequestString"];
    }

    void Apply(CURL* easy, curl_slist* headers) {
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(easy, CURLOPT_CONNECT_TO, connectTo.get());
        curl_easy_setopt(easy, CURLOPT_CAINFO, caBundle.c_str());
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CollectReply);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &reply);
    }

    bool Perform(CURL* easy) {
        reply.clear();
        long status = 0;
        return curl_easy_perform(easy) == CURLE_OK &&
               curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status == 200 &&
               reply.find("<statuscode>1</statuscode>") != std::string::npos;
    }
};

void RawCurlReusedHandle(benchmark::State& state) {
    RawRequest request;
    const Slist headers = List({"Content-type: application/xml", "Connection: Keep-Alive", "Expect:"});
    const Easy easy(curl_easy_init());
    request.Apply(easy.get(), headers.get());
    for (auto _ : state) {
        if (!request.Perform(easy.get())) {
            state.SkipWithError("the call failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RawCurlReusedHandle)->UseRealTime();

void RawCurlFreshHandshake(benchmark::State& state) {
    RawRequest request;
    const Slist headers = List({"Content-type: application/xml", "Expect:"});
    for (auto _ : state) {
        const Easy easy(curl_easy_init());
        request.Apply(easy.get(), headers.get());
        if (!request.Perform(easy.get())) {
            state.SkipWithError("the call failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RawCurlFreshHandshake)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    OrvaneBench::Summary summary;
    summary.ratios = {
        {"ServiceClient vs raw libcurl, one reused handle", "ServiceClientGetRights/real_time",
         "RawCurlReusedHandle/real_time", 0.8},
        {"ServiceClient vs raw libcurl, fresh handshake per call", "ServiceClientGetRights/real_time",
         "RawCurlFreshHandshake/real_time", 5.0},
    };
    const int result = OrvaneBench::RunBenchmarks(argc, argv, summary);
    curl_global_cleanup();
    return result;
}
