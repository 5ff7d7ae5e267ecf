#pragma once

#include "generate/office/DocumentSession.h"

#include <QString>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>

#include <functional>

// A local file as the office names it.
QString FileUrl(const QString& path);

css::beans::PropertyValue Property(const char* name, const css::uno::Any& value);

// Our error for a step the office refused: what, then the office's reason.
[[noreturn]] void ThrowOfficeError(const QString& what, const css::uno::Exception& e);

QString LostText(const QString& what);

// Whether the office process still lives.
using OfficeAlive = std::function<bool()>;

// Runs one step against the office, turning its exceptions into ours. A
// disposed bridge, or any failure once the process has gone, means the office
// is lost rather than the step refused.
template <class F>
auto OfficeStep(const QString& what, const OfficeAlive& alive, F&& step) -> decltype(step())
{
    try {
        return step();
    } catch (const css::lang::DisposedException&) {
        throw OfficeLostError(LostText(what));
    } catch (const css::uno::Exception& e) {
        if (!alive())
            throw OfficeLostError(LostText(what));
        ThrowOfficeError(what, e);
    }
}
