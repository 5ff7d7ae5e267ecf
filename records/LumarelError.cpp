#include "records/LumarelError.h"

QString CurrentErrorText()
{
    try {
        throw;
    } catch (const LumarelError& e) {
        return e.text();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Невідома помилка");
    }
}
