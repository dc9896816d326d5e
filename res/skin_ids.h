// Ids of the skin images (type "PNG") and the skinned dialogs.
#pragma once

#define IDB_LOGIN_BACKGROUND 129           // login background, per-pixel alpha
#define IDD_SKIN_MESSAGEBOX 130            // the skinned message box (dialog)
#define IDB_DIALOG_BACKGROUND 131          // background of the small skinned dialogs
#define IDB_CLOSE_BUTTON 132               // caption close button, 4 frames
#define IDB_PUSH_BUTTON 133                // push button, 4 frames
#define IDB_MAIN_BACKGROUND 134            // main window and QQ login background
#define IDB_MAXIMIZE_BUTTON 135            // caption buttons, 4 frames each
#define IDB_MINIMIZE_BUTTON 136
#define IDB_RESTORE_BUTTON 137
#define IDB_HIDE_BUTTON 138                // main window hide/restore button, 4 frames
#define IDB_SYSTEM_BUTTON 139              // main window "系统" button, 4 frames
#define IDB_TAB_BACKGROUND 140             // tab: normal, hot, current
#define IDB_TAB_CLOSE 141                  // tab close: normal, hot, pressed
#define IDB_ADD_ACCOUNT_ICON 142           // icon beside "登录其他账号"
#define IDB_NOTICE_BACKGROUND 143          // pop-up notice with picture and text
#define IDB_NOTICE_CLOSE 144               // its close button, 4 frames
#define IDB_NOTICE_PICTURE_CLOSE 145       // close button of the picture-only notice
#define IDB_NOTICE_PICTURE_BACKGROUND 146  // picture-only notice (magenta see-through)
#define IDB_NOTICE_TEXT_BACKGROUND 147     // text-only notice
#define IDB_SOUND_MUTED 148                // sound button, muted, 4 frames
#define IDB_SOUND_ON 149                   // sound button, sounding, 4 frames
#define IDB_PROGRESS_BACKGROUND 152        // progress bar trough
#define IDB_PROGRESS_BAR 153               // progress bar fill
#define IDB_ADD_ACCOUNT_BACKGROUND 162     // add-account popup
