// Ids of the HTML dialogs of the login.
#pragma once
