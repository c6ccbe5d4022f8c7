#include "RequestSignature.h"
#include "ServiceTestSupport.h"

#include <OrvaneLib/Signing.h>

#include <gtest/gtest.h>

using namespace OrvaneRefService;
using OrvaneRefServiceTest::Signed;

namespace {

const std::string kDocument =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getrights><source>QRM</source><id_code>DEMO1001</id_code></getrights>";

TEST(RequestSignature, SplitsAtTheLastLineFeed) {
    const SignedBody parts = SplitSignedBody("line one\nline two\nSIGNATURE");
    EXPECT_EQ(parts.document, "line one\nline two");
    EXPECT_EQ(parts.signature, "SIGNATURE");
}

TEST(RequestSignature, ChecksTheLibrarysBodies) {
    OrvaneLib::PutActivityRequest request;
    request.idCode = "DEMO1001";
    request.activityText = "first line\nsecond line";  // a line feed inside the document
    EXPECT_EQ(CheckSignature(OrvaneRefServiceTest::SignedBodyOf(request)), SignatureCheck::Valid);
}

TEST(RequestSignature, RefusesWhatWasNotSignedWithTheKey) {
    std::string signedBody = Signed(kDocument);
    std::string alteredDocument = signedBody;
    alteredDocument.replace(alteredDocument.find("DEMO1001"), 8, "DEMO2002");
    std::string alteredSignature = signedBody;
    alteredSignature[alteredSignature.size() - 2] = alteredSignature[alteredSignature.size() - 2] == 'A' ? 'B' : 'A';

    const struct {
        const char* name;
        std::string body;
        SignatureCheck expected;
    } cases[] = {
        {"no line feed", kDocument, SignatureCheck::Missing},
        {"nothing after the line feed", kDocument + "\n", SignatureCheck::Missing},
        {"empty body", "", SignatureCheck::Missing},
        {"document altered", alteredDocument, SignatureCheck::Wrong},
        {"signature altered", alteredSignature, SignatureCheck::Wrong},
        {"signature cut short", signedBody.substr(0, signedBody.size() - 1), SignatureCheck::Wrong},
        {"line feed after the signature", signedBody + "\n", SignatureCheck::Missing},
        {"signature of another key", kDocument + "\n" + OrvaneLib::SignDocument(kDocument, "other key"),
         SignatureCheck::Wrong},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckSignature(c.body), c.expected) << c.name;
    }
}

}  // namespace
