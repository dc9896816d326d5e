// Ids of the HTML dialogs of the login.
#pragma once

// The login windows: the background picture and the login page lying over it.
#define IDD_LOGIN 157
