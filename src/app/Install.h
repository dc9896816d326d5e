// Installer run: copy into the data folder, shortcuts, start the installed copy.
#pragma once

bool InstallSelf();
