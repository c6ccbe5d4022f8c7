#pragma once

#include <QString>

#include <string>

// The library carries texts as byte strings; the dialog stores them as
// UTF-8 in both directions, so every byte sequence that is valid UTF-8
// passes through a box unchanged.
inline QString ToQString(const std::string& bytes) { return QString::fromStdString(bytes); }

inline std::string ToBytes(const QString& text) { return text.toStdString(); }
