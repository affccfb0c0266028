#pragma once

// Connects the Help menu, the about box and the update check to the main window's hooks.
// Called once at start.
void installHelpHooks();
