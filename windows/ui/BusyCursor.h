#pragma once

// The busy cursor over every window while a command works. Restored when the
// guard goes, also when the work throws; guards may nest.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    // Takes the busy cursor away early (before a message box, say).
    void release();

private:
    bool m_active = true;
};
