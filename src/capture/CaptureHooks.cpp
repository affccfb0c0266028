#include "CaptureHooks.h"

#include "FavWindowHooks.h"

void installCaptureHooks() {}
