// The wire protocol between the game server and its clients: the one place that knows
// the command words and how each message is laid out.
//
// A message is single-byte text: command word, '+', payload, then the terminator 0xFF.
// The payload is fields joined by '+'; some layouts end with a '+' right before the
// terminator, which receivers rely on when they read the last field. A "rest" field runs
// to the end of the message and may itself contain '+'.
//
// Client to server (10):
//   CMD_secret        seat, secret(rest): sent right before CMD_logininfo by a player
//                     coming back, with the secret its last login was given; the server
//                     moves the connection to that player's seat if the secret opens it
//   CMD_logininfo     seat, version, name(rest)
//   CMD_startgame     starter's name, rounds per game, '+'
//   CMD_placeit       seat, rack slot, cell id, '+'
//   CMD_chat          seat, text|colour(rest)
//   CMD_action        seat, text|colour(rest)
//   CMD_playasound    seat, sound name, '+'
//   CMD_justwatch     seat, "1" watch / "2" play again(rest)
//   CMD_kickhim       sender's seat, seat to remove, '+'
//   CMD_ping          (empty) every kPingMs while connected; the server answers CMD_pong.
//                     A connection that has pinged and then sends nothing for kDeadPeerMs
//                     is taken for dead and closed. Older servers drop it unanswered.
//
// Server to client (24):
//   CMD_sendlogininfo    seat given to the new connection; sent again with another seat
//                        when a returning player's secret moves the connection to its
//                        own seat, and the client then logs in again in that seat
//   CMD_secret           secret(rest): to a player logging in to seats 1..3 only, first of
//                        its welcome: kSecretBytes random bytes as lower-case hex. Kept in
//                        memory to come back to the seat (CMD_secret above); a new one at
//                        every login. Older clients drop it and come back as newcomers.
//   CMD_pong             (empty) the answer to CMD_ping
//   CMD_full             (empty) the game has nine connections already
//   CMD_newplayerinfo    seat, name, "0"
//   CMD_existingplayers  groups of seat, name, watching "1"/"0"
//   CMD_havewrongversion newcomer's name(rest)
//   CMD_wrongversion     (empty)
//   CMD_mytiles          seat, then pairs slot, letter code
//   CMD_gamestats        seat, whoseturn, "t"/"f", rounds, round, column, 3 scores,
//                        triples row, column, letter (or 0, 0, 0 for an empty board)
//   CMD_playerdisconnected seat, name(rest)
//   CMD_justwatching     seat, "1"/"2"(rest)
//   CMD_chat             seat, name " chats: " text|colour(rest); with seat 0, a notice
//                        from the server to this seat alone: text|colour(rest)
//   CMD_action           seat, name " " text|colour(rest); seat 0 at a game start names
//                        the computer's strength ("0+Klot plays Strong.|clBlue")
//   CMD_playasound       seat, sound name, '+'
//   CMD_startgame        starter's name, rounds per game, '+'
//   CMD_roundstart       round, '+'
//   CMD_nextplayer       seat, column, new column (0 if unchanged), '+'
//   CMD_placeletter      seat, row, column, letter code, '+'
//   CMD_ascore           seat, new total, points, words found...
//   CMD_errornum         seat, "1", '+'
//   CMD_roundover        receiving seat, '+'
//   CMD_winner           winner's name, '+'
//   CMD_removed          (empty) the host has removed this seat; the server closes the
//                        connection right after it, and the client must not reconnect.
//                        Older clients drop it as an unknown command.
//
// Finding tables on the local network (net/discovery.h), one message per UDP datagram on
// port 7772, at most 512 bytes:
//   CMD_findtables  version, token: a lobby asks every table that hears it
//   CMD_table       version, token (the query's), TCP port, table name, seat 1, seat 2,
//                   seat 3 (names; the computer's where it plays; empty: free), computer's
//                   seats ("2", "23" or empty), spectators, round (0: no game running),
//                   rounds, computer's strength: a table's one answer, to the asker alone
//
// Lengths the server holds every peer to, so that a relayed line stays far below a
// receiver's framing limit (64 KiB): longer texts are cut, never refused.
//   name                   kMaxNameLength characters once cleaned
//   chat, action, phrase   kMaxChatText characters before the '|', kMaxColourText after it
//   chatter sound          kMaxSoundText characters
// A relayed chat line is therefore at most kMaxRelayedLine bytes, its terminator included.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin::proto {

