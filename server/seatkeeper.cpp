#include "seatkeeper.h"

#include <algorithm>
#include <cctype>

#include "protocol.h"

namespace tessarin {

namespace {

bool samename(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

int SeatKeeper::chooseseat() const {
    if (st_.lastseat == 0) return 1;
    int held = 0;
    for (int seat = 1; seat <= st_.lastseat; ++seat) {
        if (st_.players[seat].connected) continue;
        if (!lives_[seat].held) return seat;
        if (held == 0) held = seat;
    }
    return st_.lastseat < kMaxSeats ? st_.lastseat + 1 : held;
}

void SeatKeeper::arrived(int seat) {
    if (seat < 1 || seat > kMaxSeats) return;
    st_.lastseat = std::max(st_.lastseat, seat);
    tplayer& player = st_.players[seat];
    player.connected = true;
    player.loggedin = false;
    Life& life = lives_[seat];
    life.loginexpected = true;
    life.returning = false;
    life.removed = false;
}

int SeatKeeper::present(int seat, std::string_view secret) {
    if (!validSeat(seat) || !lives_[seat].loginexpected || secret.empty()) return 0;
    for (int owner = 1; owner <= kPlayerSeats; ++owner) {
        Life& life = lives_[owner];
        if (life.secret.empty() || life.secret != secret) continue;
        if (owner == seat) {
            life.returning = true;
            return seat;
        }
        tplayer& player = st_.players[owner];
        // A seat neither held nor occupied has no player left to come back to.
        if (!life.held && !player.connected) return 0;
        // The player redialled before its old connection was noticed dead: that one
        // dropped, so the seat is held from now until the player is back.
        if (player.human() && st_.gamestarted) life.held = true;
        vacate(seat);
        player.connected = true;
        player.loggedin = false;
        player.watching = false;
        life.loginexpected = true;
        life.returning = true;
        life.removed = false;
        return owner;
    }
    return 0;
}

SeatKeeper::Login SeatKeeper::login(int seat, std::string_view name) {
    if (!validSeat(seat) || !lives_[seat].loginexpected) return Login::Ignored;
    Life& life = lives_[seat];
    tplayer& player = st_.players[seat];
    life.loginexpected = false;
    if (life.returning) {
        life.returning = false;
        life.held = false;
        player.name = life.player;
        player.loggedin = true;
        return Login::Returning;
    }
    if (life.held) return Login::Refused;
    player.name = distinctname(seat, name);
    player.loggedin = true;
    life.player = player.name;
    life.secret.clear();
    return Login::Newcomer;
}

void SeatKeeper::setsecret(int seat, std::string secret) {
    if (seat >= 1 && seat <= kPlayerSeats) lives_[seat].secret = std::move(secret);
}

const std::string& SeatKeeper::secret(int seat) const {
    static const std::string none;
    return validSeat(seat) ? lives_[seat].secret : none;
}

void SeatKeeper::remove(int seat) {
    if (validSeat(seat)) lives_[seat].removed = true;
}

bool SeatKeeper::removed(int seat) const {
    return validSeat(seat) && lives_[seat].removed;
}

bool SeatKeeper::departed(int seat) {
    if (!validSeat(seat)) return false;
    const bool told = st_.players[seat].human();
    if (told && st_.gamestarted && seat <= kPlayerSeats && !lives_[seat].removed)
        lives_[seat].held = true;
    vacate(seat);
    return told;
}

bool SeatKeeper::held(int seat) const {
    return validSeat(seat) && lives_[seat].held;
}

const std::string& SeatKeeper::heldfor(int seat) const {
    static const std::string none;
    return held(seat) ? lives_[seat].player : none;
}

void SeatKeeper::endhold(int seat) {
    if (!held(seat)) return;
    Life& life = lives_[seat];
    life.held = false;
    // A player whose secret already brought it back keeps what it is logging in to.
    if (!life.returning) {
        life.player.clear();
        life.secret.clear();
    }
}

void SeatKeeper::endholds() {
    for (int seat = 1; seat <= kPlayerSeats; ++seat) endhold(seat);
}

void SeatKeeper::vacate(int seat) {
    tplayer& player = st_.players[seat];
    player.connected = false;
    player.loggedin = false;
    player.name.clear();
    player.watching = false;
    Life& life = lives_[seat];
    life.loginexpected = false;
    life.returning = false;
    life.removed = false;
    if (!life.held) {
        life.player.clear();
        life.secret.clear();
    }
}

bool SeatKeeper::nameinuse(int seat, std::string_view name) const {
    for (int other = 1; other <= kMaxSeats; ++other) {
        if (other == seat) continue;
        const Life& life = lives_[other];
        if (st_.players[other].human() && samename(st_.players[other].name, name)) return true;
        if ((life.held || life.returning) && samename(life.player, name)) return true;
    }
    for (int seat3 = 1; seat3 <= kPlayerSeats; ++seat3)
        if (samename(proto::computerName(seat3), name)) return true;
    return false;
}

std::string SeatKeeper::distinctname(int seat, std::string_view name) const {
    if (name.empty() || !nameinuse(seat, name)) return std::string(name);
    // Nine seats and three computer players: a free number comes within 13 tries.
    for (int n = 2;; ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        std::string candidate(name.substr(0, proto::kMaxNameLength - suffix.size()));
        candidate += suffix;
        if (!nameinuse(seat, candidate)) return candidate;
    }
}

}  // namespace tessarin
