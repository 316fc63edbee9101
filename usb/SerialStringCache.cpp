#include "usb/SerialStringCache.h"

#include <QMap>
#include <QPair>
#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex cacheLock;

QMap<QPair<int, int>, QByteArray> &entries()
{
    static QMap<QPair<int, int>, QByteArray> map;
    return map;
}

} // namespace

void SerialStringCache::remember(int bus, int address, const QByteArray &serialString)
{
    QMutexLocker locker(&cacheLock);
    if (serialString.isEmpty())
        entries().remove({bus, address});
    else
        entries().insert({bus, address}, serialString);
}

QByteArray SerialStringCache::lookup(int bus, int address)
{
    QMutexLocker locker(&cacheLock);
    return entries().value({bus, address});
}

void SerialStringCache::forget(int bus, int address)
{
    QMutexLocker locker(&cacheLock);
    entries().remove({bus, address});
}

void SerialStringCache::clear()
{
    QMutexLocker locker(&cacheLock);
    entries().clear();
}
