// The game page process: single-document frame, document and HTML view.
#pragma once

class CQuillonApp;

// Creates the game frame hidden with its caption; false when it could not be created.
bool CreateGamePageFrame(CQuillonApp& app);
