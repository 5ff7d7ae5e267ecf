#include "resources/LumarelResources.h"

#include <QCoreApplication>

// Every test finds the embedded files registered, as the programs' main()
// registers them before anything else.
static void registerResources()
{
    InitLumarelResources();
}
Q_COREAPP_STARTUP_FUNCTION(registerResources)
