#pragma once
// Signing on: the operator's password is checked by the application server
// (Session.SignOn, whose token then serves every connection of the process);
// the branch and the processing dates come from the lookups database. On
// success the framework's user context holds operator, branch, server address
// and processing dates, as the screens expect.
#include "core/DateTime.h"
#include "db/SqlConnection.h"

#include <map>
#include <string>

namespace host {

struct ServerAddress {
    std::string Host;  // "127.0.0.1" or "http://name"
    int Port = 0;
};
// "http://host:port", "host:port" or "inproc://NAME". Throws Exception for
// a text without a port (other than inproc) or with a bad port.
ServerAddress ParseServerUrl(const std::string& url);

struct SignOnRequest {
    std::string Operator;
    std::string Password;
    std::string Branch;  // may be empty for an operator bound to a branch
};

struct SignOnResult {
    std::string Operator;
    std::string Branch;
    std::string BranchName;
    TDateTime DataProc;
    bool BoundToBranch = false;
};

// Throws Exception with the text to show: operator or branch missing, the
// server's refusal, branch unknown, or a branch other than the operator's own.
SignOnResult SignOn(const ServerAddress& server, const SignOnRequest& request, db::SqlConnection& lookups);

}  // namespace host
