#include "OptionsHooks.h"

#include "FavWindowHooks.h"

void installOptionsHooks() {}
