// libFuzzer target: arbitrary bytes as the reply of every operation. A reply
// that does not parse raises OrvaneException; a crash, a leak, a sanitizer
// report or any other exception is a finding.
#include <OrvaneLib/OrvaneException.h>
#include <OrvaneLib/Responses.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

template <typename Response>
void ParseAs(const std::string& reply) {
    Response response;
    try {
        response.Parse(reply);
    } catch (const OrvaneLib::OrvaneException&) {
        // a reply that does not parse: the expected failure
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string reply(reinterpret_cast<const char*>(data), size);
    ParseAs<OrvaneLib::GetRightsResponse>(reply);
    ParseAs<OrvaneLib::GetStatesResponse>(reply);
    ParseAs<OrvaneLib::GetActivitiesResponse>(reply);
    ParseAs<OrvaneLib::PutStatesResponse>(reply);
    ParseAs<OrvaneLib::PutActivityResponse>(reply);
    ParseAs<OrvaneLib::LoginResponse>(reply);
    ParseAs<OrvaneLib::LogoutResponse>(reply);
    return 0;
}
