#pragma once

#include <expat.h>

#include <exception>
#include <memory>

namespace OrvaneLib {

// Holds the Expat parser of one parse and frees it on every path. It also
// keeps an exception thrown by a callback, since exceptions must not unwind
// through Expat's C frames: the callback records it and stops the parser, and
// the parse raises it again once Expat has returned.
class ExpatParserOwner {
public:
    explicit ExpatParserOwner(XML_Parser parser) : parser_(parser) {}

    XML_Parser Get() const { return parser_.get(); }

    bool HasFailed() const { return failure_ != nullptr; }
    void RecordFailure(std::exception_ptr failure) { failure_ = std::move(failure); }
    void RethrowFailure() const {
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    struct Free {
        void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
    };

    std::unique_ptr<XML_ParserStruct, Free> parser_;  // unique_ptr never frees a null handle
    std::exception_ptr failure_;
};

}  // namespace OrvaneLib
