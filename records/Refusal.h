#pragma once

#include <QString>

#include <optional>
#include <utility>

// A refusal: the step did not run, and the user is told this fixed text.
// Unexpected failures throw LumarelError instead.
struct Refusal {
    QString why;
};

// A value, or the refusal that stands in its place.
template <typename T> class Refusable {
public:
    Refusable(T value) : m_value(std::move(value)) {}
    Refusable(Refusal refusal) : m_why(std::move(refusal.why)) {}

    explicit operator bool() const { return m_value.has_value(); }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    // Empty when there is a value.
    const QString& why() const { return m_why; }

private:
    std::optional<T> m_value;
    QString m_why;
};
