#include "ServiceTestSupport.h"

#include <OrvaneLib/Signing.h>

namespace OrvaneRefServiceTest {

std::string Signed(const std::string& document) {
    return document + "\n" + OrvaneLib::SignDocument(document, OrvaneLib::SigningKey);
}

}  // namespace OrvaneRefServiceTest
