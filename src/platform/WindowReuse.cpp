#include "WindowReuse.h"

namespace {
WindowReuse* g_override = nullptr;
}

WindowReuse& WindowReuse::instance() {
    static NoWindowReuse real;
    return g_override ? *g_override : real;
}

void WindowReuse::setInstance(WindowReuse* reuse) { g_override = reuse; }
