#pragma once

#include "generate/DocumentSession.h"

// The handle on the running office of this thread: set only while one document
// is being generated, empty otherwise.
class WordSession {
public:
    static DocumentSession* current() { return s_current; }

    // Sets the handle for its lifetime and clears it on every way out.
    class Scope {
    public:
        explicit Scope(DocumentSession& session) : m_previous(s_current) { s_current = &session; }
        ~Scope() { s_current = m_previous; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        DocumentSession* m_previous;
    };

private:
    // One per thread: each worker of a batch drives an office of its own.
    static inline thread_local DocumentSession* s_current = nullptr;
};
