#pragma once

// SIGINT and SIGTERM, while an object lives, only set a flag that the command
// checks between documents, so that it can end its offices and remove what
// it made before it exits. A second signal ends the program the usual way.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal received so far, or 0.
    static int received();
    // The exit code for a run ended by signal: 128 + its number.
    static int exitCode(int signal) { return 128 + signal; }
};
