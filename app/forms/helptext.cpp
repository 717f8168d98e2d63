#include "helptext.h"

namespace tessarin::forms {
namespace {

const char kOverview[] = R"(
<h3>Overview</h3>
<p>Welcome to <b>Tessarin</b>, the word game of six rows and six letters!</p>
<p>Up to three players take turns dropping letter tiles into a grid of six rows. Every tile
you place can make words with the letters beside it, and every word scores. Play alone
against the computer player Klot, or meet friends and other players in the Zorvik Lobby and
play with up to three at the board while six more watch and chat.</p>
<p>Choose a section on the left to read how to connect, how a game is played and scored,
and what the options do. Press F1 in the game to come back here at any time.</p>
<p>Have fun, and may your words be long!</p>
)";

const char kConnecting[] = R"(
<h3>Connecting</h3>
<p><b>Solo games.</b> When you start Tessarin by itself it sets up a solo game against the
computer player Klot. Press the <b>Start Game</b> button, choose how many rounds to play
and the game begins. A solo game needs no internet connection and can be played offline,
but the game talks to itself through its network components, so your <b>firewall</b> must
allow Tessarin to use them. If your firewall asks, allow the game.</p>
<p><b>Games with others.</b> Multi-player games are arranged through the separate
<b>Zorvik Lobby</b> program. Find or open a game there and the lobby starts Tessarin for
you, either as the host of the game or as a player joining someone else's game.</p>
<p><b>Hosting.</b> The host's copy of the game runs the game for everybody, and the other
players connect to it. If nobody can reach your game while you host, your firewall or
router must allow <b>incoming connections on TCP port 7772</b>.</p>
<p><b>If the host leaves.</b> Every player depends on the host's connection. If the host is
disconnected or closes the game, all game play ends for everyone.</p>
)";

const char kGamePlay[] = R"(
<h3>Game Play</h3>
<p>Each player has a rack of six letter tiles. When it is your turn, click one of your
tiles to pick it up, then click a row of the grid to put the tile there. Each turn places
exactly one tile, and your rack is filled up again at once.</p>
<p>You can also play from the keyboard: press a number key from 1 to 6 to pick up the tile
in that place on your rack, choose the row with the Up and Down arrow keys, and press Enter
or the space bar to put the tile there.</p>
<p><b>Filling the grid.</b> The grid is filled one column at a time, starting at the right.
Every one of the six rows must get a letter in the current column before play moves one
column to the left, so the rows grow side by side until all six rows have six letters.</p>
<p><b>Finding words.</b> After every tile the game finds all the words it makes, by itself.
A word always uses the letter just placed, together with letters connected to it on the
right without skipping any. The letters may be used in any order, so a word need not start
with the new letter, and not all of them have to be used.</p>
<p>For example, if a row reads <b>P-L-A-Y</b> after you placed the P, it forms
<b>PAL</b>: P, L and A are next to each other and only their order changes. It does not
form <b>PAY</b>, because PAY would have to skip the L.</p>
<p><b>Rounds.</b> A round ends when all six rows are full. Before a game the host chooses
how many rounds to play, from one to five. When the last round is over the game ends and
the player with the highest score wins. If two players are tied for the lead, one more
round is played.</p>
)";

const char kScoring[] = R"(
<h3>Scoring</h3>
<p>You receive one point for each letter in each word that you create.</p>
<p>Every word made by your tile counts, so one tile can score several words at once. With
the row <b>T-A-C</b>, placing the T scores ACT and CAT for three points each and TA and AT
for two points each: ten points for one tile. When a row holds the same letter twice, a word can be found once for each way of spelling
it, and each of them scores.</p>
<p>The words you found and the points they earned are shown after every move, and your
score grows from round to round until the game ends.</p>
)";

const char kHistory[] = R"(
<h3>History</h3>
<p><b>Version 1.0.1</b></p>
<ul>
<li>Games for one to three players, with up to six more watching.</li>
<li>The computer player Klot takes a free seat and plays for anyone who chooses Just
Watch.</li>
<li>Games of one to five rounds; a tie for the lead plays one more round.</li>
<li>Chat with colours, sizes, smilies and links, phrase buttons and chatter sounds.</li>
<li>A tally of the games you play and win against the players you follow.</li>
<li>Keyboard play: pick a tile and choose its row without the mouse.</li>
</ul>
<p>Your game and the host's must have the same version. If they differ, you are told so in
the chat when you join.</p>
)";

