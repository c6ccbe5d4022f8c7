#pragma once

// A one-time snapshot of the workstation's identity (IPv4 address, MAC
// address, user and computer name) plus four proxy values read from the
// environment. Create it on the heap, fill it with Retrieve(), read the
// fields, delete it.
class UserInfo {
public:
    UserInfo();
    virtual ~UserInfo();

    UserInfo(const UserInfo&) = delete;
    UserInfo& operator=(const UserInfo&) = delete;

    // Fills every field. Returns false only when the socket library cannot be
    // started, and then touches nothing; facts that cannot be found leave
    // their fields empty or null.
    bool Retrieve();

    char ipAddress[16];   // dotted IPv4 text, or empty
    char macAddress[13];  // 12 lowercase hex digits, the address digits, or empty

    // Owned NUL-terminated copies (new[]/delete[]), or null when not set.
    char* proxyServer;
    char* proxyPort;
    char* proxyUser;
    char* proxyPassword;
    char* userName;
    char* workstationName;
};
