#pragma once

#include "SqliteDatabase.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace OrvaneRefService {

struct Account {
    std::string idCode;
    std::string subStatus;  // "A" active, "S" suspended
    std::string titleKey;
    std::int64_t maxUsers = 0;
    bool loginRequired = false;
    std::string stateList;  // comma-delimited state numbers, may be empty
};

struct StoredActivity {
    std::string source;
    std::string activityText;
    std::string ipAddress;
    std::string userAgent;
    std::string macAddress;
    std::string workstationName;
    std::string userName;
    std::string titleKey;
    std::string updSource;
    std::string createdOn;  // "YYYY-MM-DD HH:MM:SS", local time
};

// Accounts, activities, named users and sign-ins in one SQLite file. Opening
// creates or migrates the schema and adds any missing demo account.
class ServiceStore {
public:
    // The schema version this build creates and understands.
    static constexpr int kSchemaVersion = 1;

    explicit ServiceStore(const std::string& databasePath);

    int SchemaVersion();

    std::optional<Account> FindAccount(const std::string& idCode);
    void SetStateList(const std::string& idCode, const std::string& stateList);

    void AddActivity(const std::string& idCode, const StoredActivity& activity);
    // Activities of the account created on the days fromDay to toDay
    // ("YYYY-MM-DD", both included), oldest first.
    std::vector<StoredActivity> ActivitiesBetween(const std::string& idCode, const std::string& fromDay,
                                                  const std::string& toDay);

    bool CheckPassword(const std::string& idCode, const std::string& userName, const std::string& password);
    // Named users of the account, other than userName, that are signed in.
    std::int64_t OpenSignInsOfOthers(const std::string& idCode, const std::string& userName);
    // Opens a sign-in; an earlier open sign-in of the same user is closed first.
    void SignIn(const std::string& idCode, const std::string& userName, const std::string& source,
                const std::string& when);
    // Closes the user's open sign-in; false when there is none.
    bool SignOut(const std::string& idCode, const std::string& userName, const std::string& when);

    // Adds a named user (the password is kept only as a keyed hash).
    void AddNamedUser(const std::string& idCode, const std::string& userName, const std::string& password);

private:
    void Migrate();
    void SeedDemoAccounts();

    SqliteDatabase db_;
};

}  // namespace OrvaneRefService
