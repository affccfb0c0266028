#pragma once

// Connects the options dialog to the main window's hooks. Called once at start.
void installOptionsHooks();
