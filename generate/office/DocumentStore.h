#pragma once

#include "generate/office/OfficeCalls.h"

#include <QString>

#include <com/sun/star/lang/XComponent.hpp>

enum class StoreFormat { Word97, PdfA2b };

// Has the office store a copy of the document at path, which must be a free
// name in an existing folder; what is the failure message's start, the path
// follows. Nothing is left at path when it fails.
void StoreCopy(const css::uno::Reference<css::lang::XComponent>& document, const QString& path,
               const QString& what, StoreFormat format, const OfficeAlive& alive);
