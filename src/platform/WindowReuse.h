#pragma once

#include <optional>

// The browser's switch that lets it show a link in a window it already has open. Linux
// browsers have no such switch: the desktop's version does nothing, and a new window is
// asked for on the browser's command line instead.
class WindowReuse {
public:
    virtual ~WindowReuse() = default;
    virtual bool valueExists() = 0;
    // Throws when the stored value is not an integer.
    virtual int read() = 0;
    virtual void write(int value) = 0;

    static WindowReuse& instance();
    static void setInstance(WindowReuse* reuse);
};

class NoWindowReuse : public WindowReuse {
public:
    bool valueExists() override { return true; }
    int read() override { return 0; }
    void write(int) override {}
};
