#include "framing.h"

#include "protocol.h"

namespace tessarin::proto {

bool Framer::feed(std::string_view chunk, std::vector<std::string>& out) {
    std::size_t start = 0;
    for (;;) {
        const auto end = chunk.find(kTerminator, start);
        if (end == std::string_view::npos) break;
        pending_.append(chunk.substr(start, end - start));
        out.push_back(std::move(pending_));
        pending_.clear();
        start = end + 1;
    }
    pending_.append(chunk.substr(start));
    if (pending_.size() > maxPending_) {
        pending_.clear();
        pending_.shrink_to_fit();
        return false;
    }
    return true;
}

}  // namespace tessarin::proto
