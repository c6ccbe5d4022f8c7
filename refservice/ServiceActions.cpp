#include "ServiceActions.h"

#include "ReplyDocument.h"

#include <cctype>

namespace OrvaneRefService {

namespace {

constexpr std::size_t kMaxStateListLength = 1000;

bool IsDigits(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
    }
    return true;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

std::string Accepted(const char* action, const std::string& message) {
    return ReplyDocument(std::string(action) + "Response", true, message).Finish();
}

}  // namespace

bool IsValidStateList(const std::string& stateList) {
    if (stateList.empty()) {
        return true;
    }
    if (stateList.size() > kMaxStateListLength) {
        return false;
    }
    std::size_t start = 0;
    while (true) {
        const auto comma = stateList.find(',', start);
        if (!IsDigits(stateList.substr(start, comma - start))) {
            return false;
        }
        if (comma == std::string::npos) {
            return true;
        }
        start = comma + 1;
    }
}

std::string StoredDayFromRequestDate(const std::string& fieldName, const std::string& date) {
    const std::string refusal = "The " + fieldName + " is not a date of the form MMDDYYYY.";
    if (date.size() != 8 || !IsDigits(date)) {
        throw ActionRefused(refusal);
    }
    const int month = std::stoi(date.substr(0, 2));
    const int day = std::stoi(date.substr(2, 2));
    const int year = std::stoi(date.substr(4, 4));
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        throw ActionRefused(refusal);
    }
    return date.substr(4, 4) + "-" + date.substr(0, 2) + "-" + date.substr(2, 2);
}

std::string ReplyDateFromStoredTime(const std::string& stored) {
    // YYYY-MM-DD HH:MM:SS -> MM-DD-YYYY HH:MM:SS
    if (stored.size() != 19) {
        return stored;
    }
    return stored.substr(5, 5) + "-" + stored.substr(0, 4) + stored.substr(10);
}

ServiceActions::ServiceActions(ServiceStore& store, ServiceClock clock) : store_(store), clock_(std::move(clock)) {}

Account ServiceActions::RequireAccount(const RequestDocument& request) {
    if (!request.Has("id_code")) {
        throw ActionRefused("The request carries no identification code.");
    }
    auto account = store_.FindAccount(request.Field("id_code"));
    if (!account) {
        throw ActionRefused("Unknown identification code.");
    }
    return *account;
}

Account ServiceActions::RequireActiveAccount(const RequestDocument& request) {
    Account account = RequireAccount(request);
    if (account.subStatus == "S") {
        throw ActionRefused("The account is suspended.");
    }
    if (account.subStatus != "A") {
        throw ActionRefused("The account is not active.");
    }
    return account;
}

StoredActivity ServiceActions::ActivityOf(const RequestDocument& request) {
    StoredActivity activity;
    activity.source = request.Field("source");
    activity.activityText = request.Field("activity_text");
    activity.ipAddress = request.Field("ip_address");
    activity.userAgent = request.Field("user_agent");
    activity.macAddress = request.Field("mac_address");
    activity.workstationName = request.Field("workstation_name");
    activity.userName = request.Field("user_name");
    activity.titleKey = request.Field("title_key");
    activity.updSource = request.Field("upd_source");
    activity.createdOn = FormatStoredTime(clock_());
    return activity;
}

std::string ServiceActions::GetRights(const RequestDocument& request) {
    const Account account = RequireAccount(request);
    const char* message = account.subStatus == "A"   ? "The account is active."
                          : account.subStatus == "S" ? "The account is suspended."
                                                     : "The account is not active.";
    return ReplyDocument("qrmGetRightsResponse", true, message)
        .Add("sub_status", account.subStatus)
        .Add("state_no", account.stateList)
        .Add("title_key", account.titleKey)
        .Add("max_users", std::to_string(account.maxUsers))
        .Add("login_required", account.loginRequired ? "true" : "false")
        .Finish();
}

