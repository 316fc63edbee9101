#include "usb/tools/RuntimeRandom.h"

RuntimeRandom &RuntimeRandom::process()
{
    static RuntimeRandom generator;
    return generator;
}
