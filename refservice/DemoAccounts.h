#pragma once

// The demo accounts that every new store is seeded with. The README, the
// run script and the tests use them by these codes.
namespace OrvaneRefService::Demo {

inline constexpr char kActiveAccount[] = "DEMO1001";         // status A, states 3,7,12
inline constexpr char kSuspendedAccount[] = "DEMO2002";      // status S
inline constexpr char kLoginRequiredAccount[] = "DEMO3003";  // status A, named login required
inline constexpr char kDashedAccount[] = "KW-4004-17";       // status A; sent as typed with source KWA

// The named user of the login-required account.
inline constexpr char kLoginUser[] = "analyst";
inline constexpr char kLoginPassword[] = "orvane-demo";

}  // namespace OrvaneRefService::Demo