std::string ServiceActions::GetStates(const RequestDocument& request) {
    const Account account = RequireActiveAccount(request);
    // The library leaves its state list alone when the service says NULL.
    return ReplyDocument("qrmGetStatesResponse", true, "States found.")
        .Add("state_no", account.stateList.empty() ? "NULL" : account.stateList)
        .Finish();
}

std::string ServiceActions::PutStates(const RequestDocument& request) {
    const Account account = RequireActiveAccount(request);
    const std::string stateList = request.Field("state_list");
    if (!IsValidStateList(stateList)) {
        throw ActionRefused("The state list must be comma-delimited numbers, such as 3,7,12.");
    }
    store_.SetStateList(account.idCode, stateList);
    return Accepted("qrmPutStates", "States saved.");
}

std::string ServiceActions::GetActivities(const RequestDocument& request) {
    const Account account = RequireActiveAccount(request);
    const std::string fromDay = StoredDayFromRequestDate("date_from", request.Field("date_from"));
    const std::string toDay = StoredDayFromRequestDate("date_to", request.Field("date_to"));
    if (fromDay > toDay) {
        throw ActionRefused("The date_from is later than the date_to.");
    }
    const auto activities = store_.ActivitiesBetween(account.idCode, fromDay, toDay);
    const std::string found = activities.size() == 1 ? " activity found." : " activities found.";
    ReplyDocument reply("qrmGetActivitiesResponse", true, std::to_string(activities.size()) + found);
    reply.Open("activities");
    for (const StoredActivity& activity : activities) {
        reply.Open("activity")
            .Add("activity_text", activity.activityText)
            .Add("ip_address", activity.ipAddress)
            .AddDecodedTwice("user_agent", activity.userAgent)
            .Add("mac_address", activity.macAddress)
            .AddDecodedTwice("workstation_name", activity.workstationName)
            .AddDecodedTwice("username", activity.userName)
            .Add("title_key", activity.titleKey)
            .Add("create_date", ReplyDateFromStoredTime(activity.createdOn))
            .AddDecodedTwice("upd_source", activity.updSource)
            .Close("activity");
    }
    reply.Close("activities");
    return reply.Finish();
}

std::string ServiceActions::PutActivity(const RequestDocument& request) {
    const Account account = RequireActiveAccount(request);
    if (account.loginRequired) {
        throw ActionRefused("This account requires a named login; use qrmLogin.");
    }
    store_.AddActivity(account.idCode, ActivityOf(request));
    return Accepted("qrmPutActivity", "Activity recorded.");
}

std::string ServiceActions::Login(const RequestDocument& request) {
    const Account account = RequireActiveAccount(request);
    const std::string userName = request.Field("login_username");
    if (userName.empty()) {
        throw ActionRefused("A login user name is required.");
    }
    if (account.loginRequired &&
        !store_.CheckPassword(account.idCode, userName, request.Field("login_password"))) {
        throw ActionRefused("The login user name or password is not valid.");
    }
    if (store_.OpenSignInsOfOthers(account.idCode, userName) >= account.maxUsers) {
        throw ActionRefused("All " + std::to_string(account.maxUsers) + " seats of the account are in use.");
    }
    const StoredActivity activity = ActivityOf(request);
    store_.SignIn(account.idCode, userName, activity.source, activity.createdOn);
    store_.AddActivity(account.idCode, activity);
    return Accepted("qrmLogin", "Signed in.");
}

std::string ServiceActions::Logout(const RequestDocument& request) {
    const Account account = RequireActiveAccount(request);
    const std::string userName = request.Field("login_username");
    if (userName.empty()) {
        throw ActionRefused("A login user name is required.");
    }
    const StoredActivity activity = ActivityOf(request);
    if (!store_.SignOut(account.idCode, userName, activity.createdOn)) {
        throw ActionRefused("That user is not signed in.");
    }
    store_.AddActivity(account.idCode, activity);
    return Accepted("qrmLogout", "Signed out.");
}

}  // namespace OrvaneRefService
