#pragma once

#include <OrvaneLib/Requests.h>

#include <string>

namespace OrvaneLib {

// Writers for one element of a request document. Every value is taken up to
// its first NUL byte. An empty value still gives both tags.

// "<name>" + value + "</name>", with &, < and > escaped once, so that a value
// cannot end the element or add markup. Other values go out byte for byte.
void AppendPlainElement(std::string& document, const char* name, const std::string& value);

// As plain, but the value passes through XmlEscape (the quote is escaped twice).
void AppendEscapedElement(std::string& document, const char* name, const std::string& value);

// "<name><![CDATA[" + value + "]]></name>"; a "]]>" inside the value is split
// across two sections, so a parser reads back exactly the value.
void AppendCdataElement(std::string& document, const char* name, const std::string& value);

// "<name>true</name>" or "<name>false</name>".
void AppendFlagElement(std::string& document, const char* name, bool flag);

// activity_text, ip_address, user_agent, mac_address, workstation_name,
// user_name, title_key and upd_source, in that order.
void AppendActivityElements(std::string& document, const ActivityFields& fields);

}  // namespace OrvaneLib
