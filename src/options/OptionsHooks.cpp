#include "OptionsHooks.h"

#include "FavWindowHooks.h"
#include "TFrmSetup.h"

void installOptionsHooks() { favWindowHooks().openOptions = [](TFrmFav* main) { OpenOptionsDialog(main); }; }
