#pragma once

#include <OrvaneLib/Responses.h>

#include <QString>

#include <list>
#include <string>

// Activity.log: one block of eight labelled lines per activity, written the
// way a text-mode file stores it (every line feed becomes CR LF, so each
// line ends in CR CR LF and each block is followed by CR LF).

// The path of Activity.log in the directory of the given executable.
QString ActivityLogPath(const QString& moduleFileName);

// The exact bytes that the log holds for these activities.
std::string FormatActivityLog(const std::list<OrvaneLib::ActivityRecord>& activities);

// Replaces the file at `path` with the log of these activities. Returns
// false, having written nothing, when the file cannot be opened.
bool WriteActivityLogFile(const QString& path, const std::list<OrvaneLib::ActivityRecord>& activities);
