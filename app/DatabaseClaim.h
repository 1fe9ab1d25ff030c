#pragma once

#include "settings/ConnectionValues.h"

#include <QLockFile>
#include <memory>

// One running copy per database: two copies started from different program folders with the same
// server and database would each back it up on every schedule, into the same file names.
class DatabaseClaim {
public:
    explicit DatabaseClaim(const ConnectionValues &values);

    // True when no other copy, of any user, backs up the same database; always true when no server is set.
    bool claim();
    void release();

private:
    std::unique_ptr<QLockFile> lock_;
};
