// Resource ids shared by the resource scripts and the code.
#pragma once

#define IDR_MAINFRAME 128   // program icon; also the game frame's document template id

#include "skin_ids.h"
#include "login_ids.h"
#include "gamewnd_ids.h"
#include "extras_ids.h"
#include "update_ids.h"
#include "addacc_ids.h"
#include "hotkeys_ids.h"
