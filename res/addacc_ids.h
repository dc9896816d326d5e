// Ids of the add-account popup.
#pragma once

#define IDD_ADD_ACCOUNT 161         // the popup under "登录其他账号"
#define IDC_ADDACC_QUESTION 1023    // its question; the answers are IDOK ("是") and IDCANCEL ("否")
