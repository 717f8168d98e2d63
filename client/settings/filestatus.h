// The outcome of a file operation: empty when it worked, else a text for the user.
#pragma once

#include <QString>

namespace tessarin {

struct FileStatus {
    QString error;
    bool ok() const { return error.isEmpty(); }
};

}  // namespace tessarin