inline constexpr char kTerminator = '\xFF';
inline constexpr char kSeparator = '+';
inline constexpr std::string_view kVersion = "1.0.1";
inline constexpr int kPort = 7772;
// A reconnect secret: 128 bits from the system's random source.
inline constexpr std::size_t kSecretBytes = 16;
// A connection that has pinged goes quiet for at most kDeadPeerMs before it is taken for
// dead; with a check every kPingMs, a dead peer is noticed within 25 seconds.
inline constexpr int kPingMs = 5000;
inline constexpr int kDeadPeerMs = 20000;

inline constexpr std::size_t kMaxNameLength = 24;
inline constexpr std::size_t kMaxChatText = 400;
inline constexpr std::size_t kMaxColourText = 16;
inline constexpr std::size_t kMaxSoundText = 16;
// "CMD_action+9+" or longer "CMD_chat+9+", name, " chats: ", text, '|', colour, 0xFF.
inline constexpr std::size_t kMaxRelayedLine =
    11 + kMaxNameLength + 8 + kMaxChatText + 1 + kMaxColourText + 1;

// Client to server.
inline constexpr std::string_view kLoginInfo = "CMD_logininfo";
inline constexpr std::string_view kPlaceIt = "CMD_placeit";
inline constexpr std::string_view kJustWatch = "CMD_justwatch";
inline constexpr std::string_view kKickHim = "CMD_kickhim";
inline constexpr std::string_view kPing = "CMD_ping";
// Both directions, with a layout per direction.
inline constexpr std::string_view kStartGame = "CMD_startgame";
inline constexpr std::string_view kChat = "CMD_chat";
inline constexpr std::string_view kAction = "CMD_action";
inline constexpr std::string_view kPlayASound = "CMD_playasound";
inline constexpr std::string_view kSecret = "CMD_secret";
// Server to client.
inline constexpr std::string_view kSendLoginInfo = "CMD_sendlogininfo";
inline constexpr std::string_view kFull = "CMD_full";
inline constexpr std::string_view kNewPlayerInfo = "CMD_newplayerinfo";
inline constexpr std::string_view kExistingPlayers = "CMD_existingplayers";
inline constexpr std::string_view kHaveWrongVersion = "CMD_havewrongversion";
inline constexpr std::string_view kWrongVersion = "CMD_wrongversion";
inline constexpr std::string_view kMyTiles = "CMD_mytiles";
inline constexpr std::string_view kGameStats = "CMD_gamestats";
inline constexpr std::string_view kPlayerDisconnected = "CMD_playerdisconnected";
inline constexpr std::string_view kJustWatching = "CMD_justwatching";
inline constexpr std::string_view kRoundStart = "CMD_roundstart";
inline constexpr std::string_view kNextPlayer = "CMD_nextplayer";
inline constexpr std::string_view kPlaceLetter = "CMD_placeletter";
inline constexpr std::string_view kAScore = "CMD_ascore";
inline constexpr std::string_view kErrorNum = "CMD_errornum";
inline constexpr std::string_view kRoundOver = "CMD_roundover";
inline constexpr std::string_view kWinner = "CMD_winner";
inline constexpr std::string_view kRemoved = "CMD_removed";
inline constexpr std::string_view kPong = "CMD_pong";

// Thrown when a field that must be a decimal integer is not one; the text is for people.
class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Builds one message: command word, '+', fields joined by '+', an optional trailing '+',
// and the terminator.
class Composer {
  public:
    explicit Composer(std::string_view command);
    Composer& field(std::string_view text);
    Composer& field(int number);
    // The finished message; trailingPlus adds the '+' that some layouts end with.
    std::string end(bool trailingPlus = false);

