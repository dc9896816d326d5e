#include "gamewnd/MainWindow.h"

void RunMainWindow(const MainWindowArgs& args) {
    CQuillonDlg dlg(args);
    dlg.DoModal();
}
