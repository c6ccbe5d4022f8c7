#include "DemoAccounts.h"
#include "SqliteDatabase.h"
#include "ServiceStore.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

using namespace OrvaneRefService;

namespace {

class ServiceStoreTest : public testing::Test {
protected:
    std::string DatabasePath() const { return folder_.Path() + "/service.db"; }

    static StoredActivity ActivityOn(const std::string& createdOn, const std::string& text) {
        StoredActivity activity;
        activity.source = "QRM";
        activity.activityText = text;
        activity.createdOn = createdOn;
        return activity;
    }

    OrvaneTest::TemporaryDirectory folder_;
};

TEST_F(ServiceStoreTest, ANewStoreHasTheSchemaAndTheDemoAccounts) {
    ServiceStore store(DatabasePath());
    EXPECT_EQ(store.SchemaVersion(), ServiceStore::kSchemaVersion);

    const struct {
        const char* idCode;
        const char* subStatus;
        bool loginRequired;
    } demos[] = {
        {Demo::kActiveAccount, "A", false},
        {Demo::kSuspendedAccount, "S", false},
        {Demo::kLoginRequiredAccount, "A", true},
        {Demo::kDashedAccount, "A", false},
    };
    for (const auto& demo : demos) {
        const auto account = store.FindAccount(demo.idCode);
        ASSERT_TRUE(account.has_value()) << demo.idCode;
        EXPECT_EQ(account->subStatus, demo.subStatus);
        EXPECT_EQ(account->loginRequired, demo.loginRequired);
    }
    EXPECT_FALSE(store.FindAccount("demo1001").has_value()) << "codes are matched exactly";
    EXPECT_TRUE(store.CheckPassword(Demo::kLoginRequiredAccount, Demo::kLoginUser, Demo::kLoginPassword));
}

TEST_F(ServiceStoreTest, ReopeningKeepsChangesAndDoesNotReseed) {
    {
        ServiceStore store(DatabasePath());
        store.SetStateList(Demo::kActiveAccount, "9");
        store.AddActivity(Demo::kActiveAccount, ActivityOn("2013-03-07 09:30:00", "kept"));
    }
    ServiceStore reopened(DatabasePath());
    EXPECT_EQ(reopened.FindAccount(Demo::kActiveAccount)->stateList, "9");
    EXPECT_EQ(reopened.ActivitiesBetween(Demo::kActiveAccount, "2000-01-01", "2099-12-31").size(), 1u);
}

TEST_F(ServiceStoreTest, RefusesADatabaseFromANewerService) {
    {
        SqliteDatabase db(DatabasePath());
        db.Execute("PRAGMA user_version = " + std::to_string(ServiceStore::kSchemaVersion + 1));
    }
    EXPECT_THROW(ServiceStore{DatabasePath()}, StoreError);
}

TEST_F(ServiceStoreTest, ActivitiesAreFilteredByDayInclusiveAndKeptInInsertionOrder) {
    ServiceStore store(DatabasePath());
    // Inserted out of time order on purpose: the reply keeps insertion order.
    store.AddActivity(Demo::kActiveAccount, ActivityOn("2013-03-08 00:00:00", "second day"));
    store.AddActivity(Demo::kActiveAccount, ActivityOn("2013-03-07 23:59:59", "first day, late"));
    store.AddActivity(Demo::kActiveAccount, ActivityOn("2013-03-06 12:00:00", "before"));
    store.AddActivity(Demo::kActiveAccount, ActivityOn("2013-03-09 00:00:00", "after"));
    store.AddActivity(Demo::kDashedAccount, ActivityOn("2013-03-07 12:00:00", "other account"));

    std::vector<std::string> texts;
    for (const auto& activity : store.ActivitiesBetween(Demo::kActiveAccount, "2013-03-07", "2013-03-08")) {
        texts.push_back(activity.activityText);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"second day", "first day, late"}));
}

TEST_F(ServiceStoreTest, SignInsOpenAndClose) {
    ServiceStore store(DatabasePath());
    const std::string account = Demo::kLoginRequiredAccount;
    EXPECT_FALSE(store.SignOut(account, "ann", "2013-03-07 09:00:00")) << "nobody is signed in yet";

    store.SignIn(account, "ann", "QRM", "2013-03-07 09:00:00");
    store.SignIn(account, "ann", "QRM", "2013-03-07 09:05:00");  // replaces her first sign-in
    EXPECT_EQ(store.OpenSignInsOfOthers(account, "bob"), 1);
    EXPECT_EQ(store.OpenSignInsOfOthers(account, "ann"), 0);

    EXPECT_TRUE(store.SignOut(account, "ann", "2013-03-07 10:00:00"));
    EXPECT_FALSE(store.SignOut(account, "ann", "2013-03-07 10:01:00"));
    EXPECT_EQ(store.OpenSignInsOfOthers(account, "bob"), 0);
}

TEST_F(ServiceStoreTest, PasswordsAreCheckedPerUser) {
    ServiceStore store(DatabasePath());
    store.AddNamedUser(Demo::kActiveAccount, "ann", "pa55");
    EXPECT_TRUE(store.CheckPassword(Demo::kActiveAccount, "ann", "pa55"));
    EXPECT_FALSE(store.CheckPassword(Demo::kActiveAccount, "ann", "pa56"));
    EXPECT_FALSE(store.CheckPassword(Demo::kActiveAccount, "bob", "pa55"));
    EXPECT_FALSE(store.CheckPassword(Demo::kDashedAccount, "ann", "pa55"));
    EXPECT_FALSE(store.CheckPassword(Demo::kActiveAccount, "ann", ""));

    SqliteDatabase db(DatabasePath());
    auto stored = db.Prepare("SELECT COUNT(*) FROM named_users WHERE password_hash LIKE '%pa55%'");
    stored.Step();
    EXPECT_EQ(stored.ColumnInt(0), 0) << "passwords are kept only as hashes";
}

}  // namespace
