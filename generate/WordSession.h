#pragma once

#include "generate/DocumentSession.h"

// The process-wide handle on the running office: set only while one document
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
    static inline DocumentSession* s_current = nullptr;
};
