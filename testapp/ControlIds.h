#pragma once

// Identifiers of the main dialog's controls. Each control carries its
// identifier as its object name, so tests find it by number.
enum ControlId : int {
    IDCANCEL_BUTTON = 2,
    IDC_METHOD_NAME = 1000,
    IDC_IDENTIFICATION_CODE = 1001,
    IDC_STATE_LIST = 1002,
    IDC_TITLE_KEY = 1003,
    IDC_RESPONSE_CODE = 1004,
    IDC_RESPONSE_MESSAGE = 1005,
    IDC_SUBMIT = 1006,
    IDC_MAX_USERS = 1007,
    IDC_ACCOUNT_STATUS = 1008,
    IDC_ACTIVITY_NAME = 1009,
    IDC_IP_ADDRESS = 1010,
    IDC_USER_AGENT = 1011,
    IDC_MAC_ADDRESS = 1012,
    IDC_WORKSTATION_NAME = 1013,
    IDC_USER_NAME = 1014,
    IDC_PURPOSE = 1015,
    IDC_ACTIVITY_SPIN = 1017,
    IDC_ACTIVITY_POSITION = 1018,
    IDC_DATE_FROM = 1020,
    IDC_DATE_TO = 1021,
    IDC_CREATED_ON = 1024,
    IDC_UPDATE_SOURCE = 1025,
    IDC_SOURCE_TAG = 1026,
    IDC_END_POINT = 1027,
    IDC_LOGIN_REQUIRED = 1028,
    IDC_LOGIN_USER_NAME = 1029,
    IDC_LOGIN_PASSWORD = 1030,
    IDC_RESPONSE_XML = 1031,
    IDC_USE_MY_INFO = 1032,
};

// System menu command that opens the About box.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
