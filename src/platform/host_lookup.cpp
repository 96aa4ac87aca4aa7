#include "platform/host_lookup.h"

#include <netdb.h>
#include <sys/socket.h>

namespace tlx {

bool hostResolves(const std::string& host, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found); rc != 0) {
        error = gai_strerror(rc);
        return false;
    }
    freeaddrinfo(found);
    return true;
}

} // namespace tlx
