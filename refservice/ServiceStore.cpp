#include "ServiceStore.h"

#include "ConstantTimeEquals.h"
#include "DemoAccounts.h"

#include <OrvaneLib/Signing.h>

#include <array>

namespace OrvaneRefService {

namespace {

// Schema steps; step i brings the database from version i to version i + 1.
// A new step is appended here, never edited in place.
const std::array<const char*, ServiceStore::kSchemaVersion> kMigrations = {
    R"sql(
    CREATE TABLE accounts (
        id_code        TEXT PRIMARY KEY,
        sub_status     TEXT NOT NULL,
        title_key      TEXT NOT NULL DEFAULT '',
        max_users      INTEGER NOT NULL DEFAULT 1,
        login_required INTEGER NOT NULL DEFAULT 0,
        state_list     TEXT NOT NULL DEFAULT ''
    );
    CREATE TABLE activities (
        id               INTEGER PRIMARY KEY AUTOINCREMENT,
        id_code          TEXT NOT NULL REFERENCES accounts(id_code),
        source           TEXT NOT NULL,
        activity_text    TEXT NOT NULL,
        ip_address       TEXT NOT NULL,
        user_agent       TEXT NOT NULL,
        mac_address      TEXT NOT NULL,
        workstation_name TEXT NOT NULL,
        user_name        TEXT NOT NULL,
        title_key        TEXT NOT NULL,
        upd_source       TEXT NOT NULL,
        created_on       TEXT NOT NULL
    );
    CREATE INDEX activities_by_account ON activities(id_code, created_on);
    CREATE TABLE named_users (
        id_code        TEXT NOT NULL REFERENCES accounts(id_code),
        login_username TEXT NOT NULL,
        password_hash  TEXT NOT NULL,
        PRIMARY KEY (id_code, login_username)
    );
    CREATE TABLE sign_ins (
        id             INTEGER PRIMARY KEY AUTOINCREMENT,
        id_code        TEXT NOT NULL REFERENCES accounts(id_code),
        login_username TEXT NOT NULL,
        source         TEXT NOT NULL,
        signed_in_on   TEXT NOT NULL,
        signed_out_on  TEXT
    );
    )sql",
};

// Passwords are stored as an HMAC keyed by account and user, so the same
// password gives different stored values for different users.
std::string PasswordHash(const std::string& idCode, const std::string& userName, const std::string& password) {
    return OrvaneLib::SignDocument(password, "orvane-refservice/" + idCode + "/" + userName);
}

}  // namespace

ServiceStore::ServiceStore(const std::string& databasePath) : db_(databasePath) {
    Migrate();
    SeedDemoAccounts();
}

int ServiceStore::SchemaVersion() {
    auto statement = db_.Prepare("PRAGMA user_version");
    statement.Step();
    return static_cast<int>(statement.ColumnInt(0));
}

void ServiceStore::Migrate() {
    const int version = SchemaVersion();
    if (version > kSchemaVersion) {
        throw StoreError("database schema version " + std::to_string(version) +
                         " is newer than this service understands (" + std::to_string(kSchemaVersion) + ")");
    }
    for (int step = version; step < kSchemaVersion; ++step) {
        SqliteTransaction transaction(db_);
        db_.Execute(kMigrations[static_cast<std::size_t>(step)]);
        db_.Execute("PRAGMA user_version = " + std::to_string(step + 1));
        transaction.Commit();
    }
}

void ServiceStore::SeedDemoAccounts() {
    struct Seed {
        const char* idCode;
        const char* subStatus;
        const char* titleKey;
        std::int64_t maxUsers;
        bool loginRequired;
        const char* stateList;
    };
    const Seed seeds[] = {
        {Demo::kActiveAccount, "A", "ORV-STANDARD", 5, false, "3,7,12"},
        {Demo::kSuspendedAccount, "S", "ORV-STANDARD", 1, false, ""},
        {Demo::kLoginRequiredAccount, "A", "ORV-ENTERPRISE", 2, true, "1,2"},
        {Demo::kDashedAccount, "A", "ORV-KIOSK", 1, false, "21"},
    };
    SqliteTransaction transaction(db_);
    for (const Seed& seed : seeds) {
        db_.Prepare(
               "INSERT OR IGNORE INTO accounts (id_code, sub_status, title_key, max_users, login_required, state_list) "
               "VALUES (?, ?, ?, ?, ?, ?)")
            .Bind(1, std::string(seed.idCode))
            .Bind(2, std::string(seed.subStatus))
            .Bind(3, std::string(seed.titleKey))
            .Bind(4, seed.maxUsers)
            .Bind(5, std::int64_t{seed.loginRequired ? 1 : 0})
            .Bind(6, std::string(seed.stateList))
            .Run();
    }
    db_.Prepare("INSERT OR IGNORE INTO named_users (id_code, login_username, password_hash) VALUES (?, ?, ?)")
        .Bind(1, std::string(Demo::kLoginRequiredAccount))
        .Bind(2, std::string(Demo::kLoginUser))
        .Bind(3, PasswordHash(Demo::kLoginRequiredAccount, Demo::kLoginUser, Demo::kLoginPassword))
        .Run();
    transaction.Commit();
}

