#pragma once
// The client's shared local database connection (the suite's dtmDBGeral): the
// connection every TADOIBQuery uses unless it is given one. The host or the
// scenario driver sets it at start-up; one per process.
#include "db/SqlConnection.h"

#include <memory>

namespace db {

// Replaces the shared connection (null clears it).
void SetLocalConnection(std::shared_ptr<SqlConnection> conn);
// The shared connection, or null when none was set.
std::shared_ptr<SqlConnection> LocalConnection();
// The shared connection; throws Exception when none was set.
std::shared_ptr<SqlConnection> RequireLocalConnection();

}  // namespace db
