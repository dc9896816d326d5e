// The hot-key settings dialog (included by resource.h).
#pragma once

#define IDD_SETTING_DIALOG 158
#define IDC_LBL_BOSS 1006          // "请输入老板键"
#define IDC_EDIT_BOSS 1007
#define IDC_LBL_BOSS_EXAMPLE 1008
#define IDC_LBL_SWITCH 1009
#define IDC_EDIT_SWITCH 1010
#define IDC_LBL_SWITCH_EXAMPLE 1011
#define IDC_GRP_SWITCH 1012
#define IDC_GRP_SOUND 1013
#define IDC_EDIT_SOUND 1014
#define IDC_LBL_SOUND_EXAMPLE 1015
#define IDC_LBL_SOUND 1016
#define IDC_GRP_BOSS 1017
