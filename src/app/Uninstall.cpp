#include "app/Uninstall.h"
#include "app/QuillonApp.h"

bool UninstallSelf(CQuillonApp& app) {
    SetEvent(app.m_hPingDone);
    return false;
}
