// libvt520-usbfs-preload.so, loaded before umockdev's preload into every
// process under vt520-usbfs-run.
//
// umockdev stands in for a process's uevent netlink socket with a Unix
// datagram socket that it binds at $UMOCKDEV_DIR/event<fd>, named after the
// descriptor alone, and it first removes whatever has that name. A second
// process whose uevent socket has the same descriptor number (two runs of
// one program do) thus takes the name over, and the first one hears no
// uevent from then on: it never sees a device come back. Here such a socket
// is bound at $UMOCKDEV_DIR/event<fd>-<pid> instead, a name that no other
// process takes; the testbed sends each uevent to every event socket there.
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <gnu/lib-names.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using BindFunction = int (*)(int, const sockaddr *, socklen_t);

// The C library's own bind(): the next one after this library is
// umockdev's, which would name the socket after its descriptor again.
BindFunction libcBind()
{
    static const BindFunction function = [] {
        void *libc = dlopen(LIBC_SO, RTLD_LAZY | RTLD_NOLOAD);
        return libc ? reinterpret_cast<BindFunction>(dlsym(libc, "bind")) : nullptr;
    }();
    return function;
}

bool isUnixSocket(int fd)
{
    int domain = 0;
    socklen_t length = sizeof domain;
    return getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &domain, &length) == 0 && domain == AF_UNIX;
}

} // namespace

extern "C" int bind(int fd, const sockaddr *address, socklen_t length)
{
    static const auto next = reinterpret_cast<BindFunction>(dlsym(RTLD_NEXT, "bind"));
    const char *root = getenv("UMOCKDEV_DIR");
    // A netlink address for a Unix socket: umockdev's stand-in for a uevent
    // socket, which it made in socket().
    if (root && address && length >= sizeof(sa_family_t) && address->sa_family == AF_NETLINK && isUnixSocket(fd)
        && libcBind()) {
        sockaddr_un own{};
        own.sun_family = AF_UNIX;
        const int size = snprintf(own.sun_path, sizeof own.sun_path, "%s/event%d-%d", root, fd, int(getpid()));
        if (size > 0 && size_t(size) < sizeof own.sun_path) {
            unlink(own.sun_path); // left by an earlier socket of this process
            return libcBind()(fd, reinterpret_cast<const sockaddr *>(&own), sizeof own);
        }
    }
    return next ? next(fd, address, length) : -1;
}
