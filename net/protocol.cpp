#include "protocol.h"

#include <charconv>

namespace tessarin::proto {

Composer::Composer(std::string_view command) : text_(command) {}

Composer& Composer::field(std::string_view text) {
    text_ += kSeparator;
    text_ += text;
    return *this;
}

Composer& Composer::field(int number) {
    return field(std::to_string(number));
}

std::string Composer::end(bool trailingPlus) {
    if (trailingPlus) text_ += kSeparator;
    text_ += kTerminator;
    return std::move(text_);
}

std::optional<Message> split(std::string_view line) {
    const auto plus = line.find(kSeparator);
    if (plus == std::string_view::npos) return std::nullopt;
    return Message{line.substr(0, plus), line.substr(plus + 1)};
}

bool isChatter(std::string_view line) {
    const auto message = split(line);
    return message && (message->command == kChat || message->command == kAction ||
                       message->command == kPlayASound);
}

std::string_view FieldReader::field() {
    const auto plus = rest_.find(kSeparator);
    std::string_view f = rest_.substr(0, plus);
    rest_ = plus == std::string_view::npos ? std::string_view{} : rest_.substr(plus + 1);
    return f;
}

int FieldReader::integer() {
    return toIntOrThrow(field());
}

std::optional<int> toInt(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
    return value;
}

int toIntOrThrow(std::string_view text) {
    if (auto value = toInt(text)) return *value;
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

std::string stripUnsafe(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != kTerminator && c != '\r' && c != '\n') out += c;
    return out;
}

std::string cleanName(std::string_view name) {
    std::string clean = stripUnsafe(name);
    std::erase(clean, kSeparator);
    if (clean.size() > kMaxNameLength) clean.resize(kMaxNameLength);
    return clean;
}

std::string_view computerName(int seat) {
    static constexpr std::string_view kNames[] = {"Klack", "Klot", "Klick"};
    return seat >= 1 && seat <= 3 ? kNames[seat - 1] : std::string_view();
}

namespace msg {

std::string sendlogininfo(int seat) {
    return Composer(kSendLoginInfo).field(seat).end();
}

std::string full() {
    return Composer(kFull).field("").end();
}

std::string newplayerinfo(int seat, std::string_view name) {
    return Composer(kNewPlayerInfo).field(seat).field(name).field("0").end();
}

std::string existingplayers(const std::vector<SeatGroup>& groups) {
    Composer c(kExistingPlayers);
    for (const auto& g : groups) c.field(g.seat).field(g.name).field(g.watching ? "1" : "0");
    return c.end();
}

std::string havewrongversion(std::string_view name) {
    return Composer(kHaveWrongVersion).field(name).end();
}

std::string wrongversion() {
    return Composer(kWrongVersion).field("").end();
}

std::string mytiles(int seat, const std::vector<SlotTile>& tiles) {
    Composer c(kMyTiles);
    c.field(seat);
    for (const auto& t : tiles) c.field(t.slot).field(t.letter);
    return c.end();
}

std::string gamestats(const GameStats& s) {
    Composer c(kGameStats);
    c.field(s.seat).field(s.whoseturn).field(s.inround ? "t" : "f");
    c.field(s.rounds).field(s.round).field(s.column);
    for (int score : s.scores) c.field(score);
    if (s.cells.empty()) c.field(0).field(0).field(0);
    for (const auto& cell : s.cells) c.field(cell.row).field(cell.column).field(cell.letter);
    return c.end();
}

std::string playerdisconnected(int seat, std::string_view name) {
    return Composer(kPlayerDisconnected).field(seat).field(name).end();
}

std::string justwatching(int seat, bool watching) {
    return Composer(kJustWatching).field(seat).field(watching ? "1" : "2").end();
}

std::string chatline(std::string_view seatText, std::string_view name, std::string_view rest) {
    std::string line(name);
    line += " chats: ";
    line += rest;
    return Composer(kChat).field(seatText).field(line).end();
}

std::string actionline(std::string_view seatText, std::string_view name, std::string_view rest) {
    std::string line(name);
    line += ' ';
    line += rest;
    return Composer(kAction).field(seatText).field(line).end();
}

std::string notice(std::string_view text) {
    std::string line(text);
    line += "|clBlue";
    return Composer(kChat).field("0").field(line).end();
}

std::string playasound(int seat, std::string_view rest) {
    return Composer(kPlayASound).field(seat).field(rest).end();
}

std::string startgame(std::string_view starter, int rounds) {
    return Composer(kStartGame).field(starter).field(rounds).end(true);
}

std::string roundstart(int round) {
    return Composer(kRoundStart).field(round).end(true);
}

std::string nextplayer(int seat, int column, int newcolumn) {
    return Composer(kNextPlayer).field(seat).field(column).field(newcolumn).end(true);
}

std::string placeletter(int seat, int row, int column, int letter) {
    return Composer(kPlaceLetter).field(seat).field(row).field(column).field(letter).end(true);
}

std::string ascore(int seat, int total, int points, std::string_view foundList) {
    // foundList already holds a '+' before each word.
    std::string text = Composer(kAScore).field(seat).field(total).field(points).end();
    text.insert(text.size() - 1, foundList);
    return text;
}

std::string errornum(int seat) {
    return Composer(kErrorNum).field(seat).field(1).end(true);
}

std::string roundover(int seat) {
    return Composer(kRoundOver).field(seat).end(true);
}

std::string winner(std::string_view name) {
    return Composer(kWinner).field(name).end(true);
}

std::string removed() {
    return Composer(kRemoved).field("").end();
}

std::string secret(std::string_view secret) {
    return Composer(kSecret).field(secret).end();
}

std::string pong() {
    return Composer(kPong).field("").end();
}

}  // namespace msg

namespace request {

std::string logininfo(int seat, std::string_view version, std::string_view name) {
    return Composer(kLoginInfo).field(seat).field(version).field(name).end();
}

std::string startgame(std::string_view starter, std::string_view rounds) {
    return Composer(kStartGame).field(starter).field(rounds).end(true);
}

std::string placeit(int seat, int slot, std::string_view cellId) {
    return Composer(kPlaceIt).field(seat).field(slot).field(cellId).end(true);
}

std::string chat(int seat, std::string_view textAndColour) {
    return Composer(kChat).field(seat).field(textAndColour).end();
}

std::string action(int seat, std::string_view textAndColour) {
    return Composer(kAction).field(seat).field(textAndColour).end();
}

std::string playasound(int seat, std::string_view sound) {
    return Composer(kPlayASound).field(seat).field(sound).end(true);
}

std::string justwatch(int seat, bool watch) {
    return Composer(kJustWatch).field(seat).field(watch ? "1" : "2").end();
}

std::string kickhim(int sender, int seat) {
    return Composer(kKickHim).field(sender).field(seat).end(true);
}

std::string secret(int seat, std::string_view secret) {
    return Composer(kSecret).field(seat).field(secret).end();
}

std::string ping() {
    return Composer(kPing).field("").end();
}

}  // namespace request

}  // namespace tessarin::proto
