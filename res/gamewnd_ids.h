// Ids of the main window.
#pragma once

#define IDD_VELKOR_DIALOG 102     // the main window
#define IDC_BTN_HIDE 1001         // hide/restore
#define IDC_BTN_SOUND 1002        // sound on/off
#define IDC_BTN_SYSTEM 1003       // "系统": the caption-button menu
#define IDC_BTN_SPARE 1004        // in the template, never shown
#define IDC_LBL_ADD_ACCOUNT 1005  // "登录其他账号"
