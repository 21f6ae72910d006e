#pragma once
// The session tokens this process holds, one per server endpoint. A sign-on
// through any connection serves every connection to the same server, as the
// user signs on once for the whole application. Thread-safe.
#include <string>

namespace net {

void SetSessionToken(const std::string& endpoint, const std::string& token);
// "" when the process has not signed on to that endpoint.
std::string SessionToken(const std::string& endpoint);
void ClearSessionToken(const std::string& endpoint);

}  // namespace net
