#include "ResponseOutput.h"

#include "JsonText.h"

namespace OrvaneCli {

namespace {

std::string JsonValue(const ViewField& field) {
    return field.kind == ViewField::Kind::Text ? JsonQuote(field.value) : field.value;
}

// "name":value pairs, each preceded by a comma.
std::string JsonMembers(const std::vector<ViewField>& fields) {
    std::string members;
    for (const ViewField& field : fields) {
        members += "," + JsonQuote(field.name) + ":" + JsonValue(field);
    }
    return members;
}

std::string JsonObject(const std::vector<ViewField>& fields) {
    const std::string members = JsonMembers(fields);
    return "{" + (members.empty() ? members : members.substr(1)) + "}";
}

std::string ServiceMessage(const ResponseView& view) {
    for (const ViewField& field : view.fields) {
        if (field.name == "message") {
            return field.value;
        }
    }
    return {};
}

}  // namespace

void PrintText(std::ostream& out, const ResponseView& view, bool withXml) {
    for (const ViewField& field : view.fields) {
        out << field.name << ": " << field.value << "\n";
    }
    if (view.hasActivities) {
        out << "activities: " << view.activities.size() << "\n";
        std::size_t number = 0;
        for (const auto& activity : view.activities) {
            out << "  activity " << ++number << " of " << view.activities.size() << "\n";
            for (const ViewField& field : activity) {
                out << "    " << field.name << ": " << field.value << "\n";
            }
        }
    }
    if (withXml) {
        out << "responseXml: " << view.responseXml << "\n";
    }
}

void PrintJson(std::ostream& out, const std::string& operation, const ResponseView& view,
               const OrvaneLib::OrvaneException* error) {
    out << "{\"operation\":" << JsonQuote(operation) << ",\"ok\":" << (error == nullptr ? "true" : "false");
    if (error != nullptr) {
        out << ",\"error\":{\"message\":" << JsonQuote(error->message) << ",\"code\":" << error->code << "}";
    }
    out << JsonMembers(view.fields);
    if (view.hasActivities) {
        out << ",\"activities\":[";
        for (std::size_t i = 0; i < view.activities.size(); ++i) {
            out << (i == 0 ? "" : ",") << JsonObject(view.activities[i]);
        }
        out << "]";
    }
    out << ",\"responseXml\":" << JsonQuote(view.responseXml) << "}\n";
}

void PrintError(std::ostream& out, const ResponseView& view, const OrvaneLib::OrvaneException& error) {
    out << "error: " << error.message << " (code " << error.code << ")\n";
    const std::string serviceMessage = ServiceMessage(view);
    if (!serviceMessage.empty()) {
        out << "service message: " << serviceMessage << "\n";
    }
}

}  // namespace OrvaneCli
