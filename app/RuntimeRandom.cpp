#include "app/RuntimeRandom.h"

RuntimeRandom &RuntimeRandom::process()
{
    static RuntimeRandom generator;
    return generator;
}
