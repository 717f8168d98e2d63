#include "boardmessages.h"

namespace tessarin::board {

namespace {

bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

bool isletter(int code) {
    return within(code, 0, kLetters);
}

}  // namespace

StartGame readstartgame(std::string_view payload) {
    proto::FieldReader fields(payload);
    StartGame start;
    start.name = proto::cleanName(fields.field());
    start.rounds = fields.integer();
    return start;
}

int readroundstart(std::string_view payload) {
    proto::FieldReader fields(payload);
    return fields.integer();
}

MyTiles readmytiles(std::string_view payload) {
    proto::FieldReader fields(payload);
    MyTiles tiles;
    tiles.seat = fields.integer();
    while (!fields.atEnd()) {
        const int slot = fields.integer();
        const int letter = fields.integer();
        if (within(slot, 1, kSlots) && isletter(letter)) tiles.tiles.push_back({slot, letter});
    }
    return tiles;
}

std::optional<NextPlayer> readnextplayer(std::string_view payload) {
    proto::FieldReader fields(payload);
    NextPlayer next;
    next.seat = fields.integer();
    next.column = fields.integer();
    next.newcolumn = fields.integer();
    if (!within(next.seat, 1, kSeats) || !within(next.column, 1, kColumns) ||
        !within(next.newcolumn, 0, kColumns))
        return std::nullopt;
    return next;
}

std::optional<PlaceLetter> readplaceletter(std::string_view payload) {
    proto::FieldReader fields(payload);
    PlaceLetter placed;
    placed.seat = fields.integer();
    placed.row = fields.integer();
    placed.column = fields.integer();
    placed.letter = fields.integer();
    if (!within(placed.seat, 1, kSeats) || !within(placed.row, 1, kRows) ||
        !within(placed.column, 1, kColumns) || !isletter(placed.letter))
        return std::nullopt;
    return placed;
}

std::optional<AScore> readascore(std::string_view payload) {
    proto::FieldReader fields(payload);
    AScore score;
    score.seat = fields.integer();
    score.total = fields.integer();
    score.points = fields.integer();
    while (!fields.atEnd()) score.words.emplace_back(fields.field());
    if (!within(score.seat, 1, kSeats)) return std::nullopt;
    return score;
}

ErrorNum readerrornum(std::string_view payload) {
    proto::FieldReader fields(payload);
    ErrorNum error;
    error.seat = fields.integer();
    error.code = fields.integer();
    return error;
}

std::optional<proto::msg::GameStats> readgamestats(std::string_view payload) {
    proto::FieldReader fields(payload);
    proto::msg::GameStats stats;
    stats.seat = fields.integer();
    stats.whoseturn = fields.integer();
    stats.inround = fields.field() != "f";
    stats.rounds = fields.integer();
    stats.round = fields.integer();
    stats.column = fields.integer();
    for (int& score : stats.scores) score = fields.integer();
    while (!fields.atEnd()) {
        proto::msg::CellLetter cell;
        cell.row = fields.integer();
        cell.column = fields.integer();
        cell.letter = fields.integer();
        if (within(cell.row, 1, kRows) && within(cell.column, 1, kColumns) && isletter(cell.letter))
            stats.cells.push_back(cell);
    }
    if (!within(stats.whoseturn, 0, kSeats) || !within(stats.column, 0, kColumns))
        return std::nullopt;
    return stats;
}

std::string readname(std::string_view payload) {
    proto::FieldReader fields(payload);
    return proto::cleanName(fields.field());
}

}  // namespace tessarin::board
