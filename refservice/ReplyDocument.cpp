#include "ReplyDocument.h"

namespace OrvaneRefService {

namespace {

// The five entities, which the library's XmlUnescape reverses.
std::string EscapeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c; break;
        }
    }
    return out;
}

}  // namespace

std::string EscapeXmlText(std::string_view text) {
    std::string out = EscapeEntities(text);
    for (auto at = out.find('\r'); at != std::string::npos; at = out.find('\r', at)) {
        out.replace(at, 1, "&#13;");
    }
    return out;
}

std::string EscapeForDoubleDecoding(std::string_view text) { return EscapeXmlText(EscapeEntities(text)); }

ReplyDocument::ReplyDocument(std::string rootName, bool accepted, std::string_view message)
    : rootName_(std::move(rootName)) {
    text_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + rootName_ + ">";
    Add("statuscode", accepted ? "1" : "0");
    AddDecodedTwice("message", message);
}

ReplyDocument& ReplyDocument::Add(std::string_view name, std::string_view text) {
    Open(name);
    text_ += EscapeXmlText(text);
    return Close(name);
}

ReplyDocument& ReplyDocument::AddDecodedTwice(std::string_view name, std::string_view text) {
    Open(name);
    text_ += EscapeForDoubleDecoding(text);
    return Close(name);
}

ReplyDocument& ReplyDocument::Open(std::string_view name) {
    text_ += '<';
    text_ += name;
    text_ += '>';
    return *this;
}

ReplyDocument& ReplyDocument::Close(std::string_view name) {
    text_ += "</";
    text_ += name;
    text_ += '>';
    return *this;
}

std::string ReplyDocument::Finish() {
    Close(rootName_);
    return std::move(text_);
}

}  // namespace OrvaneRefService
