#pragma once

// Whether the program runs with the rights of the superuser.
bool runningAsRoot();
