// The parser framework: callbacks, external entities, parse failures and
// exceptions thrown by callbacks.
#include <OrvaneLib/ExpatHandler.h>
#include <OrvaneLib/OrvaneException.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

using namespace OrvaneLib;

namespace {

// Writes every callback as one line; adjacent text runs are joined, since
// how Expat splits a text into runs is its own business.
class RecordingHandler : public CExpatHandler {
public:
    std::vector<std::string> events;
    bool ownerPassed = false;

    void OnStartElement(const char* name, const char** attributes) override {
        std::string event = std::string("start ") + name;
        for (const char** a = attributes; *a != nullptr; a += 2) {
            event += std::string(" ") + a[0] + "=" + a[1];
        }
        Record(event);
    }
    void OnEndElement(const char* name) override { Record(std::string("end ") + name); }
    void OnCharacterData(const char* data, std::int32_t length) override {
        const std::string text(data, static_cast<std::size_t>(length));
        if (!events.empty() && events.back().rfind("text ", 0) == 0) {
            events.back() += text;
        } else {
            Record("text " + text);
        }
    }
    void OnProcessingInstruction(const char* target, const char* data) override {
        Record(std::string("pi ") + target + " " + data);
    }
    int OnExternalEntityRef(ExpatParserOwner* parser, const char* context, const char* base,
                            const char* systemId, const char* publicId) override {
        ownerPassed = parser != nullptr;
        Record(std::string("entity ") + (systemId ? systemId : "(none)"));
        return CExpatHandler::OnExternalEntityRef(parser, context, base, systemId, publicId);
    }

protected:
    virtual void Record(const std::string& event) { events.push_back(event); }
};

void ExpectUnknownError(CExpatHandler& handler, const std::string& document) {
    try {
        ParseDocument(handler, document);
        ADD_FAILURE() << "no exception for: " << document;
    } catch (const OrvaneException& e) {
        EXPECT_EQ(e.message, "Unknown Error");
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(e.detail, "");
    }
}

}  // namespace

TEST(ParseDocument, DeliversTheCallbacksInDocumentOrder) {
    RecordingHandler handler;
    ParseDocument(handler,
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                  "<reply kind=\"x\" n=\"1\"><!-- a comment --><a>1 &amp; 2<![CDATA[<b>]]>\n3</a>"
                  "<?target some data?><b/></reply>");
    const std::vector<std::string> expected = {
        "start reply kind=x n=1", "start a", "text 1 & 2<b>\n3", "end a",
        "pi target some data",    "start b", "end b",            "end reply",
    };
    EXPECT_EQ(handler.events, expected);
}

TEST(ParseDocument, DeliversTextAsUtf8WhateverTheDeclaredEncoding) {
    RecordingHandler handler;
    ParseDocument(handler, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xE9</a>");
    ASSERT_EQ(handler.events.size(), 3u);
    EXPECT_EQ(handler.events[1], "text caf\xC3\xA9");
}

TEST(ParseDocument, TheBaseHandlerPassesOverEverything) {
    CExpatHandler handler;
    EXPECT_NO_THROW(ParseDocument(handler, "<r a=\"1\"><?pi x?><x>text</x></r>"));
}

TEST(ParseDocument, ExternalEntitiesAreNeverFetched) {
    // A real file, so fetching it would show in the text.
    const std::string path = testing::TempDir() + "orvane_external_entity.txt";
    std::ofstream(path) << "FETCHED";
    const std::string uri = "file://" + path;

    RecordingHandler handler;
    ParseDocument(handler, "<?xml version=\"1.0\"?><!DOCTYPE r SYSTEM \"" + uri +
                               "\" [<!ENTITY ext SYSTEM \"" + uri + "\">]><r>a&ext;b</r>");
    const std::vector<std::string> expected = {
        "entity " + uri,  // the external subset of the DOCTYPE
        "start r", "text a", "entity " + uri, "text b", "end r"};
    EXPECT_EQ(handler.events, expected);
    EXPECT_TRUE(handler.ownerPassed);
    std::remove(path.c_str());
}

TEST(ParseDocument, ADocumentThatDoesNotParseRaisesUnknownError) {
    const std::string documents[] = {
        "",
        "   ",
        "Service Unavailable",
        "<r>",
        "<r><a>text</r>",
        "<r><a",
        "<r/>trailing text",
        "<r/><r/>",
        std::string("<r>a\0b</r>", 10),
        "<?xml version=\"1.0\" encoding=\"NO-SUCH-ENCODING\"?><r/>",
        "<r>&undefined;</r>",
        "<r a=\"1\" a=\"2\"/>",
    };
    for (const std::string& document : documents) {
        RecordingHandler handler;
        ExpectUnknownError(handler, document);
    }
}

namespace {

// Throws from the callback that records `throwAt`, then keeps recording.
template <typename Exception>
class ThrowingHandler : public RecordingHandler {
public:
    explicit ThrowingHandler(std::string throwAt) : throwAt_(std::move(throwAt)) {}

protected:
    void Record(const std::string& event) override {
        RecordingHandler::Record(event);
        if (event == throwAt_) throw Exception();
    }

private:
    std::string throwAt_;
};

struct Boom : std::runtime_error {
    Boom() : std::runtime_error("boom") {}
};

const char kThrowingDocument[] =
    "<!DOCTYPE r [<!ENTITY ext SYSTEM \"none.txt\">]>"
    "<r><a>x</a><?pi data?><b>&ext;</b><c>y</c></r>";

}  // namespace

// An exception from a callback stops the parse and is raised again once Expat
// has returned; no later callback reaches the handler.
TEST(ParseDocument, AnExceptionFromACallbackIsRaisedAfterExpatReturns) {
    const struct {
        const char* throwAt;
        std::size_t eventsSeen;
    } cases[] = {
        {"start a", 2}, {"text x", 3}, {"end a", 4}, {"pi pi data", 5}, {"entity none.txt", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.throwAt);
        ThrowingHandler<std::bad_alloc> outOfMemory(c.throwAt);
        EXPECT_THROW(ParseDocument(outOfMemory, kThrowingDocument), std::bad_alloc);
        EXPECT_EQ(outOfMemory.events.size(), c.eventsSeen);
        EXPECT_EQ(outOfMemory.events.back(), c.throwAt);

        ThrowingHandler<Boom> failing(c.throwAt);
        EXPECT_THROW(ParseDocument(failing, kThrowingDocument), Boom);
        EXPECT_EQ(failing.events.size(), c.eventsSeen);
    }
}

TEST(ParseDocument, AHandlerCanBeUsedForASecondParse) {
    RecordingHandler handler;
    ExpectUnknownError(handler, "<r>");
    handler.events.clear();
    ParseDocument(handler, "<s/>");
    EXPECT_EQ(handler.events, (std::vector<std::string>{"start s", "end s"}));
}
