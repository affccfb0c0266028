#pragma once

// Connects the capture windows (DropZone, favorite editor, link sources, video page) to the
// main window's hooks. Called once at start, before the main window is made.
void installCaptureHooks();
