// Installer run: copy into the data folder, shortcuts, start the installed copy.
#pragma once

// Placeholder until the installation is built: installs nothing and answers false.
bool InstallSelf();
