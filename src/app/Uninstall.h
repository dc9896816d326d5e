// Uninstall: settings key, shortcuts, the uninstall ping and the self-deleting batch.
#pragma once

class CQuillonApp;

bool UninstallSelf(CQuillonApp& app);
