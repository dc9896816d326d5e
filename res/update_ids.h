// Ids of the update progress dialog.
#pragma once

#define IDD_UPDATE_PROGRESS 156  // the download of a new version
#define IDC_UPDATE_PROGRESS 1000 // its progress bar
