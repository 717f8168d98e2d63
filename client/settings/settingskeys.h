// The settings file's name, our section and its keys with their defaults; the prose
// version is settings_format.md beside this file.
#pragma once

namespace tessarin::settings {

inline constexpr char kFileName[] = "zorvlobby.ini";
inline constexpr char kSection[] = "Tessarin";  // the program's gamename

inline constexpr char kTextsize[] = "Textsize";
inline constexpr char kTop[] = "Top";
inline constexpr char kLeft[] = "Left";
inline constexpr char kWidth[] = "Width";
inline constexpr char kHeight[] = "Height";
inline constexpr char kTextcolor[] = "Textcolor";
inline constexpr char kPlaytoscore[] = "Playtoscore";
inline constexpr char kBotspeed[] = "Botspeed";
inline constexpr char kDelay[] = "Delay";
inline constexpr char kTurnsound[] = "Turnsound";
inline constexpr char kPhrase[] = "Phrase";  // followed by 1..9
inline constexpr char kPlaysounds[] = "Playsounds";
inline constexpr char kPlayerphrasesounds[] = "Playerphrasesounds";
inline constexpr char kHelp[] = "Help";
inline constexpr char kBotstrength[] = "Botstrength";
// A lobby service's address (http://HOST:7771) a hosting copy registers its table with;
// missing or empty: the table is not made public.
inline constexpr char kPubliclobby[] = "Publiclobby";

inline constexpr int kPhraseCount = 9;
inline constexpr int kPhraseMaxLength = 50;

// The Textsize read when the key is missing, unreadable or outside the chat's text sizes
// (chat::kMinTextSize..kMaxTextSize in textsize.h).
inline constexpr int kMissingTextSize = 8;
inline constexpr int kDefaultTop = 3;
inline constexpr int kDefaultLeft = 3;
inline constexpr int kDefaultWidth = 768;
inline constexpr int kDefaultHeight = 470;
// Window bounds are read within -kMaxCoordinate..kMaxCoordinate (sizes from 0), so that a
// corner plus a size stays an int; the window then fits them into its screen.
inline constexpr int kMaxCoordinate = 1 << 30;

// Bot Speed: milliseconds before the computer player moves.
inline constexpr int kBotSlow = 2000;
inline constexpr int kBotNormal = 1000;
inline constexpr int kBotFast = 500;
// Computer Strength ("Botstrength"), stored by name; the server's BotStrength in order.
inline constexpr int kStrengthNormal = 0;
inline constexpr int kStrengthStrong = 1;
inline constexpr int kStrengthExpert = 2;
inline constexpr const char* kStrengthNames[] = {"Normal", "Strong", "Expert"};
// Time Speed ("Delay"): milliseconds per tick of the server's pacing timer.
inline constexpr int kTimeShort = 500;
inline constexpr int kTimeNormal = 1000;
inline constexpr int kTimeLong = 1500;

inline constexpr char kTrue[] = "true";
inline constexpr char kFalse[] = "false";
inline constexpr char kHelpNotShown[] = "1";
inline constexpr char kHelpShown[] = "2";

}  // namespace tessarin::settings
