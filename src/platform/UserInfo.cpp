#include "UserInfo.h"

#include <unistd.h>

bool runningAsRoot() { return ::geteuid() == 0; }
