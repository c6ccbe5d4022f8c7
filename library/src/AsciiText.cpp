#include "AsciiText.h"

namespace OrvaneLib {

void UpperCaseAscii(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
}

}  // namespace OrvaneLib
