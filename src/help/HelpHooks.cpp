#include "HelpHooks.h"

#include "FavWindowHooks.h"

void installHelpHooks() {}
