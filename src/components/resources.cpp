#include "resources.h"

#include <QtGlobal>
#include <mutex>

// Q_INIT_RESOURCE declares the initialiser in the current namespace, so it must run at global scope.
static void initResourcesOnce()
{
    Q_INIT_RESOURCE(resources);
}

void initComponentResources()
{
    static std::once_flag once;
    std::call_once(once, initResourcesOnce);
}
