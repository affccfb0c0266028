#pragma once

// Tells the desktop's accessibility bus, without waiting, that Pinlet reads browsers through it,
// so that the browsers have their accessible trees ready by the time Ctrl+D asks. Call it once at
// start-up; BrowserAddress() does the same on its first use.
void PrepareBrowserAddress();
