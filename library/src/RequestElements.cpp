#include "RequestElements.h"

#include <OrvaneLib/RequestDocuments.h>

namespace OrvaneLib {
namespace {

std::string UpToFirstNul(const std::string& value) { return value.substr(0, value.find('\0')); }

std::string EscapeMarkup(const std::string& value) {
    std::string escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// Ends the section before the ">" of every "]]>" and opens a new one for it.
std::string SplitCdataEnd(const std::string& value) {
    static const std::string end = "]]>";
    std::string split;
    split.reserve(value.size());
    std::size_t from = 0;
    for (std::size_t at = value.find(end); at != std::string::npos; at = value.find(end, from)) {
        split.append(value, from, at - from);
        split += "]]]]><![CDATA[>";
        from = at + end.size();
    }
    split.append(value, from, std::string::npos);
    return split;
}

void AppendElement(std::string& document, const char* name, const std::string& content) {
    document += '<';
    document += name;
    document += '>';
    document += content;
    document += "</";
    document += name;
    document += '>';
}

}  // namespace

void AppendPlainElement(std::string& document, const char* name, const std::string& value) {
    AppendElement(document, name, EscapeMarkup(UpToFirstNul(value)));
}

void AppendEscapedElement(std::string& document, const char* name, const std::string& value) {
    std::string escaped = UpToFirstNul(value);
    XmlEscape(escaped);
    AppendElement(document, name, escaped);
}

void AppendCdataElement(std::string& document, const char* name, const std::string& value) {
    AppendElement(document, name, "<![CDATA[" + SplitCdataEnd(UpToFirstNul(value)) + "]]>");
}

void AppendFlagElement(std::string& document, const char* name, bool flag) {
    AppendElement(document, name, flag ? "true" : "false");
}

void AppendActivityElements(std::string& document, const ActivityFields& fields) {
    AppendPlainElement(document, "activity_text", fields.activityText);
    AppendPlainElement(document, "ip_address", fields.ipAddress);
    AppendEscapedElement(document, "user_agent", fields.userAgent);
    AppendPlainElement(document, "mac_address", fields.macAddress);
    AppendEscapedElement(document, "workstation_name", fields.workstationName);
    AppendEscapedElement(document, "user_name", fields.userName);
    AppendPlainElement(document, "title_key", fields.titleKey);
    AppendEscapedElement(document, "upd_source", fields.updSource);
}

}  // namespace OrvaneLib
