#include "ActivityLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

std::string FormatBlock(const OrvaneLib::ActivityRecord& record)
{
    return "Activity: " + record.activityText + "\r\n" +
           "Mac Address: " + record.macAddress + "\r\n" +
           "Workstation Name: " + record.workstationName + "\r\n" +
           "User Agent: " + record.userAgent + "\r\n" +
           "Title Key: " + record.titleKey + "\r\n" +
           "Ip Address: " + record.ipAddress + "\r\n" +
           "Update Source: " + record.updSource + "\r\n" +
           "Created On: " + record.createDate + "\r\n\n";
}

// What text-mode output stores for `text`: every line feed as CR LF.
std::string TextModeBytes(const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}

}  // namespace

QString ActivityLogPath(const QString& moduleFileName)
{
    return QDir(QFileInfo(moduleFileName).path()).filePath(QStringLiteral("Activity.log"));
}

std::string FormatActivityLog(const std::list<OrvaneLib::ActivityRecord>& activities)
{
    std::string text;
    for (const OrvaneLib::ActivityRecord& record : activities)
        text += FormatBlock(record);
    return TextModeBytes(text);
}

bool WriteActivityLogFile(const QString& path, const std::list<OrvaneLib::ActivityRecord>& activities)
{
    const UniqueFile file(std::fopen(QFile::encodeName(path).constData(), "wb"));
    if (!file)
        return false;
    const std::string bytes = FormatActivityLog(activities);
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    return true;
}
