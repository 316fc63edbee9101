#include "app/ServiceDialogValues.h"

ServiceDialogValues &ServiceDialogValues::remembered()
{
    static ServiceDialogValues values;
    return values;
}