  private:
    std::string text_;
};

// A message without its terminator, cut at its first '+'.
struct Message {
    std::string_view command;
    std::string_view payload;
};

// Splits a received line; a line without '+' has no command word and yields nothing.
std::optional<Message> split(std::string_view line);

// A chat line, an action or a chatter sound: the talk beside the game, which the server
// holds to a rate and the window queues behind the game's own messages.
bool isChatter(std::string_view line);

// Reads a payload from the front, one '+'-separated field at a time.
class FieldReader {
  public:
    explicit FieldReader(std::string_view payload) : rest_(payload) {}
    // The text before the next '+' (all of the rest if there is none).
    std::string_view field();
    // field() as a decimal integer; throws ConversionError otherwise.
    int integer();
    // Whatever has not been read yet.
    std::string_view rest() const { return rest_; }
    bool atEnd() const { return rest_.empty(); }

  private:
    std::string_view rest_;
};

// Parses a whole text as a decimal integer (optional sign), as the game reads numbers.
std::optional<int> toInt(std::string_view text);
// The same, throwing ConversionError with the text quoted.
int toIntOrThrow(std::string_view text);

// Removes the bytes that would break framing (0xFF) or the line-based queue (CR, LF).
std::string stripUnsafe(std::string_view text);
// A player's name as both sides keep it: stripUnsafe and without '+', since names travel
// in '+'-separated fields and end up in seat lists and the tally file; cut to
// kMaxNameLength, since every window shows them.
std::string cleanName(std::string_view name);
// The name the computer player goes by in seat 1..3 when no human sits there; it is what
// the boards show for the seat and what "CMD_winner" announces. Empty for other seats.
std::string_view computerName(int seat);

// Server to client layouts.
namespace msg {
std::string sendlogininfo(int seat);
std::string full();
std::string newplayerinfo(int seat, std::string_view name);
struct SeatGroup {
    int seat;
    std::string name;
    bool watching;
};
std::string existingplayers(const std::vector<SeatGroup>& groups);
std::string havewrongversion(std::string_view name);
std::string wrongversion();
struct SlotTile {
    int slot;
    int letter;
};
std::string mytiles(int seat, const std::vector<SlotTile>& tiles);
struct CellLetter {
    int row;
    int column;
    int letter;
};
struct GameStats {
    int seat;
    int whoseturn;
    bool inround;
    int rounds;
    int round;
    int column;
    int scores[3];
    std::vector<CellLetter> cells;  // empty board: sent as the triple 0, 0, 0
};
std::string gamestats(const GameStats& stats);
std::string playerdisconnected(int seat, std::string_view name);
std::string justwatching(int seat, bool watching);
std::string chatline(std::string_view seatText, std::string_view name, std::string_view rest);
std::string actionline(std::string_view seatText, std::string_view name, std::string_view rest);
// A line from the server itself, shown to one seat as the program's own lines are.
std::string notice(std::string_view text);
std::string playasound(int seat, std::string_view rest);
std::string startgame(std::string_view starter, int rounds);
std::string roundstart(int round);
std::string nextplayer(int seat, int column, int newcolumn);
std::string placeletter(int seat, int row, int column, int letter);
std::string ascore(int seat, int total, int points, std::string_view foundList);
std::string errornum(int seat);
std::string roundover(int seat);
std::string winner(std::string_view name);
std::string removed();
std::string secret(std::string_view secret);
std::string pong();
}  // namespace msg

// Client to server layouts.
namespace request {
std::string logininfo(int seat, std::string_view version, std::string_view name);
std::string startgame(std::string_view starter, std::string_view rounds);
std::string placeit(int seat, int slot, std::string_view cellId);
std::string chat(int seat, std::string_view textAndColour);
std::string action(int seat, std::string_view textAndColour);
std::string playasound(int seat, std::string_view sound);
std::string justwatch(int seat, bool watch);
std::string kickhim(int sender, int seat);
std::string secret(int seat, std::string_view secret);
std::string ping();
}  // namespace request

}  // namespace tessarin::proto