std::optional<Account> ServiceStore::FindAccount(const std::string& idCode) {
    auto statement = db_.Prepare(
        "SELECT id_code, sub_status, title_key, max_users, login_required, state_list FROM accounts WHERE id_code = ?");
    statement.Bind(1, idCode);
    if (!statement.Step()) {
        return std::nullopt;
    }
    Account account;
    account.idCode = statement.ColumnText(0);
    account.subStatus = statement.ColumnText(1);
    account.titleKey = statement.ColumnText(2);
    account.maxUsers = statement.ColumnInt(3);
    account.loginRequired = statement.ColumnInt(4) != 0;
    account.stateList = statement.ColumnText(5);
    return account;
}

void ServiceStore::SetStateList(const std::string& idCode, const std::string& stateList) {
    db_.Prepare("UPDATE accounts SET state_list = ? WHERE id_code = ?").Bind(1, stateList).Bind(2, idCode).Run();
}

void ServiceStore::AddActivity(const std::string& idCode, const StoredActivity& activity) {
    db_.Prepare(
           "INSERT INTO activities (id_code, source, activity_text, ip_address, user_agent, mac_address, "
           "workstation_name, user_name, title_key, upd_source, created_on) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .Bind(1, idCode)
        .Bind(2, activity.source)
        .Bind(3, activity.activityText)
        .Bind(4, activity.ipAddress)
        .Bind(5, activity.userAgent)
        .Bind(6, activity.macAddress)
        .Bind(7, activity.workstationName)
        .Bind(8, activity.userName)
        .Bind(9, activity.titleKey)
        .Bind(10, activity.updSource)
        .Bind(11, activity.createdOn)
        .Run();
}

std::vector<StoredActivity> ServiceStore::ActivitiesBetween(const std::string& idCode, const std::string& fromDay,
                                                            const std::string& toDay) {
    auto statement = db_.Prepare(
        "SELECT source, activity_text, ip_address, user_agent, mac_address, workstation_name, user_name, title_key, "
        "upd_source, created_on FROM activities "
        "WHERE id_code = ? AND substr(created_on, 1, 10) BETWEEN ? AND ? ORDER BY id");
    statement.Bind(1, idCode).Bind(2, fromDay).Bind(3, toDay);
    std::vector<StoredActivity> activities;
    while (statement.Step()) {
        StoredActivity activity;
        activity.source = statement.ColumnText(0);
        activity.activityText = statement.ColumnText(1);
        activity.ipAddress = statement.ColumnText(2);
        activity.userAgent = statement.ColumnText(3);
        activity.macAddress = statement.ColumnText(4);
        activity.workstationName = statement.ColumnText(5);
        activity.userName = statement.ColumnText(6);
        activity.titleKey = statement.ColumnText(7);
        activity.updSource = statement.ColumnText(8);
        activity.createdOn = statement.ColumnText(9);
        activities.push_back(std::move(activity));
    }
    return activities;
}

bool ServiceStore::CheckPassword(const std::string& idCode, const std::string& userName, const std::string& password) {
    auto statement = db_.Prepare("SELECT password_hash FROM named_users WHERE id_code = ? AND login_username = ?");
    statement.Bind(1, idCode).Bind(2, userName);
    // An unknown user costs the same hash as a known one.
    const std::string offered = PasswordHash(idCode, userName, password);
    const std::string stored = statement.Step() ? statement.ColumnText(0) : std::string();
    return !stored.empty() && ConstantTimeEquals(offered, stored);
}

std::int64_t ServiceStore::OpenSignInsOfOthers(const std::string& idCode, const std::string& userName) {
    auto statement = db_.Prepare(
        "SELECT COUNT(DISTINCT login_username) FROM sign_ins "
        "WHERE id_code = ? AND login_username <> ? AND signed_out_on IS NULL");
    statement.Bind(1, idCode).Bind(2, userName);
    statement.Step();
    return statement.ColumnInt(0);
}

void ServiceStore::SignIn(const std::string& idCode, const std::string& userName, const std::string& source,
                          const std::string& when) {
    SqliteTransaction transaction(db_);
    SignOut(idCode, userName, when);
    db_.Prepare("INSERT INTO sign_ins (id_code, login_username, source, signed_in_on) VALUES (?, ?, ?, ?)")
        .Bind(1, idCode)
        .Bind(2, userName)
        .Bind(3, source)
        .Bind(4, when)
        .Run();
    transaction.Commit();
}

bool ServiceStore::SignOut(const std::string& idCode, const std::string& userName, const std::string& when) {
    db_.Prepare(
           "UPDATE sign_ins SET signed_out_on = ? "
           "WHERE id_code = ? AND login_username = ? AND signed_out_on IS NULL")
        .Bind(1, when)
        .Bind(2, idCode)
        .Bind(3, userName)
        .Run();
    return db_.ChangedRows() > 0;
}

void ServiceStore::AddNamedUser(const std::string& idCode, const std::string& userName, const std::string& password) {
    db_.Prepare("INSERT OR REPLACE INTO named_users (id_code, login_username, password_hash) VALUES (?, ?, ?)")
        .Bind(1, idCode)
        .Bind(2, userName)
        .Bind(3, PasswordHash(idCode, userName, password))
        .Run();
}

}  // namespace OrvaneRefService