const char kOptions[] = R"(
<h3>Options</h3>
<p><b>Just Watch.</b> Choose <i>Options, Just Watch</i> to let the computer play your seat
while you watch; choose it again to play yourself. The host can also set or unset Just
Watch for another player by right-clicking that player's name.</p>
<p><b>Bot Speed.</b> <i>Slow</i>, <i>Normal</i> or <i>Fast</i> sets how long the computer
player thinks before it moves. <i>Time Speed</i> sets the pause between turns and rounds:
<i>Short</i>, <i>Normal</i> or <i>Long</i>. In a game with others the host's choices
count.</p>
<p><b>Computer Strength.</b> <i>Normal</i> is the classic Klot: it tries each of its
tiles in one row and plays the best of those. <i>Strong</i> tries every tile in every open
row and plays the highest score. <i>Expert</i> guesses the other players' tiles from the ones it
has not seen and plays the move that pays best over the next turns, counting what it leaves
to you. The computer sees only its own tiles and the board, as you do. The host's choice
plays every computer seat; the host's Game Start window shows it, and the chat names it when
a game starts, for instance "Klot plays Strong." A change during a game counts from the next
game, and the chat says so.</p>
<p><b>Sounds.</b> <i>Play Sounds</i> switches the game's sounds on or off. <i>Player Phrase
Sounds</i> switches the chatter sounds other players send you; when it is off they appear
as a line in the chat instead. <i>Turn Sound</i> chooses the <i>Classic</i> or the
<i>New</i> sound that tells you it is your turn.</p>
<p><b>Chat/Action Text.</b> <i>Text Color</i> chooses the colour of your chat lines and
<i>Text Size</i> the size of the chat's letters. Start a line with <b>/me</b> to send an
action, such as "/me waves". <i>Scroll Chat Off</i> (Ctrl+S) stops the chat from
scrolling while you read back, and <i>Clear Main Chat</i> empties it.</p>
<p><b>Screen Location.</b> The game remembers where its window was and how large it was.
<i>Reset Screen Location</i> puts it back at the top left in its normal size.</p>
<p><b>Phrase Buttons.</b> The buttons P1 to P9 under the chat send a ready-made phrase
with one click. They can be used once every 2 seconds. A phrase starting with "/me " is
sent as an action.</p>
<p><b>Tally List.</b> <i>View, View Tally</i> shows how many games you have played and won.
Tick the players of the current game whom you want to follow, and the tally counts your
games with each of them, in total and for this session. <i>Reset Tally</i> starts
afresh.</p>
<p><b>Spy List.</b> <i>View, Spy List</i> shows the players who are watching the game
(spies). The host can right-click a spy and choose <i>Remove From Game</i>.</p>
<p><b>Phrase List.</b> <i>View, Phrase List</i> lets you write your own phrases for the
nine phrase buttons, up to 50 characters each.</p>
<p><b>Word List.</b> Words are checked against the English word list built into the game.
To play with a list of your own, put a file named <i>English</i> in the folder you start
Tessarin from: the game uses it as it is and never changes or deletes it. The file holds one
15-byte record per word (the byte 1E hexadecimal, then the word in capital letters padded
with blanks to 14 characters), in alphabetical order. A file that is not whole records or
not in order is refused with a message, and the built-in list is used instead.</p>
)";

const char kLobby[] = R"(
<h3>The Lobby</h3>
<p>The <b>Zorvik Lobby</b> is a separate, free program where players of Zorvik Software's
games meet. In the lobby you can see who is online, chat, find other players, and open or
join a game of Tessarin and other games.</p>
<p>When a game is arranged in the lobby, the lobby starts Tessarin for every player, with
the player's name and the address of the host, so you do not have to type anything.</p>
<p>If you do not have the lobby yet, start Tessarin by itself: the download window lets you
download and install the Zorvik Lobby, or go on to a solo game. Once installed, start the
lobby from its icon on your desktop or from your start-up menu.</p>
)";

}  // namespace

QString helptext(int section) {
    switch (section) {
        case 1:
            return QString::fromUtf8(kOverview);
        case 2:
            return QString::fromUtf8(kConnecting);
        case 3:
            return QString::fromUtf8(kGamePlay);
        case 4:
            return QString::fromUtf8(kScoring);
        case 5:
            return QString::fromUtf8(kHistory);
        case 7:
            return QString::fromUtf8(kOptions);
        case 8:
            return QString::fromUtf8(kLobby);
        default:
            return {};
    }
}

}  // namespace tessarin::forms
