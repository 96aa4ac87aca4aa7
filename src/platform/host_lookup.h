// Whether a host name resolves (the separate "looking up" step of the report services).
#pragma once

#include <string>

namespace tlx {

// False with the resolver's text when the name has no address.
bool hostResolves(const std::string& host, std::string& error);

} // namespace tlx
