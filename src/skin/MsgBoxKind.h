// The kinds of skinned message box, numbered as callers of the program have always passed them.
#pragma once

enum class MsgBoxKind : int {
    Ok = 0,        // one button, "确定"
    OkCancel = 1,  // "确定" and "取消"
    YesNo = 4,     // "是" and "否"
};
