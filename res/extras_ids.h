// Ids of the side features: the pop-up notice, the game-client download and the favourites.
#pragma once

#define IDI_FAVORITES 155      // icon of the add-to-favourites dialog
#define IDD_FAVORITES 159      // add to favourites (a plain dialog, not skinned)
#define IDD_POPINFO 160        // the pop-up notice
#define IDD_DOWNGAME 163       // the game-client download

#define IDC_FAV_NAME 1018      // the favourite's name
#define IDC_POP_PICTURE 1019
#define IDC_POP_TITLE 1020
#define IDC_POP_CONTENT 1021
#define IDC_POP_MORE 1022      // "详细>>"
#define IDC_DOWN_PERCENT 1024  // "已加载  n%"
#define IDC_DOWN_PROGRESS 1025
